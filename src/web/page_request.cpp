#include "web/page_request.h"

#include "web/transfer_limits.h"
#include "web/transfer_url.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <condition_variable>
#include <curl/curl.h>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <system_error>
#include <thread>

namespace vantrel {
namespace {

constexpr std::uint32_t kInfinite = 0xFFFFFFFF;
constexpr char kUserAgent[] = "Mozilla/4.0 (compatible; MSIE 7.0; Windows NT 10.0; Trident/7.0)";
constexpr long kMaxRedirects = 10;

// Stands in for the XMLHTTP component: one easy handle kept from the first request to exit,
// and a share holding its cookies, connections, DNS and TLS sessions. A worker takes the
// handle out for its exchange and puts it back; one that finds it taken (a worker that
// outlived its time limit still holds it) uses a fresh handle on the same share.
class HttpClient
{
public:
    HttpClient() = default;
    HttpClient(const HttpClient&) = delete;
    HttpClient& operator=(const HttpClient&) = delete;
    ~HttpClient() { clear(); }

    // The kept handle or, while it is taken, a fresh one; nothing when none can be made.
    CURL* take()
    {
        std::lock_guard lock(m_mutex);
        if (!m_share && !create())
            return nullptr;
        CURL* handle = m_handle ? m_handle : prepared(curl_easy_init());
        m_handle = nullptr;
        return handle;
    }

    void putBack(CURL* handle)
    {
        std::lock_guard lock(m_mutex);
        if (m_handle)
            curl_easy_cleanup(handle);
        else
            m_handle = handle;
    }

    void clear()
    {
        std::lock_guard lock(m_mutex);
        if (m_handle)
            curl_easy_cleanup(m_handle);
        if (m_share)
            curl_share_cleanup(m_share);
        m_handle = nullptr;
        m_share = nullptr;
    }

private:
    bool create()
    {
        // The easy handle first, as it also initialises libcurl when nobody has.
        CURL* handle = curl_easy_init();
        m_share = handle ? curl_share_init() : nullptr;
        if (!m_share) {
            if (handle)
                curl_easy_cleanup(handle);
            return false;
        }
        curl_share_setopt(m_share, CURLSHOPT_LOCKFUNC, lockShared);
        curl_share_setopt(m_share, CURLSHOPT_UNLOCKFUNC, unlockShared);
        curl_share_setopt(m_share, CURLSHOPT_USERDATA, this);
        for (const curl_lock_data data : {CURL_LOCK_DATA_COOKIE, CURL_LOCK_DATA_DNS,
                                          CURL_LOCK_DATA_SSL_SESSION, CURL_LOCK_DATA_CONNECT})
            curl_share_setopt(m_share, CURLSHOPT_SHARE, data);
        m_handle = prepared(handle);
        return true;
    }

    // What every request of the client has in common. Set once per handle: libcurl's
    // curl_easy_reset would lose the cookie engine's file list each time.
    CURL* prepared(CURL* handle) const
    {
        if (!handle)
            return nullptr;
        curl_easy_setopt(handle, CURLOPT_SHARE, m_share);
        curl_easy_setopt(handle, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
        curl_easy_setopt(handle, CURLOPT_USERAGENT, kUserAgent);
        curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https");
        curl_easy_setopt(handle, CURLOPT_ACCEPT_ENCODING, "gzip, deflate");
        curl_easy_setopt(handle, CURLOPT_COOKIEFILE, ""); // cookies in memory only
        curl_easy_setopt(handle, CURLOPT_SSL_VERIFYPEER, 1L);
        curl_easy_setopt(handle, CURLOPT_SSL_VERIFYHOST, 2L);
        curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
        return handle;
    }

    static void lockShared(CURL*, curl_lock_data data, curl_lock_access, void* client)
    {
        static_cast<HttpClient*>(client)->m_shareLocks[data].lock();
    }
    static void unlockShared(CURL*, curl_lock_data data, void* client)
    {
        static_cast<HttpClient*>(client)->m_shareLocks[data].unlock();
    }

    std::mutex m_mutex; // the handle moves between workers
    std::array<std::mutex, CURL_LOCK_DATA_LAST> m_shareLocks;
    CURLSH* m_share = nullptr; // empty until the first request creates the client
    CURL* m_handle = nullptr;  // null while a worker uses it
};

// What one request hands its worker and gets back from it. The worker owns a share of it, so
// a worker that outlives its time limit writes only into its own request.
struct Exchange
{
    Text url;
    Text method;
    Text body;
    HttpClient* http = nullptr;

