#include "web/transfer_limits.h"

#include <mutex>

namespace vantrel {
namespace {

// Read by worker threads while a test may be changing it.
std::mutex g_limitsMutex;
TransferLimits g_limits;

} // namespace

TransferLimits transferLimits()
{
    std::lock_guard lock(g_limitsMutex);
    return g_limits;
}

void setTransferLimits(const TransferLimits& limits)
{
    std::lock_guard lock(g_limitsMutex);
    g_limits = limits;
}

TransferGuard::TransferGuard(CURL* handle, Bytes& body, std::function<bool()> stop)
    : m_handle(handle), m_body(body), m_stop(std::move(stop)), m_limits(transferLimits()),
      m_lastMoved(std::chrono::steady_clock::now())
{
    curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS,
                     static_cast<long>(m_limits.connectTimeout.count()));
    // Refuses a declared length over the cap before any of it arrives; collect() catches
    // bodies of unknown length and what decompression makes of a small one.
    curl_easy_setopt(handle, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(m_limits.bodyCap));
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, collect);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(handle, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(handle, CURLOPT_XFERINFOFUNCTION, watch);
    curl_easy_setopt(handle, CURLOPT_XFERINFODATA, this);
}

std::size_t TransferGuard::collect(char* data, std::size_t size, std::size_t count, void* guard)
{
    auto& self = *static_cast<TransferGuard*>(guard);
    const std::size_t length = size * count;
    const std::size_t cap = self.m_limits.bodyCap;
    if (length > cap || self.m_body.size() > cap - length)
        return CURL_WRITEFUNC_ERROR;
    self.m_body.insert(self.m_body.end(), data, data + length);
    return length;
}

int TransferGuard::watch(void* guard, curl_off_t, curl_off_t received, curl_off_t, curl_off_t sent)
{
    auto& self = *static_cast<TransferGuard*>(guard);
    if (self.m_stop && self.m_stop())
        return 1;
    // Header bytes count as received too: the body counter stands still until the head is in.
    long headerBytes = 0;
    curl_easy_getinfo(self.m_handle, CURLINFO_HEADER_SIZE, &headerBytes);
    const std::int64_t moved = received + sent + headerBytes;
    const auto now = std::chrono::steady_clock::now();
    if (moved != self.m_moved) {
        self.m_moved = moved;
        self.m_lastMoved = now;
        return 0;
    }
    return now - self.m_lastMoved >= self.m_limits.silenceTimeout ? 1 : 0;
}

} // namespace vantrel
