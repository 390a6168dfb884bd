#include "support/test_server.h"

#include <arpa/inet.h>
#include <cerrno>
#include <curl/curl.h>
#include <gtest/gtest.h>
#include <memory>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vantrel::test {
namespace {

// Speaks to the server byte for byte, so the tests see the wire form of both directions.
class RawClient
{
public:
    explicit RawClient(int port)
    {
        m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
        const timeval deadline{20, 0};
        setsockopt(m_fd, SOL_SOCKET, SO_RCVTIMEO, &deadline, sizeof deadline);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(static_cast<std::uint16_t>(port));
        EXPECT_EQ(::connect(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    }
    ~RawClient() { ::close(m_fd); }

    void send(std::string_view data)
    {
        EXPECT_EQ(::send(m_fd, data.data(), data.size(), MSG_NOSIGNAL),
                  static_cast<ssize_t>(data.size()));
    }
    bool hasDataWaiting()
    {
        pollfd watched{m_fd, POLLIN, 0};
        return ::poll(&watched, 1, 0) > 0;
    }
    // Reads until the server closes (or up to limit bytes); lastError tells a reset from a close.
    std::string readAll(std::size_t limit = std::string::npos)
    {
        std::string received;
        char block[16384];
        while (received.size() < limit) {
            const ssize_t got = ::recv(m_fd, block, sizeof block, 0);
            if (got <= 0) {
                lastError = got < 0 ? errno : 0;
                break;
            }
            received.append(block, static_cast<std::size_t>(got));
        }
        return received;
    }
    int lastError = 0;

private:
    int m_fd = -1;
};

std::size_t collect(char* data, std::size_t size, std::size_t count, void* sink)
{
    static_cast<std::string*>(sink)->append(data, size * count);
    return size * count;
}

TEST(TestServer, RecordsTheRequestAsSent)
{
    TestServer server;
    server.on("forum.example", "/f?kw=a", Response::text("forum a"));
    RawClient client(server.port());
    client.send("POST http://Forum.Example/f?kw=a HTTP/1.1\r\nZ-Last: 1\r\nHost: forum.example\r\n"
                "a-first:  two words \r\nTransfer-Encoding: chunked\r\nConnection: close\r\n\r\n"
                "3\r\nabc\r\n2\r\nde\r\n0\r\n\r\n");
    EXPECT_EQ(client.readAll(),
              "HTTP/1.1 200 OK\r\nContent-Length: 7\r\nConnection: close\r\n\r\nforum a");

    const auto request = server.waitForRequest(1);
    ASSERT_TRUE(request);
    EXPECT_EQ(request->requestLine, "POST http://Forum.Example/f?kw=a HTTP/1.1");
    EXPECT_EQ(request->method, "POST");
    EXPECT_EQ(request->target, "http://Forum.Example/f?kw=a");
    EXPECT_EQ(request->version, "HTTP/1.1");
    EXPECT_EQ(request->host, "forum.example");
    EXPECT_EQ(request->path, "/f");
    EXPECT_EQ(request->query, "kw=a");
    EXPECT_EQ(
        request->headerNames(),
        (std::vector<std::string>{"Z-Last", "Host", "a-first", "Transfer-Encoding", "Connection"}));
    EXPECT_EQ(request->header("A-FIRST"), "two words");
    EXPECT_EQ(request->body, "abcde");
    EXPECT_EQ(server.requestCount(), 1u);
}

struct WireCase
{
    const char* name;
    const char* request;
    const char* expected;
};

TEST(TestServer, AnswersWithTheProgrammedResponse)
{
    TestServer server;
    server.on("/plain", Response::text("hello").header("X-One", "1"));
    server.on("/chunked", [] {
        Response r = Response::text("abcdefg");
        r.chunked = true;
        r.chunkSize = 3;
        return r;
    }());
    server.on("/moved", Response::redirect("/plain", 301));
    server.on("/any", Response::text("any host"));
    server.on("pics.example", "/any", Response::text("pics host"));
    server.on("/f?kw=b", Response::text("forum b"));
    server.on("/echo",
              Handler([](const ReceivedRequest& r) { return Response::text(r.query, 201); }));

    const WireCase cases[] = {
        {"plain", "GET /plain HTTP/1.1\r\nHost: x\r\n\r\n",
         "HTTP/1.1 200 OK\r\nX-One: 1\r\nContent-Length: 5\r\n\r\nhello"},
        {"chunked", "GET /chunked HTTP/1.1\r\nHost: x\r\n\r\n",
         "HTTP/1.1 200 OK\r\nTransfer-Encoding: "
         "chunked\r\n\r\n3\r\nabc\r\n3\r\ndef\r\n1\r\ng\r\n0\r\n\r\n"},
        {"chunked to HTTP/1.0 ends at close", "GET /chunked HTTP/1.0\r\n\r\n",
         "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\nabcdefg"},
        {"redirect", "GET /moved HTTP/1.1\r\nHost: x\r\n\r\n",
         "HTTP/1.1 301 Moved Permanently\r\nLocation: /plain\r\nContent-Length: 0\r\n\r\n"},
        {"host route wins", "GET http://pics.example:8080/any HTTP/1.1\r\n\r\n",
         "HTTP/1.1 200 OK\r\nContent-Length: 9\r\n\r\npics host"},
        {"other host", "GET http://other.example/any?x=1 HTTP/1.1\r\n\r\n",
         "HTTP/1.1 200 OK\r\nContent-Length: 8\r\n\r\nany host"},
        {"query route", "GET /f?kw=b HTTP/1.1\r\nHost: x\r\n\r\n",
         "HTTP/1.1 200 OK\r\nContent-Length: 7\r\n\r\nforum b"},
        {"other query", "GET /f?kw=c HTTP/1.1\r\nHost: x\r\n\r\n",
         "HTTP/1.1 404 Not Found\r\nContent-Length: 9\r\n\r\nnot found"},
        {"handler", "GET /echo?q=1 HTTP/1.1\r\nHost: x\r\n\r\n",
         "HTTP/1.1 201 Created\r\nContent-Length: 3\r\n\r\nq=1"},
        {"HEAD", "HEAD /plain HTTP/1.1\r\nHost: x\r\n\r\n",
         "HTTP/1.1 200 OK\r\nX-One: 1\r\nContent-Length: 5\r\n\r\n"},
    };
    for (const WireCase& c : cases) {
        SCOPED_TRACE(c.name);
        RawClient client(server.port());
        client.send(c.request);
        std::string request = c.request;
        if (request.find("HTTP/1.0") == std::string::npos) {
            client.send("GET /closing HTTP/1.1\r\nConnection: close\r\n\r\n");
            EXPECT_EQ(client.readAll(), std::string(c.expected) +
                                            "HTTP/1.1 404 Not Found\r\nContent-Length: "
                                            "9\r\nConnection: close\r\n\r\nnot found");
        } else {
            EXPECT_EQ(client.readAll(), c.expected);
        }
    }
}

TEST(TestServer, CompressedBodiesDecodeToTheBodyAndConnectionsAreReused)
{
    TestServer server;
    for (const char* encoding : {"gzip", "deflate"}) {
        Response r = Response::text(std::string(10000, 'z') + encoding);
        r.encoding = encoding;
        server.on(std::string("/") + encoding, r);
    }
    CURL* curl = curl_easy_init();
    ASSERT_NE(curl, nullptr);
    curl_easy_setopt(curl, CURLOPT_PROXY, "");
    curl_easy_setopt(curl, CURLOPT_ACCEPT_ENCODING, "");
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, collect);
    for (const char* encoding : {"gzip", "deflate"}) {
        std::string body;
        curl_easy_setopt(curl, CURLOPT_WRITEDATA, &body);
        curl_easy_setopt(curl, CURLOPT_URL, server.url(std::string("/") + encoding).c_str());
        EXPECT_EQ(curl_easy_perform(curl), CURLE_OK);
        EXPECT_EQ(body, std::string(10000, 'z') + encoding);
    }
    curl_easy_cleanup(curl);
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].connection, 1u);
    EXPECT_EQ(requests[1].connection, 1u);
}

