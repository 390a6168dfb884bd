#include "support/test_server.h"

#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>
#include <zlib.h>

// Raw sockets rather than cpp-httplib's server: httplib keeps request headers in a sorted
// multimap (their order is lost) and cannot stall, reset or stream without end on demand.

namespace vantrel::test {
namespace {

constexpr std::size_t kMaxHeadBytes = 1 << 20;

char lower(char c)
{
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return lower(x) == lower(y); });
}

std::string lowered(std::string_view text)
{
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(), lower);
    return result;
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

const char* reasonPhrase(int status)
{
    switch (status) {
    case 100:
        return "Continue";
    case 200:
        return "OK";
    case 201:
        return "Created";
    case 204:
        return "No Content";
    case 301:
        return "Moved Permanently";
    case 302:
        return "Found";
    case 303:
        return "See Other";
    case 304:
        return "Not Modified";
    case 307:
        return "Temporary Redirect";
    case 308:
        return "Permanent Redirect";
    case 400:
        return "Bad Request";
    case 403:
        return "Forbidden";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 500:
        return "Internal Server Error";
    case 501:
        return "Not Implemented";
    case 502:
        return "Bad Gateway";
    case 503:
        return "Service Unavailable";
    default:
        return "Status";
    }
}

std::string compressed(std::string_view data, const std::string& encoding)
{
    const int windowBits = encoding == "gzip" ? 15 + 16 : 15;
    z_stream stream{};
    if (deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, windowBits, 8,
                     Z_DEFAULT_STRATEGY) != Z_OK)
        throw std::runtime_error("deflateInit2 failed");
    std::string out(deflateBound(&stream, data.size()) + 64, '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    const int status = deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    if (status != Z_STREAM_END)
        throw std::runtime_error("deflate failed");
    return out;
}

std::string chunkFrame(std::string_view data)
{
    char size[32];
    std::snprintf(size, sizeof size, "%zx\r\n", data.size());
    std::string frame = size;
    frame.append(data);
    frame += "\r\n";
    return frame;
}

// Host name of an authority "user@host:port" or "[v6]:port", lower case, without the port.
std::string hostOfAuthority(std::string_view authority)
{
    if (const auto at = authority.rfind('@'); at != std::string_view::npos)
        authority.remove_prefix(at + 1);
    if (authority.starts_with('[')) {
        const auto close = authority.find(']');
        return lowered(authority.substr(1, close == std::string_view::npos ? close : close - 1));
    }
    return lowered(authority.substr(0, authority.find(':')));
}

} // namespace

std::string ReceivedRequest::header(std::string_view name) const
{
    for (const Header& h : headers)
        if (equalsIgnoringCase(h.name, name))
            return h.value;
    return {};
}

bool ReceivedRequest::hasHeader(std::string_view name) const
{
    return headerCount(name) > 0;
}

std::size_t ReceivedRequest::headerCount(std::string_view name) const
{
    return static_cast<std::size_t>(
        std::count_if(headers.begin(), headers.end(),
                      [&](const Header& h) { return equalsIgnoringCase(h.name, name); }));
}

std::vector<std::string> ReceivedRequest::headerNames() const
{
    std::vector<std::string> names;
    for (const Header& h : headers)
        names.push_back(h.name);
    return names;
}

Response Response::text(std::string body, int status)
{
    Response response;
    response.status = status;
    response.body = std::move(body);
    return response;
}

Response Response::redirect(std::string location, int status)
{
    Response response;
    response.status = status;
    response.headers.push_back({"Location", std::move(location)});
    return response;
}

Response Response::stall(std::string body, std::size_t bodyBytesFirst)
{
    Response response = text(std::move(body));
    response.ending = Ending::Stall;
    response.endAfter = bodyBytesFirst;
    return response;
}

Response& Response::header(std::string name, std::string value)
{
    headers.push_back({std::move(name), std::move(value)});
    return *this;
}

struct TestServer::Connection
{
    std::mutex fdMutex; // the stopping server shuts the socket down while its thread uses it
    int fd = -1;
    std::size_t serial = 0;
    std::string input;
    std::thread thread;
    std::atomic<bool> finished{false};

