#include "support/test_server.h"
#include "web/page_request.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <curl/curl.h>

// RequestPage round trips on loopback beside the same number of plain libcurl requests on
// one reused handle, so the cost of the worker thread and the per-request set-up shows.

namespace vantrel {
namespace {

constexpr int kRequests = 1000;

test::TestServer& server()
{
    static test::TestServer* const instance = [] {
        auto* started = new test::TestServer;
        started->on("/page", test::Response::text(std::string(2048, 'p')));
        return started;
    }();
    return *instance;
}

void benchRequestPage(benchmark::State& state)
{
    const Text url = server().url("/page");
    for (auto _ : state)
        benchmark::DoNotOptimize(RequestPage(url));
    state.SetItemsProcessed(state.iterations());
}

std::size_t discard(char*, std::size_t size, std::size_t count, void*)
{
    return size * count;
}

void benchPlainCurl(benchmark::State& state)
{
    const std::string url = server().url("/page");
    CURL* handle = curl_easy_init();
    curl_slist* headers = curl_slist_append(nullptr, "Content-Type: text/XML");
    headers = curl_slist_append(headers, "Accept-Language: zh-cn");
    curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
    curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, discard);
    for (auto _ : state)
        if (curl_easy_perform(handle) != CURLE_OK)
            state.SkipWithError("request failed");
    state.SetItemsProcessed(state.iterations());
    curl_easy_cleanup(handle);
    curl_slist_free_all(headers);
}

BENCHMARK(benchRequestPage)->Iterations(kRequests)->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(benchPlainCurl)->Iterations(kRequests)->UseRealTime()->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace vantrel

int main(int argc, char** argv)
{
    for (const char* name : {"http_proxy", "https_proxy", "no_proxy", "all_proxy", "HTTPS_PROXY",
                             "NO_PROXY", "ALL_PROXY"})
        unsetenv(name);
    curl_global_init(CURL_GLOBAL_DEFAULT);
    vantrel::InitRequestState();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    vantrel::ReleaseRequestState();
    curl_global_cleanup();
    return 0;
}
