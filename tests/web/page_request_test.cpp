#include "support/test_server.h"
#include "web/page_request.h"
#include "web/transfer_limits.h"

#include <cstdlib>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <set>
#include <thread>

namespace vantrel {
namespace {

using test::Header;
using test::ReceivedRequest;
using test::Response;
using test::TestServer;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;
using ::testing::StartsWith;

// Headers that libcurl adds of its own; every other header is one the request sets.
const std::set<std::string> kClientHeaders = {
    "Host", "User-Agent", "Accept", "Accept-Encoding", "Cookie", "Proxy-Connection"};
const std::vector<Header> kGetHeaders = {{"Content-Type", "text/XML"},
                                         {"Accept-Language", "zh-cn"}};

std::vector<Header> postHeaders(const char* length)
{
    return {{"Content-Type", "application/x-www-form-urlencoded"},
            {"Content-Length", length},
            {"Accept-Language", "zh-cn"}};
}

std::vector<Header> programHeaders(const ReceivedRequest& request)
{
    std::vector<Header> headers;
    for (const Header& h : request.headers)
        if (!kClientHeaders.contains(h.name))
            headers.push_back(h);
    return headers;
}

class PageRequest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const char* name : {"http_proxy", "https_proxy", "no_proxy", "all_proxy",
                                 "HTTPS_PROXY", "NO_PROXY", "ALL_PROXY"})
            unsetenv(name);
        InitRequestState();
    }
    void TearDown() override
    {
        ReleaseRequestState();
        setTransferLimits(TransferLimits{});
    }
    static void shortenLimits(std::size_t bodyCap = TransferLimits{}.bodyCap)
    {
        setTransferLimits({std::chrono::seconds(1), std::chrono::milliseconds(300), bodyCap});
    }

    TestServer server;
};

struct MethodCase
{
    const char* method;
    const char* body;
    const char* verbSent;
    std::vector<Header> headers;
    const char* bodySent;
};

TEST_F(PageRequest, SendsTheVerbAndHeadersInOrder)
{
    const auto& get = kGetHeaders;
    const auto post = postHeaders;
    const MethodCase cases[] = {
        {"", "", "GET", get, ""},
        {"GET", "", "GET", get, ""},
        {"post", "a=1&b=2", "POST", post("7"), "a=1&b=2"},
        {"Post", "", "POST", post("0"), ""},
        {"POST",
         "\xD6\xD0\xCE\xC4"
         "a",
         "POST", post("5"),
         "\xD6\xD0\xCE\xC4"
         "a"},
        {"POST ", "x", "GET", get, ""},
        {"PUT", "x", "GET", get, ""},
    };
    server.on("/form", Response::text("ok"));
    std::size_t sent = 0;
    for (const MethodCase& c : cases) {
        SCOPED_TRACE(std::string("method \"") + c.method + "\"");
        EXPECT_EQ(RequestPage(server.url("/form?q=1"), c.method, c.body), "ok");
        const auto request = server.waitForRequest(++sent);
        ASSERT_TRUE(request);
        EXPECT_EQ(request->requestLine, std::string(c.verbSent) + " /form?q=1 HTTP/1.1");
        EXPECT_THAT(programHeaders(*request), ElementsAreArray(c.headers));
        EXPECT_EQ(request->body, c.bodySent);
        EXPECT_THAT(request->header("User-Agent"), StartsWith("Mozilla/"));
        EXPECT_THAT(request->header("Accept-Encoding"), HasSubstr("gzip"));
        EXPECT_THAT(request->header("Accept-Encoding"), HasSubstr("deflate"));
    }
}

TEST_F(PageRequest, SendsALargeBodyAtOnceWithoutExpect)
{
    server.on("/form", Response::text("ok"));
    const Text body(2 << 20, 'b');
    EXPECT_EQ(RequestPage(server.url("/form"), "POST", body), "ok");
    const auto request = server.waitForRequest(1);
    ASSERT_TRUE(request);
    EXPECT_FALSE(request->hasHeader("Expect"));
    EXPECT_EQ(request->header("Content-Length"), std::to_string(body.size()));
    EXPECT_EQ(request->body, body);
}

TEST_F(PageRequest, SendsTheAddressEscapedAsUtf8)
{
    // 搜 索 and 中文 in code page 936
    EXPECT_EQ(RequestPage(server.url("/\xCB\xD1 \xCB\xF7?kw=\xD6\xD0\xCE\xC4&x=%41")), "not found");
    const auto request = server.waitForRequest(1);
    ASSERT_TRUE(request);
    EXPECT_EQ(request->target, "/%E6%90%9C%20%E7%B4%A2?kw=%E4%B8%AD%E6%96%87&x=%41");
}

struct BodyCase
{
    const char* name;
    Response response;
    Text expected;
};

Response chunked(std::string body)
{
    Response response = Response::text(std::move(body));
    response.chunked = true;
    response.chunkSize = 2;
    return response;
}

Response encoded(std::string body, const char* encoding)
{
    Response response = Response::text(std::move(body));
    response.encoding = encoding;
    return response;
}