    std::mutex mutex;
    std::condition_variable endedSignal;
    bool ended = false;
    bool completed = false;
    Text response;
};

// Workers still running, so the exit hook can wait for them before libcurl is cleaned up.
// Never destroyed: a worker that finishes during process exit must still find it.
struct Workers
{
    std::mutex mutex;
    std::condition_variable changed;
    int running = 0;
    std::atomic<bool> abandon{false};
};
Workers& workers()
{
    static Workers* const instance = new Workers;
    return *instance;
}

Text RequestUrl;
Text RequestMethod;
Text RequestBody;
std::uint32_t RequestTimeout = 0;
std::thread RequestThread;
Text ResponseText;
std::unique_ptr<HttpClient> HttpObject;

bool choosesPost(const Text& method)
{
    constexpr std::string_view kPost = "POST";
    return std::equal(
        method.begin(), method.end(), kPost.begin(), kPost.end(), [](char c, char post) {
            return (c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c) == post;
        });
}

curl_slist* requestHeaders(bool post, const Text& body)
{
    curl_slist* headers = nullptr;
    if (post) {
        headers = curl_slist_append(headers, "Content-Type: application/x-www-form-urlencoded");
        headers =
            curl_slist_append(headers, ("Content-Length: " + std::to_string(body.size())).c_str());
    } else {
        headers = curl_slist_append(headers, "Content-Type: text/XML");
    }
    headers = curl_slist_append(headers, "Accept-Language: zh-cn");
    // libcurl would otherwise hold a large body back behind an "Expect: 100-continue" header.
    return curl_slist_append(headers, "Expect:");
}

// Sets everything that differs from one request (or redirect) to the next.
void configure(CURL* handle, const std::string& url, bool post, const Text& body,
               curl_slist* headers)
{
    curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
    curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headers);
    if (post) {
        curl_easy_setopt(handle, CURLOPT_POST, 1L);
        curl_easy_setopt(handle, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
        curl_easy_setopt(handle, CURLOPT_POSTFIELDS, body.c_str());
    } else {
        curl_easy_setopt(handle, CURLOPT_HTTPGET, 1L);
    }
}

Text textBeforeFirstZero(const Bytes& bytes)
{
    const auto end = std::find(bytes.begin(), bytes.end(), std::uint8_t{0});
    return Text(bytes.begin(), end);
}

// The handle keeps no pointer into this request once it is done.
void letGo(CURL* handle)
{
    curl_easy_setopt(handle, CURLOPT_HTTPHEADER, nullptr);
    curl_easy_setopt(handle, CURLOPT_POSTFIELDS, nullptr);
    curl_easy_setopt(handle, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, nullptr);
    curl_easy_setopt(handle, CURLOPT_XFERINFODATA, nullptr);
}

// The address a response sends the request on to, when it is a redirect.
std::optional<std::string> redirectTarget(CURL* handle, long status)
{
    if (status != 301 && status != 302 && status != 303 && status != 307 && status != 308)
        return std::nullopt;
    char* location = nullptr;
    curl_easy_getinfo(handle, CURLINFO_REDIRECT_URL, &location);
    if (!location)
        return std::nullopt;
    return escapeUrlBytes(location);
}

// Runs the exchange on the handle, following redirects itself: libcurl would turn a
// redirected POST into a GET that still carries the POST's Content-Length, and hang.
std::optional<Bytes> exchangeOn(CURL* handle, const Exchange& exchange)
{
    std::string url = transferUrl(exchange.url);
    // Non-ASCII bytes of the body go as they are, so Content-Length counts what is sent.
    bool post = choosesPost(exchange.method);
    for (long redirects = 0;; ++redirects) {
        curl_slist* headers = requestHeaders(post, exchange.body);
        configure(handle, url, post, exchange.body, headers);
        Bytes received;
        CURLcode result = CURLE_OK;
        {
            const TransferGuard guard(handle, received, [] { return workers().abandon.load(); });
            result = curl_easy_perform(handle);
        }
        long status = 0;
        curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &status);
        std::optional<std::string> target =
            result == CURLE_OK ? redirectTarget(handle, status) : std::nullopt;
        letGo(handle);
        curl_slist_free_all(headers);
        if (result != CURLE_OK || (target && redirects == kMaxRedirects))
            return std::nullopt;
        if (!target)
            return received;
        url = std::move(*target);
        // As browsers do: 303 always, 301 and 302 for a POST, go on as a GET without the body.
        if (status != 307 && status != 308)
            post = false;
    }
}

void RequestWorker(std::shared_ptr<Exchange> exchange)
{
    CURL* handle = exchange->http ? exchange->http->take() : nullptr;
    bool completed = false;
    Text response;
    if (handle) {
        const std::optional<Bytes> received = exchangeOn(handle, *exchange);
        exchange->http->putBack(handle);
        completed = received.has_value();
        if (completed)
            response = textBeforeFirstZero(*received);
    }
    {
        std::lock_guard lock(exchange->mutex);
        exchange->ended = true;
        exchange->completed = completed;
        exchange->response = std::move(response);
    }
    exchange->endedSignal.notify_all();

    Workers& running = workers();
    std::lock_guard lock(running.mutex);
    --running.running;
    running.changed.notify_all();
}

bool startWorker(const std::shared_ptr<Exchange>& exchange)
{
    Workers& running = workers();
    {
        std::lock_guard lock(running.mutex);
        ++running.running;
    }
    try {
        RequestThread = std::thread(RequestWorker, exchange);
        return true;
    } catch (const std::system_error&) {
        std::lock_guard lock(running.mutex);
        --running.running;
        running.changed.notify_all();
        return false;
    }
}

// Waits for the worker as long as RequestTimeout allows; true when it has ended.
bool waitForWorker(Exchange& exchange)
{
    std::unique_lock lock(exchange.mutex);
    const auto ended = [&exchange] { return exchange.ended; };
    if (RequestTimeout == kInfinite) {
        exchange.endedSignal.wait(lock, ended);
        return true;
    }
    return exchange.endedSignal.wait_for(lock, std::chrono::milliseconds(RequestTimeout), ended);
}

} // namespace

Text RequestPage(const Text& url, const Text& method, const Text& body,
                 std::int32_t timeLimitMilliseconds)
{
    RequestUrl = url;
    RequestMethod = method;
    RequestBody = body;
    RequestTimeout =
        timeLimitMilliseconds != 0 ? static_cast<std::uint32_t>(timeLimitMilliseconds) : kInfinite;

    auto exchange = std::make_shared<Exchange>();
    exchange->url = RequestUrl;
    exchange->method = RequestMethod;
    exchange->body = RequestBody;
    exchange->http = HttpObject.get();
    if (!startWorker(exchange)) {
        ResponseText.clear();
        return {};
    }
    const bool ended = waitForWorker(*exchange);
    if (ended)
        RequestThread.join();
    else
        RequestThread.detach(); // counted in workers(), which the exit hook waits for

    std::lock_guard lock(exchange->mutex);
    ResponseText = ended && exchange->completed ? exchange->response : Text();
    return ResponseText;
}

void InitRequestState()
{
    if (!HttpObject)
        HttpObject = std::make_unique<HttpClient>();
}

void ReleaseRequestState()
{
    Workers& running = workers();
    {
        std::unique_lock lock(running.mutex);
        running.abandon = true;
        running.changed.wait(lock, [&running] { return running.running == 0; });
        running.abandon = false;
    }
    RequestUrl = Text();
    RequestMethod = Text();
    RequestBody = Text();
    ResponseText = Text();
    HttpObject.reset();
}

} // namespace vantrel
