#pragma once

#include "web/text.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <curl/curl.h>
#include <functional>

namespace vantrel {

// What keeps an HTTP exchange from hanging or exhausting memory.
struct TransferLimits
{
    std::chrono::milliseconds connectTimeout = std::chrono::seconds(60);
    std::chrono::milliseconds silenceTimeout =
        std::chrono::seconds(60); // nothing moved for this long
    std::size_t bodyCap = std::size_t{64} << 20;
};

TransferLimits transferLimits();
// Tests shorten the limits; every exchange set up afterwards uses the new ones.
void setTransferLimits(const TransferLimits& limits);

// Holds one exchange to the limits: set up on a handle before curl_easy_perform and kept
// alive until it returns. It takes the handle's write callback (the body goes to body, and
// one that would pass the cap fails the exchange) and its progress callback (an exchange
// during which nothing is received or sent for the silence time-out fails, and so does one
// for which stop() turns true; both are looked at about once a second or more often).
class TransferGuard
{
public:
    TransferGuard(CURL* handle, Bytes& body, std::function<bool()> stop = {});
    TransferGuard(const TransferGuard&) = delete;
    TransferGuard& operator=(const TransferGuard&) = delete;

private:
    static std::size_t collect(char* data, std::size_t size, std::size_t count, void* guard);
    static int watch(void* guard, curl_off_t, curl_off_t received, curl_off_t, curl_off_t sent);

    CURL* m_handle;
    Bytes& m_body;
    std::function<bool()> m_stop;
    TransferLimits m_limits;
    std::int64_t m_moved = -1;
    std::chrono::steady_clock::time_point m_lastMoved;
};

} // namespace vantrel