    void close(bool reset)
    {
        std::lock_guard lock(fdMutex);
        if (fd < 0)
            return;
        if (reset) {
            const linger abort{1, 0};
            setsockopt(fd, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
        } else {
            ::shutdown(fd, SHUT_WR);
        }
        ::close(fd);
        fd = -1;
    }

    bool sendAll(std::string_view data)
    {
        while (!data.empty()) {
            const ssize_t sent = ::send(fd, data.data(), data.size(), MSG_NOSIGNAL);
            if (sent < 0 && errno == EINTR)
                continue;
            if (sent <= 0)
                return false;
            data.remove_prefix(static_cast<std::size_t>(sent));
        }
        return true;
    }

    bool readMore()
    {
        char block[16384];
        for (;;) {
            const ssize_t got = ::recv(fd, block, sizeof block, 0);
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                return false;
            input.append(block, static_cast<std::size_t>(got));
            return true;
        }
    }

    std::optional<std::string> readLine()
    {
        std::size_t searched = 0;
        for (;;) {
            const auto end = input.find("\r\n", searched);
            if (end != std::string::npos) {
                std::string line = input.substr(0, end);
                input.erase(0, end + 2);
                return line;
            }
            if (input.size() > kMaxHeadBytes)
                return std::nullopt;
            searched = input.empty() ? 0 : input.size() - 1;
            if (!readMore())
                return std::nullopt;
        }
    }

    std::optional<std::string> readBytes(std::size_t count)
    {
        while (input.size() < count)
            if (!readMore())
                return std::nullopt;
        std::string bytes = input.substr(0, count);
        input.erase(0, count);
        return bytes;
    }
};

namespace {

// Sends a response's bytes and stops short where the response says: stalls or resets
// after the given number of body bytes.
class Wire
{
public:
    Wire(std::function<bool()> waitStalled, const Response& response)
        : m_waitStalled(std::move(waitStalled)), m_response(response)
    {}
    template <typename Send, typename Reset>
    bool head(std::string_view data, Send send, Reset reset)
    {
        if (m_response.endAfter == Response::kBeforeHead && !cut(reset))
            return false;
        return send(data);
    }
    template <typename Send, typename Reset>
    bool body(std::string_view data, Send send, Reset reset)
    {
        if (!m_cut && m_response.ending != Response::Ending::Complete &&
            m_bodySent + data.size() >= m_response.endAfter) {
            const std::size_t before = m_response.endAfter - m_bodySent;
            if (!send(data.substr(0, before)) || !cut(reset))
                return false;
            m_bodySent += before;
            data.remove_prefix(before);
        }
        m_bodySent += data.size();
        return send(data);
    }
    template <typename Reset>
    bool finish(Reset reset)
    {
        return cut(reset);
    }

private:
    template <typename Reset>
    bool cut(Reset reset)
    {
        if (m_cut || m_response.ending == Response::Ending::Complete)
            return true;
        m_cut = true;
        if (m_response.ending == Response::Ending::Reset) {
            reset();
            return false;
        }
        return m_waitStalled();
    }