TEST(TestServer, StallHoldsTheResponseUntilReleased)
{
    TestServer server;
    Response stalled = Response::stall("0123456789", 4);
    server.on("/stall", stalled);
    RawClient client(server.port());
    client.send("GET /stall HTTP/1.1\r\nConnection: close\r\n\r\n");
    ASSERT_TRUE(server.waitForRequest(1));
    const std::string head = "HTTP/1.1 200 OK\r\nContent-Length: 10\r\nConnection: close\r\n\r\n";
    EXPECT_EQ(client.readAll(head.size() + 4), head + "0123");
    EXPECT_FALSE(client.hasDataWaiting());
    server.releaseStalls();
    EXPECT_EQ(client.readAll(), "456789");
    EXPECT_EQ(client.lastError, 0);
}

TEST(TestServer, ResetCutsTheBodyShort)
{
    TestServer server;
    Response reset = Response::text(std::string(100000, 'r'));
    reset.ending = Response::Ending::Reset;
    reset.endAfter = 50000;
    server.on("/reset", reset);
    RawClient client(server.port());
    client.send("GET /reset HTTP/1.1\r\n\r\n");
    const std::string received = client.readAll();
    EXPECT_EQ(client.lastError, ECONNRESET);
    EXPECT_LE(received.size(), 50000 + received.find("\r\n\r\n") + 4);
}

TEST(TestServer, StopsWhileResponsesStallOrNeverEnd)
{
    auto server = std::make_unique<TestServer>();
    Response stalled = Response::stall("never sent");
    server->on("/stall", stalled);
    Response endless = Response::text("0123456789");
    endless.endless = true;
    endless.chunked = true;
    endless.chunkSize = 10;
    server->on("/endless", endless);

    RawClient stalledClient(server->port());
    stalledClient.send("GET /stall HTTP/1.1\r\n\r\n");
    RawClient endlessClient(server->port());
    endlessClient.send("GET /endless HTTP/1.1\r\n\r\n");
    RawClient idleClient(server->port());
    const std::string endlessStart = endlessClient.readAll(1 << 20);
    EXPECT_EQ(endlessStart.substr(0, endlessStart.find("\r\n\r\n")),
              "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nConnection: close");
    EXPECT_NE(endlessStart.find("\r\n\r\na\r\n0123456789\r\na\r\n0123456789\r\n"),
              std::string::npos);
    ASSERT_TRUE(server->waitForRequest(2));

    server.reset();
    EXPECT_EQ(stalledClient.readAll(), "");
}

TEST(TestServer, WaitForRequestGivesNothingPastItsDeadline)
{
    TestServer server;
    EXPECT_FALSE(server.waitForRequest(1, std::chrono::milliseconds(20)));
    EXPECT_FALSE(server.waitForRequest(0));
}

} // namespace
} // namespace vantrel::test
