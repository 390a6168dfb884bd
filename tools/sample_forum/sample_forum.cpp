#include "sample_forum.h"

#include <chrono>
#include <fstream>
#include <httplib.h>
#include <map>
#include <sstream>
#include <thread>

namespace vantrel {

namespace {

constexpr char kForumHost[] = "tieba.baidu.com";
constexpr char kPageType[] = "text/html; charset=UTF-8";

std::string lowerAscii(std::string text)
{
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// A "%" that is not followed by two hex digits stands for itself.
std::string percentDecode(const std::string& text, bool plusIsSpace)
{
    std::string decoded;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && hexValue(text[i + 1]) >= 0 &&
            hexValue(text[i + 2]) >= 0) {
            decoded += static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2]));
            i += 2;
        } else if (plusIsSpace && text[i] == '+') {
            decoded += ' ';
        } else {
            decoded += text[i];
        }
    }
    return decoded;
}

struct Target
{
    std::string host; // lower case, without port or user
    std::string path; // percent-decoded
    std::string query;
};

// Splits an absolute address, or an origin-form target with the Host header's value.
Target splitTarget(const std::string& target, const std::string& hostHeader)
{
    Target split;
    std::string rest = target;
    std::string authority = hostHeader;
    if (lowerAscii(target.substr(0, 7)) == "http://") {
        const std::size_t end = target.find_first_of("/?#", 7);
        authority = target.substr(7, end == std::string::npos ? std::string::npos : end - 7);
        rest = end == std::string::npos ? std::string("/") : target.substr(end);
    }
    if (const std::size_t at = authority.rfind('@'); at != std::string::npos)
        authority.erase(0, at + 1);
    if (const std::size_t colon = authority.find(':'); colon != std::string::npos)
        authority.erase(colon);
    split.host = lowerAscii(authority);

    rest = rest.substr(0, rest.find('#'));
    const std::size_t question = rest.find('?');
    if (question != std::string::npos) {
        split.query = rest.substr(question + 1);
        rest.erase(question);
    }
    split.path = percentDecode(rest.empty() ? std::string("/") : rest, false);
    return split;
}

std::map<std::string, std::string> queryParameters(const std::string& query)
{
    std::map<std::string, std::string> parameters;
    std::istringstream pairs(query);
    std::string pair;
    while (std::getline(pairs, pair, '&')) {
        const std::size_t equals = pair.find('=');
        const std::string key = percentDecode(pair.substr(0, equals), true);
        const std::string value = equals == std::string::npos
                                      ? std::string()
                                      : percentDecode(pair.substr(equals + 1), true);
        parameters.emplace(key, value);
    }
    return parameters;
}

std::string statusPage(int status, const char* reason)
{
    return "<html><head><title>" + std::to_string(status) + " " + reason +
           "</title></head><body><h1>" + std::to_string(status) + " " + reason +
           "</h1></body></html>\n";
}

} // namespace

struct SampleForum::State
{
    std::filesystem::path contentFolder;
    std::map<std::string, std::string> forums;   // name as typed -> list page
    std::string noSuchForum;                     // list page for any other name
    std::map<std::string, std::string> threads;  // id -> thread page
    std::map<std::string, std::string> pictures; // host + path -> picture
    std::map<std::string, bool> pictureHosts;
    std::string error;

    httplib::Server server;
    std::thread listener;
    std::string address;
    int port = -1;

    bool load();
    void answer(const httplib::Request& request, httplib::Response& response) const;
    const std::string* listPage(const std::string& name) const;
};

bool SampleForum::State::load()
{
    const std::filesystem::path indexPath = contentFolder / "index.txt";
    std::ifstream index(indexPath);
    if (!index) {
        error = "cannot read " + indexPath.string();
        return false;
    }
    auto readContent = [this](const std::string& name, std::string& into) {
        std::ifstream file(contentFolder / name, std::ios::binary);
        if (!file)
            return false;
        into.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
        return true;
    };

    std::string line;
    for (int lineNumber = 1; std::getline(index, line); ++lineNumber) {
        std::istringstream fields(line);
        std::string kind, key, file;
        fields >> kind;
        if (kind.empty() || kind[0] == '#')
            continue;
        fields >> key >> file;
        if (kind == "nosuchforum") {
            file = key;
            key.clear();
        }
        std::string content;
        if (file.empty() || !readContent(file, content)) {
            error = indexPath.string() + ":" + std::to_string(lineNumber) + ": cannot read '" +
                    file + "'";
            return false;
        }
        if (kind == "forum") {
            forums[key] = content;
        } else if (kind == "nosuchforum") {
            noSuchForum = content;
        } else if (kind == "thread") {
            threads[key] = content;
        } else if (kind == "picture") {
            const Target address = splitTarget(key, {});
            pictures[address.host + address.path] = content;
            pictureHosts[address.host] = true;
        } else {
            error = indexPath.string() + ":" + std::to_string(lineNumber) + ": unknown kind '" +
                    kind + "'";
            return false;
        }
    }
    return true;
}