    std::function<bool()> m_waitStalled;
    const Response& m_response;
    std::size_t m_bodySent = 0;
    bool m_cut = false;
};

} // namespace

TestServer::TestServer()
{
    m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_listener < 0 || ::pipe2(m_wakePipe, O_CLOEXEC) != 0)
        throw std::runtime_error("test server: no socket");
    const int yes = 1;
    setsockopt(m_listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    if (::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(m_listener, 64) != 0 ||
        ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        throw std::runtime_error(std::string("test server: cannot listen: ") +
                                 std::strerror(errno));
    m_port = ntohs(address.sin_port);
    m_acceptThread = std::thread([this] { acceptLoop(); });
}

TestServer::~TestServer()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    const char wake = 1;
    [[maybe_unused]] const ssize_t written = ::write(m_wakePipe[1], &wake, 1);
    m_acceptThread.join();
    // Only the accept thread adds or removes connections, so the list is stable from here.
    for (auto& connection : m_connections) {
        std::lock_guard lock(connection->fdMutex);
        if (connection->fd >= 0)
            ::shutdown(connection->fd, SHUT_RDWR);
    }
    for (auto& connection : m_connections)
        connection->thread.join();
    ::close(m_listener);
    ::close(m_wakePipe[0]);
    ::close(m_wakePipe[1]);
}

std::string TestServer::url(std::string_view pathAndQuery) const
{
    return "http://127.0.0.1:" + std::to_string(m_port) + std::string(pathAndQuery);
}

void TestServer::on(std::string path, Response response)
{
    on({}, std::move(path), std::move(response));
}

void TestServer::on(std::string host, std::string path, Response response)
{
    on(std::move(host), std::move(path),
       Handler([response = std::move(response)](const ReceivedRequest&) { return response; }));
}

void TestServer::on(std::string path, Handler handler)
{
    on({}, std::move(path), std::move(handler));
}

void TestServer::on(std::string host, std::string path, Handler handler)
{
    std::lock_guard lock(m_mutex);
    m_routes.push_back({lowered(host), std::move(path), std::move(handler)});
}

void TestServer::releaseStalls()
{
    {
        std::lock_guard lock(m_mutex);
        ++m_stallGeneration;
    }
    m_changed.notify_all();
}

std::size_t TestServer::requestCount() const
{
    std::lock_guard lock(m_mutex);
    return m_requests.size();
}

std::vector<ReceivedRequest> TestServer::requests() const
{
    std::lock_guard lock(m_mutex);
    return m_requests;
}

std::optional<ReceivedRequest> TestServer::waitForRequest(std::size_t n,
                                                          std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(m_mutex);
    if (n == 0 || !m_changed.wait_for(lock, timeout, [&] { return m_requests.size() >= n; }))
        return std::nullopt;
    return m_requests[n - 1];
}

void TestServer::acceptLoop()
{
    for (;;) {
        pollfd watched[2] = {{m_listener, POLLIN, 0}, {m_wakePipe[0], POLLIN, 0}};
        if (::poll(watched, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (watched[1].revents != 0)
            return;
        const int fd = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            continue;
        // The head and the body go out in separate writes; Nagle would hold the second
        // back for the client's delayed acknowledgement.
        const int noDelay = 1;
        setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &noDelay, sizeof noDelay);
        reapFinished();
        auto connection = std::make_unique<Connection>();
        connection->fd = fd;
        Connection& started = *connection;
        {
            std::lock_guard lock(m_mutex);
            if (m_stopping) {
                ::close(fd);
                return;
            }
            connection->serial = ++m_connectionCount;
        }
        m_connections.push_back(std::move(connection));
        started.thread = std::thread([this, &started] {
            serve(started);
            started.close(false);
            started.finished = true;
        });
    }
}

void TestServer::reapFinished()
{
    for (auto it = m_connections.begin(); it != m_connections.end();) {
        if ((*it)->finished) {
            (*it)->thread.join();
            it = m_connections.erase(it);
        } else {
            ++it;
        }
    }
}

void TestServer::serve(Connection& connection)
{
    for (;;) {
        auto line = connection.readLine();
        while (line && line->empty()) // stray line ends between requests are allowed
            line = connection.readLine();
        if (!line)
            return;

        ReceivedRequest request;
        request.requestLine = *line;
        request.connection = connection.serial;
        const auto firstSpace = line->find(' ');
        const auto lastSpace = line->rfind(' ');
        bool wellFormed = firstSpace != std::string::npos && lastSpace > firstSpace;
        if (wellFormed) {
            request.method = line->substr(0, firstSpace);
            request.target = line->substr(firstSpace + 1, lastSpace - firstSpace - 1);
            request.version = line->substr(lastSpace + 1);
        }
        for (;;) {
            auto headerLine = connection.readLine();
            if (!headerLine)
                return;
            if (headerLine->empty())
                break;
            const auto colon = headerLine->find(':');
            if (colon == std::string::npos || colon == 0) {
                wellFormed = false;
                continue;
            }
            request.headers.push_back(
                {headerLine->substr(0, colon),
                 std::string(trimmed(std::string_view(*headerLine).substr(colon + 1)))});
        }

        std::string_view target = request.target;
        if (const auto scheme = target.find("://");
            scheme != std::string_view::npos && target.find('/') > scheme) {
            target.remove_prefix(scheme + 3);
            const auto pathStart = std::min(target.find('/'), target.find('?'));
            request.host = hostOfAuthority(target.substr(0, pathStart));
            target = pathStart == std::string_view::npos ? std::string_view("/")
                                                         : target.substr(pathStart);
        } else if (!target.starts_with('/') && target != "*") {
            request.host = hostOfAuthority(target); // CONNECT host:port
            target = {};
        } else {
            request.host = hostOfAuthority(request.header("Host"));
        }
        const auto question = target.find('?');
        request.path = std::string(target.substr(0, question));
        if (question != std::string_view::npos)
            request.query = std::string(target.substr(question + 1));
        if (request.path.empty() && !target.empty())
            request.path = "/";

        const bool chunkedBody = equalsIgnoringCase(request.header("Transfer-Encoding"), "chunked");
        const std::string lengthHeader = request.header("Content-Length");
        const std::size_t length = std::strtoull(lengthHeader.c_str(), nullptr, 10);
        if (equalsIgnoringCase(request.header("Expect"), "100-continue") &&
            (chunkedBody || length > 0) && connection.input.empty() &&
            !connection.sendAll("HTTP/1.1 100 Continue\r\n\r\n"))
            return;
        if (chunkedBody) {
            for (;;) {
                auto sizeLine = connection.readLine();
                if (!sizeLine)
                    return;
                const std::size_t size = std::strtoull(sizeLine->c_str(), nullptr, 16);
                if (size == 0)
                    break;
                auto data = connection.readBytes(size + 2);
                if (!data)
                    return;
                request.body.append(*data, 0, size);
            }
            for (auto trailer = connection.readLine(); trailer && !trailer->empty();
                 trailer = connection.readLine()) {
            }
        } else if (length > 0) {
            auto data = connection.readBytes(length);
            if (!data)
                return;
            request.body = std::move(*data);
        }

        std::size_t stallGeneration = 0;
        {
            std::lock_guard lock(m_mutex);
            m_requests.push_back(request);
            stallGeneration = m_stallGeneration;
        }
        m_changed.notify_all();

        Response response =
            wellFormed ? respond(request) : Response::text("malformed request", 400);
        bool keepOpen = wellFormed;
        if (!sendResponse(connection, request, response, stallGeneration, keepOpen) || !keepOpen)
            return;
    }
}

Response TestServer::respond(const ReceivedRequest& request)
{
    Handler handler;
    {
        std::lock_guard lock(m_mutex);
        const std::string pathAndQuery = request.path + "?" + request.query;
        const Route* chosen = nullptr;
        // The latest route wins, so a test can program a path anew; one naming the host wins
        // over one that does not.
        for (auto it = m_routes.rbegin(); it != m_routes.rend(); ++it) {
            const bool pathMatches = it->path.find('?') != std::string::npos
                                         ? it->path == pathAndQuery
                                         : it->path == request.path;
            if (!pathMatches)
                continue;
            if (it->host.empty()) {
                if (!chosen)
                    chosen = &*it;
            } else if (it->host == request.host ||
                       it->host == request.host + ":" + std::to_string(m_port) ||
                       equalsIgnoringCase(it->host, request.header("Host"))) {
                chosen = &*it;
                break;
            }
        }
        if (chosen)
            handler = chosen->handler;
    }
    if (!handler)
        return Response::text("not found", 404);
    return handler(request);
}

bool TestServer::sendResponse(Connection& connection, const ReceivedRequest& request,
                              const Response& response, std::size_t stallGeneration, bool& keepOpen)
{
    const bool http10 = request.version == "HTTP/1.0";
    const bool headOnly = request.method == "HEAD";
    bool givenLength = false;
    bool givenTransferEncoding = false;
    for (const Header& h : response.headers) {
        givenLength = givenLength || equalsIgnoringCase(h.name, "Content-Length");
        givenTransferEncoding =
            givenTransferEncoding || equalsIgnoringCase(h.name, "Transfer-Encoding");
    }
    const bool chunked = response.chunked && !http10 && !givenTransferEncoding;
    const bool untilClose = !chunked && !givenLength && !givenTransferEncoding &&
                            (response.endless || response.chunked);
    if (http10 || untilClose || response.endless ||
        equalsIgnoringCase(request.header("Connection"), "close"))
        keepOpen = false;

    const std::string body = response.encoding.empty() || response.endless
                                 ? response.body
                                 : compressed(response.body, response.encoding);

    std::string head = "HTTP/1.1 " + std::to_string(response.status) + " " +
                       (response.reason.empty() ? reasonPhrase(response.status) : response.reason) +
                       "\r\n";
    for (const Header& h : response.headers)
        head += h.name + ": " + h.value + "\r\n";
    if (!response.encoding.empty() && !response.endless)
        head += "Content-Encoding: " + response.encoding + "\r\n";
    if (chunked)
        head += "Transfer-Encoding: chunked\r\n";
    else if (!untilClose && !givenLength && !givenTransferEncoding)
        head += "Content-Length: " + std::to_string(body.size()) + "\r\n";
    if (!keepOpen)
        head += "Connection: close\r\n";
    head += "\r\n";

    Wire wire([this, stallGeneration] { return waitWhileStalled(stallGeneration); }, response);
    auto send = [&](std::string_view data) { return connection.sendAll(data); };
    auto reset = [&] { connection.close(true); };
    if (!wire.head(head, send, reset))
        return false;
    if (headOnly)
        return wire.finish(reset);

    if (response.endless) {
        const std::string pattern = response.body.empty() ? std::string("x") : response.body;
        std::string block;
        const std::size_t blockSize =
            chunked ? std::max<std::size_t>(response.chunkSize, 1) : 16384;
        while (block.size() < blockSize)
            block += pattern;
        block.resize(blockSize);
        if (chunked)
            block = chunkFrame(block);
        for (;;)
            if (!wire.body(block, send, reset))
                return false;
    }

    if (chunked) {
        const std::size_t size = std::max<std::size_t>(response.chunkSize, 1);
        for (std::size_t offset = 0; offset < body.size(); offset += size)
            if (!wire.body(chunkFrame(std::string_view(body).substr(offset, size)), send, reset))
                return false;
        if (!wire.body("0\r\n\r\n", send, reset))
            return false;
    } else if (!wire.body(body, send, reset)) {
        return false;
    }
    return wire.finish(reset);
}

bool TestServer::waitWhileStalled(std::size_t generation)
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [&] { return m_stopping || m_stallGeneration != generation; });
    return !m_stopping;
}

int ClosedLoopbackPort()
{
    return TestServer().port();
}

} // namespace vantrel::test
