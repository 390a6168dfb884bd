#include "support/test_server.h"
#include "web/transfer_limits.h"

#include <arpa/inet.h>
#include <atomic>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace vantrel {
namespace {

using test::Response;
using test::TestServer;
using namespace std::chrono_literals;

// A listener whose accept queue is full, so the next connection attempt is never answered.
class FullListener
{
public:
    FullListener()
    {
        m_listener = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(m_listener, 0);
        ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length);
        port = ntohs(address.sin_port);
        m_filler = ::socket(AF_INET, SOCK_STREAM, 0);
        ::connect(m_filler, reinterpret_cast<sockaddr*>(&address), sizeof address);
        // A listening socket reports the length of its accept queue as its unacknowledged count.
        const auto deadline = std::chrono::steady_clock::now() + 20s;
        while (queued() < 1 && std::chrono::steady_clock::now() < deadline)
            std::this_thread::yield();
    }
    ~FullListener()
    {
        ::close(m_filler);
        ::close(m_listener);
    }
    unsigned queued() const
    {
        tcp_info info{};
        socklen_t length = sizeof info;
        ::getsockopt(m_listener, IPPROTO_TCP, TCP_INFO, &info, &length);
        return info.tcpi_unacked;
    }
    int port = 0;

private:
    int m_listener = -1;
    int m_filler = -1;
};

struct LimitCase
{
    const char* name;
    TransferLimits limits;
    const char* path;
    CURLcode result;
    std::size_t bodySize;
};

class TransferGuardTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Response stallBeforeHead = Response::stall("never");
        server.on("/stall-before-head", stallBeforeHead);
        Response stallInBody = Response::stall(std::string(800, 's'), 400);
        server.on("/stall-in-body", stallInBody);
        server.on("/cap", Response::text(std::string(1000, 'c')));
        server.on("/over-cap", Response::text(std::string(1001, 'c')));
        Response chunkedOverCap = Response::text(std::string(1001, 'c'));
        chunkedOverCap.chunked = true;
        server.on("/chunked-over-cap", chunkedOverCap);
        Response gzipOverCap = Response::text(std::string(5000, 'c'));
        gzipOverCap.encoding = "gzip";
        server.on("/gzip-over-cap", gzipOverCap);
    }
    void TearDown() override { setTransferLimits(TransferLimits{}); }

    CURLcode perform(const std::string& url, Bytes& body, std::function<bool()> stop = {})
    {
        CURL* handle = curl_easy_init();
        curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
        curl_easy_setopt(handle, CURLOPT_PROXY, "");
        curl_easy_setopt(handle, CURLOPT_ACCEPT_ENCODING, "");
        CURLcode result = CURLE_OK;
        {
            const TransferGuard guard(handle, body, std::move(stop));
            result = curl_easy_perform(handle);
        }
        curl_easy_cleanup(handle);
        return result;
    }

    TestServer server;
};

TEST_F(TransferGuardTest, EndsEachKindOfRunawayExchange)
{
    const TransferLimits quiet{60s, 300ms, 1000};
    const LimitCase cases[] = {
        {"within the cap", quiet, "/cap", CURLE_OK, 1000},
        {"silent before the head", quiet, "/stall-before-head", CURLE_ABORTED_BY_CALLBACK, 0},
        {"silent in the body", quiet, "/stall-in-body", CURLE_ABORTED_BY_CALLBACK, 400},
        {"declared over the cap", quiet, "/over-cap", CURLE_FILESIZE_EXCEEDED, 0},
        {"chunked over the cap", quiet, "/chunked-over-cap", CURLE_WRITE_ERROR, 0},
        {"decoded over the cap", quiet, "/gzip-over-cap", CURLE_WRITE_ERROR, 0},
    };
    for (const LimitCase& c : cases) {
        SCOPED_TRACE(c.name);
        setTransferLimits(c.limits);
        Bytes body;
        EXPECT_EQ(perform(server.url(c.path), body), c.result);
        EXPECT_LE(body.size(), c.bodySize);
        if (c.result == CURLE_OK) {
            EXPECT_EQ(body.size(), c.bodySize);
        }
    }
}

TEST_F(TransferGuardTest, ConnectTimeOutEndsAnUnansweredConnection)
{
    const FullListener listener;
    ASSERT_EQ(listener.queued(), 1u);
    setTransferLimits({200ms, 60s, 1000});
    Bytes body;
    EXPECT_EQ(perform("http://127.0.0.1:" + std::to_string(listener.port) + "/", body),
              CURLE_OPERATION_TIMEDOUT);
}

TEST_F(TransferGuardTest, StopsWhenAskedTo)
{
    setTransferLimits({60s, 60s, 1000});
    std::atomic<bool> stop = false;
    std::jthread stopper([&] {
        if (server.waitForRequest(1))
            stop = true;
    });
    Bytes body;
    EXPECT_EQ(perform(server.url("/stall-before-head"), body, [&] { return stop.load(); }),
              CURLE_ABORTED_BY_CALLBACK);
}

} // namespace
} // namespace vantrel
