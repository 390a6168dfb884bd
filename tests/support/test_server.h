#pragma once

// A loopback HTTP/1.1 server for tests.
//
// It listens on 127.0.0.1 at a free port from construction to destruction, answers each
// request with the response programmed for its path (or 404), and records every request
// exactly as it arrived, so a test asserts what the server saw. It also answers
// absolute-form targets ("GET http://host/path HTTP/1.1"), so with
// http_proxy=http://127.0.0.1:<port> it stands in for any host name.
//
//     vantrel::test::TestServer server;
//     server.on("/page", vantrel::test::Response::text("hello"));
//     server.on("forum.example", "/f?kw=a", vantrel::test::Response::text("forum a"));
//     Text body = RequestPage(server.url("/page"));
//     auto request = server.waitForRequest(1);
//     ASSERT_TRUE(request);
//     EXPECT_EQ(request->requestLine, "GET /page HTTP/1.1");
//     EXPECT_EQ(request->header("Accept-Language"), "zh-cn");
//
// A stall holds a response back until the test lets it go (or the server stops):
//
//     server.on("/late", vantrel::test::Response::stall("late")); // silent until released
//     ... once server.waitForRequest(n) has seen the request: server.releaseStalls();
//
// A route whose path has a query matches that path and query exactly; one without a query
// matches the path with any query. A route with a host matches only requests for that host
// (the absolute-form target's host, else the Host header; with or without the port) and
// wins over a route without one. Handlers run on the server's connection threads.

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <limits>
#include <list>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace vantrel::test {

struct Header
{
    std::string name;
    std::string value;
    bool operator==(const Header&) const = default;
};

struct ReceivedRequest
{
    std::string requestLine; // "GET http://host/p?q HTTP/1.1", without the line end
    std::string method;
    std::string target;          // as sent: origin-form or absolute-form
    std::string version;         // "HTTP/1.1"
    std::string host;            // the target's host name, else the Host header's; no port
    std::string path;            // the target's path, without the query
    std::string query;           // after the "?", without it
    std::vector<Header> headers; // in the order received
    std::string body;            // decoded when it came chunked
    std::size_t connection = 0;  // serial number of the connection it came on, from 1

    // The first value of a header, whose name is matched without regard to case; empty
    // when absent.
    std::string header(std::string_view name) const;
    bool hasHeader(std::string_view name) const;
    std::size_t headerCount(std::string_view name) const;
    std::vector<std::string> headerNames() const;
};

struct Response
{
    enum class Ending
    {
        Complete,
        Stall, // falls silent until releaseStalls() or the server stops; then goes on
        Reset, // the connection is reset (RST)
    };
    static constexpr std::size_t kBeforeHead = std::numeric_limits<std::size_t>::max();

    int status = 200;
    std::string reason;          // empty: the usual phrase for the status
    std::vector<Header> headers; // sent in this order; a Content-Length given here is kept
    std::string body;
    std::string encoding; // "gzip" or "deflate": the body goes compressed, with Content-Encoding
    bool chunked = false; // Transfer-Encoding: chunked, no Content-Length (HTTP/1.0: until close)
    std::size_t chunkSize = 4096;
    bool endless = false; // the body repeats forever (no Content-Length unless given)
    Ending ending = Ending::Complete;
    // Where a Stall or Reset happens: after this many bytes of the body as it goes on the
    // wire (after compression and chunk framing), or kBeforeHead.
    std::size_t endAfter = kBeforeHead;

    static Response text(std::string body, int status = 200);
    static Response redirect(std::string location, int status = 302);
    // A 200 with this body that falls silent after the first bodyBytesFirst bytes.
    static Response stall(std::string body, std::size_t bodyBytesFirst = kBeforeHead);
    Response& header(std::string name, std::string value);
};

using Handler = std::function<Response(const ReceivedRequest&)>;

class TestServer
{
public:
    TestServer();  // returns once the server listens
    ~TestServer(); // stops it, ending stalled and endless responses
    TestServer(const TestServer&) = delete;
    TestServer& operator=(const TestServer&) = delete;

    int port() const { return m_port; }
    // "http://127.0.0.1:<port>" followed by pathAndQuery; also the value for http_proxy.
    std::string url(std::string_view pathAndQuery = "") const;

    void on(std::string path, Response response);
    void on(std::string host, std::string path, Response response);
    void on(std::string path, Handler handler);
    void on(std::string host, std::string path, Handler handler);

    // Lets every response stalled so far go on (those stalled later wait for the next call).
    void releaseStalls();

    std::size_t requestCount() const;
    std::vector<ReceivedRequest> requests() const;
    // The n-th request received, counting from 1, once it has arrived in full; nothing when
    // it has not arrived before the deadline.
    std::optional<ReceivedRequest>
    waitForRequest(std::size_t n,
                   std::chrono::milliseconds timeout = std::chrono::seconds(20)) const;

private:
    struct Route
    {
        std::string host;
        std::string path;
        Handler handler;
    };
    struct Connection;

    void acceptLoop();
    void serve(Connection& connection);
    Response respond(const ReceivedRequest& request);
    bool sendResponse(Connection& connection, const ReceivedRequest& request,
                      const Response& response, std::size_t stallGeneration, bool& keepOpen);
    bool waitWhileStalled(std::size_t generation);
    void reapFinished();

    int m_listener = -1;
    int m_wakePipe[2] = {-1, -1};
    int m_port = 0;
    std::thread m_acceptThread;

    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    bool m_stopping = false;
    std::size_t m_stallGeneration = 0;
    std::size_t m_connectionCount = 0;
    std::vector<Route> m_routes;
    std::vector<ReceivedRequest> m_requests;
    std::list<std::unique_ptr<Connection>> m_connections;
};

// A port on 127.0.0.1 that nothing listens on: that of a server that has stopped.
int ClosedLoopbackPort();

} // namespace vantrel::test
