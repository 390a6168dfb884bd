#include "forum_page_generator.h"
#include "web/code_page.h"

#include <benchmark/benchmark.h>

namespace vantrel {
namespace {

const Text& listPage()
{
    static const Text page = generateListPage();
    return page;
}

const Text& threadPage()
{
    static const Text page = generateThreadPage();
    return page;
}

void benchUtf8ToLocal(benchmark::State& state, const Text& (*page)())
{
    const Text& utf8 = page();
    for (auto _ : state) {
        benchmark::DoNotOptimize(Utf8ToLocal(utf8));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * utf8.size()));
    state.counters["page_bytes"] = static_cast<double>(utf8.size());
}

BENCHMARK_CAPTURE(benchUtf8ToLocal, ListPage, &listPage)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(benchUtf8ToLocal, ThreadPage, &threadPage)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace vantrel

BENCHMARK_MAIN();