TEST_F(PageRequest, ReturnsTheBodyUpToItsFirstZeroByteUnconverted)
{
    using namespace std::string_literals;
    const BodyCase cases[] = {
        {"plain", Response::text("<html>page</html>"), "<html>page</html>"},
        {"zero inside", Response::text("abc\0def"s), "abc"},
        {"zero first", Response::text("\0abc"s), ""},
        {"empty", Response::text(""), ""},
        {"bytes of any encoding", Response::text("\xE4\xBD\xA0\xD6\xD0\xFF\x80"),
         "\xE4\xBD\xA0\xD6\xD0\xFF\x80"},
        {"error status", Response::text("missing", 404), "missing"},
        {"chunked", chunked("abc\0de"s), "abc"},
        {"gzip", encoded(std::string(50000, 'g'), "gzip"), std::string(50000, 'g')},
        {"deflate", encoded("deflated page", "deflate"), "deflated page"},
    };
    for (const BodyCase& c : cases) {
        SCOPED_TRACE(c.name);
        server.on("/page", c.response);
        EXPECT_EQ(RequestPage(server.url("/page")), c.expected);
    }
}

TEST_F(PageRequest, AFailedRequestNeverReturnsThePreviousResponse)
{
    server.on("/first", Response::text("first"));
    Response reset = Response::text(std::string(100000, 'r'));
    reset.ending = Response::Ending::Reset;
    reset.endAfter = 50000;
    server.on("/reset", reset);

    const std::string failing[] = {
        "http://127.0.0.1:" + std::to_string(test::ClosedLoopbackPort()) + "/page",
        server.url("/reset"),
        "ftp://127.0.0.1:" + std::to_string(server.port()) + "/page",
        "http://[::1/page",
    };
    for (const std::string& url : failing) {
        SCOPED_TRACE(url);
        EXPECT_EQ(RequestPage(server.url("/first")), "first");
        EXPECT_EQ(RequestPage(url), "");
    }
}

TEST_F(PageRequest, FollowsUpToTenRedirectsOverHttpOnly)
{
    server.on("/hop", test::Handler([](const ReceivedRequest& request) {
                  const int left = std::stoi(request.query);
                  return left == 0 ? Response::text("arrived")
                                   : Response::redirect("/hop?" + std::to_string(left - 1));
              }));
    server.on("/to-ftp", Response::redirect("ftp://127.0.0.1/file"));
    server.on("/to-file", Response::redirect("file:///etc/hostname"));
    EXPECT_EQ(RequestPage(server.url("/hop?10")), "arrived");
    EXPECT_EQ(RequestPage(server.url("/hop?11")), "");
    EXPECT_EQ(RequestPage(server.url("/to-ftp")), "");
    EXPECT_EQ(RequestPage(server.url("/to-file")), "");
}

struct RedirectCase
{
    int status;
    const char* verbAfter;
    std::vector<Header> headersAfter;
    const char* bodyAfter;
};

TEST_F(PageRequest, ARedirectedPostGoesOnAsBrowsersDo)
{
    const RedirectCase cases[] = {
        {301, "GET", kGetHeaders, ""},          {302, "GET", kGetHeaders, ""},
        {303, "GET", kGetHeaders, ""},          {307, "POST", postHeaders("3"), "a=1"},
        {308, "POST", postHeaders("3"), "a=1"},
    };
    server.on("/target", Response::text("landed"));
    for (const RedirectCase& c : cases) {
        SCOPED_TRACE(c.status);
        server.on("/form", Response::redirect("/target", c.status));
        const std::size_t first = server.requestCount() + 1;
        EXPECT_EQ(RequestPage(server.url("/form"), "POST", "a=1"), "landed");
        const auto after = server.waitForRequest(first + 1);
        ASSERT_TRUE(after);
        EXPECT_EQ(after->requestLine, std::string(c.verbAfter) + " /target HTTP/1.1");
        EXPECT_THAT(programHeaders(*after), ElementsAreArray(c.headersAfter));
        EXPECT_EQ(after->body, c.bodyAfter);
    }
}

TEST_F(PageRequest, KeepsCookiesAndTheConnectionFromOneRequestToTheNext)
{
    server.on("/login", Response::text("in").header("Set-Cookie", "session=abc; Path=/"));
    server.on("/page", Response::text("page"));
    EXPECT_EQ(RequestPage(server.url("/login")), "in");
    EXPECT_EQ(RequestPage(server.url("/page")), "page");
    const auto second = server.waitForRequest(2);
    ASSERT_TRUE(second);
    EXPECT_EQ(second->header("Cookie"), "session=abc");
    EXPECT_EQ(second->connection, 1u);
}