const std::string* SampleForum::State::listPage(const std::string& name) const
{
    if (const auto exact = forums.find(name); exact != forums.end())
        return &exact->second;
    for (const auto& [forumName, page] : forums) {
        if (lowerAscii(forumName) == lowerAscii(name))
            return &page;
    }
    return nullptr;
}

void SampleForum::State::answer(const httplib::Request& request, httplib::Response& response) const
{
    auto refuse = [&response](int status, const char* reason) {
        response.status = status;
        response.set_content(statusPage(status, reason), kPageType);
    };
    if (request.method == "CONNECT")
        return refuse(403, "Forbidden");
    if (request.method != "GET" && request.method != "HEAD")
        return refuse(405, "Method Not Allowed");

    const Target target = splitTarget(request.target, request.get_header_value("Host"));
    if (target.host == kForumHost) {
        if (target.path == "/f") {
            const auto parameters = queryParameters(target.query);
            const auto name = parameters.find("kw");
            const std::string* page = name == parameters.end() ? nullptr : listPage(name->second);
            response.set_content(page ? *page : noSuchForum, kPageType);
            return;
        }
        if (target.path.rfind("/p/", 0) == 0) {
            if (const auto thread = threads.find(target.path.substr(3)); thread != threads.end()) {
                response.set_content(thread->second, kPageType);
                return;
            }
        }
        return refuse(404, "Not Found");
    }
    if (pictureHosts.count(target.host) != 0) {
        if (const auto picture = pictures.find(target.host + target.path);
            picture != pictures.end()) {
            response.set_content(picture->second, "image/jpeg");
            return;
        }
        return refuse(404, "Not Found");
    }
    refuse(502, "Bad Gateway");
}

SampleForum::SampleForum(std::filesystem::path contentFolder) : m_state(std::make_unique<State>())
{
    m_state->contentFolder = std::move(contentFolder);
}

SampleForum::~SampleForum()
{
    stop();
}

bool SampleForum::start(const std::string& address, int port)
{
    State& state = *m_state;
    if (state.listener.joinable())
        return true;
    if (!state.load())
        return false;

    // One request a connection, as a proxy answering HTTP/1.0 clients does; it also
    // lets stop() return without waiting for idle connections to time out.
    state.server.set_keep_alive_max_count(1);
    state.server.set_pre_routing_handler(
        [&state](const httplib::Request& request, httplib::Response& response) {
            state.answer(request, response);
            return httplib::Server::HandlerResponse::Handled;
        });
    state.port = port == 0 ? state.server.bind_to_any_port(address)
                           : (state.server.bind_to_port(address, port) ? port : -1);
    state.address = address;
    if (state.port < 0) {
        state.error = "cannot listen on " + address + ":" + std::to_string(port);
        return false;
    }
    state.listener = std::thread([&state] { state.server.listen_after_bind(); });
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!state.server.is_running() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::yield();
    return state.server.is_running();
}

void SampleForum::stop()
{
    if (!m_state->listener.joinable())
        return;
    m_state->server.stop();
    m_state->listener.join();
}

int SampleForum::port() const
{
    return m_state->port;
}

std::string SampleForum::proxyUrl() const
{
    return "http://" + m_state->address + ":" + std::to_string(m_state->port);
}

std::string SampleForum::error() const
{
    return m_state->error;
}

const std::string* SampleForum::picture(const std::string& address) const
{
    const Target target = splitTarget(address, {});
    const auto found = m_state->pictures.find(target.host + target.path);
    return found == m_state->pictures.end() ? nullptr : &found->second;
}

std::filesystem::path SampleForum::defaultContentFolder()
{
    return VANTREL_SAMPLE_FORUM_CONTENT;
}

} // namespace vantrel
