#pragma once

#include <filesystem>
#include <memory>
#include <string>

namespace vantrel {

// A stand-in for the forum service and its picture hosts, for trying Vantrel and for
// tests and benchmarks that start it in-process. It answers as an HTTP proxy does
// (absolute-form targets, "GET http://tieba.baidu.com/f?... HTTP/1.1"), and to
// origin-form requests by their Host header, from the pages and pictures listed in
// the content folder's index.txt. It never forwards anything: a host the index does
// not name answers 502, as an unreachable one would, and CONNECT is refused.
//
//   SampleForum forum;
//   if (forum.start())
//       setenv("http_proxy", forum.proxyUrl().c_str(), 1);
class SampleForum
{
public:
    explicit SampleForum(std::filesystem::path contentFolder = defaultContentFolder());
    ~SampleForum();
    SampleForum(const SampleForum&) = delete;
    SampleForum& operator=(const SampleForum&) = delete;

    // Loads the content and listens on the address (port 0: a free one). Returns once
    // requests are being served; false, with error() saying why, when it cannot.
    bool start(const std::string& address = "127.0.0.1", int port = 0);
    void stop();

    int port() const;
    std::string proxyUrl() const;
    std::string error() const;
    // The bytes served for a picture address as a page writes it; null when it has none.
    const std::string* picture(const std::string& address) const;

    static std::filesystem::path defaultContentFolder();

private:
    struct State;
    std::unique_ptr<State> m_state;
};

} // namespace vantrel