TEST_F(PageRequest, GoesThroughTheProxyOfTheEnvironment)
{
    server.on("forum.example", "/f", Response::redirect("http://pics.example/moved"));
    server.on("pics.example", "/moved", Response::text("through the proxy"));
    setenv("http_proxy", server.url().c_str(), 1);
    EXPECT_EQ(RequestPage("http://forum.example/f?kw=a"), "through the proxy");
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].requestLine, "GET http://forum.example/f?kw=a HTTP/1.1");
    EXPECT_EQ(requests[1].requestLine, "GET http://pics.example/moved HTTP/1.1");
    EXPECT_EQ(requests[1].host, "pics.example");
    EXPECT_THAT(programHeaders(requests[1]), ElementsAreArray(kGetHeaders));

    server.on("/direct", Response::text("direct"));
    setenv("http_proxy", ("http://127.0.0.1:" + std::to_string(test::ClosedLoopbackPort())).c_str(),
           1);
    EXPECT_EQ(RequestPage(server.url("/direct")), "");
    setenv("no_proxy", "127.0.0.1", 1);
    EXPECT_EQ(RequestPage(server.url("/direct")), "direct");
    EXPECT_EQ(server.requestCount(), 3u);
}

TEST_F(PageRequest, AStalledExchangeEnds)
{
    shortenLimits();
    Response beforeHead = Response::stall("never");
    server.on("/before-head", beforeHead);
    Response midBody = Response::stall(std::string(1000, 'm'), 500);
    server.on("/mid-body", midBody);
    EXPECT_EQ(RequestPage(server.url("/before-head")), "");
    EXPECT_EQ(RequestPage(server.url("/mid-body")), "");
}

TEST_F(PageRequest, ABodyOverTheCapFails)
{
    shortenLimits(1000);
    const BodyCase cases[] = {
        {"at the cap", Response::text(std::string(1000, 'c')), std::string(1000, 'c')},
        {"over the cap", Response::text(std::string(1001, 'c')), ""},
        {"over the cap, chunked", chunked(std::string(1001, 'c')), ""},
        {"over the cap once decoded", encoded(std::string(5000, 'c'), "gzip"), ""},
    };
    for (const BodyCase& c : cases) {
        SCOPED_TRACE(c.name);
        server.on("/big", c.response);
        EXPECT_EQ(RequestPage(server.url("/big")), c.expected);
    }
}

TEST_F(PageRequest, AnEndlessBodyStopsAtTheRealCap)
{
    Response endless = Response::text(std::string(4096, 'e'));
    endless.endless = true;
    server.on("/endless", endless);
    EXPECT_EQ(RequestPage(server.url("/endless")), "");
}

TEST_F(PageRequest, ANonPositiveTimeLimitMeansNone)
{
    Response stalled = Response::stall("waited for");
    server.on("/slow", stalled);
    for (const std::int32_t limit : {0, -1}) {
        SCOPED_TRACE(limit);
        const std::size_t arrival = server.requestCount() + 1;
        std::jthread releaser([&] {
            if (server.waitForRequest(arrival))
                server.releaseStalls();
        });
        EXPECT_EQ(RequestPage(server.url("/slow"), "", "", limit), "waited for");
    }
}

TEST_F(PageRequest, AWorkerPastItsTimeLimitNeverReachesALaterRequest)
{
    server.on("/earlier", Response::text("earlier").header("Set-Cookie", "k=v"));
    Response stalled = Response::stall("straggler");
    server.on("/slow", stalled);
    Response later = Response::stall("later");
    server.on("/later", later);

    EXPECT_EQ(RequestPage(server.url("/earlier")), "earlier");
    EXPECT_EQ(RequestPage(server.url("/slow"), "POST", "from the straggler", 100), "");
    ASSERT_TRUE(server.waitForRequest(2));
    {
        // Both responses go out together while the later request is in flight.
        std::jthread releaser([&] {
            if (server.waitForRequest(3))
                server.releaseStalls();
        });
        EXPECT_EQ(RequestPage(server.url("/later"), "post", "from the later one"), "later");
    }
    EXPECT_EQ(RequestPage(server.url("/earlier")), "earlier");

    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 4u);
    EXPECT_EQ(requests[1].requestLine, "POST /slow HTTP/1.1");
    EXPECT_EQ(requests[1].body, "from the straggler");
    EXPECT_EQ(requests[2].requestLine, "POST /later HTTP/1.1");
    EXPECT_EQ(requests[2].body, "from the later one");
    // The later request went on another handle while the straggler held the first, yet
    // with the same cookies.
    EXPECT_EQ(requests[2].header("Cookie"), "k=v");
}

TEST_F(PageRequest, ReleaseEndsAWorkerThatNeverFinishes)
{
    Response stalled = Response::stall("never");
    server.on("/forever", stalled);
    EXPECT_EQ(RequestPage(server.url("/forever"), "", "", 50), "");
    ASSERT_TRUE(server.waitForRequest(1));
    ReleaseRequestState();
    InitRequestState();
    server.on("/after", Response::text("after"));
    EXPECT_EQ(RequestPage(server.url("/after")), "after");
}

TEST_F(PageRequest, WithoutTheClientHolderNothingIsSent)
{
    ReleaseRequestState();
    EXPECT_EQ(RequestPage(server.url("/page")), "");
    EXPECT_EQ(server.requestCount(), 0u);
}

} // namespace
} // namespace vantrel
