#include "forum_page_generator.h"
#include "harvest/patterns.h"
#include "regex/regex_object.h"
#include "web/code_page.h"

#include <benchmark/benchmark.h>

namespace vantrel {
namespace {

struct PageCase
{
    const char* pattern;
    Text (*generate)(int, std::size_t);
    int matches;
    std::size_t size;
};

const PageCase kListPage{kThreadPattern, &generateListPage, kListPageThreads, kListPageSize};
const PageCase kThreadPage{kImagePattern, &generateThreadPage, kThreadPagePictures,
                           kThreadPageSize};

int readEveryGroup(const RegexObject& regex)
{
    const int matches = regex.MatchCount();
    const int groups = regex.SubMatchCount();
    for (int k = 1; k <= matches; ++k) {
        for (int g = 1; g <= groups; ++g) {
            benchmark::DoNotOptimize(regex.SubMatchText(k, g));
        }
    }
    return matches;
}

void finish(benchmark::State& state, const Text& subject, int found, int expected)
{
    if (found != expected) {
        state.SkipWithError("the pattern did not find every generated match");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * subject.size()));
    state.counters["matches"] = found;
}

// As the commands run it: one instance, the same pattern on every page.
void benchRegex(benchmark::State& state, const PageCase* page)
{
    const Text subject = Utf8ToLocal(page->generate(page->matches, page->size));
    RegexObject regex;
    int found = 0;
    for (auto _ : state) {
        regex.Create(page->pattern, subject);
        found = readEveryGroup(regex);
    }
    finish(state, subject, found, page->matches);
}

// A new instance every time, so compiling the pattern is measured too.
void benchRegexFresh(benchmark::State& state, const PageCase* page)
{
    const Text subject = Utf8ToLocal(page->generate(page->matches, page->size));
    int found = 0;
    for (auto _ : state) {
        RegexObject regex;
        regex.Create(page->pattern, subject);
        found = readEveryGroup(regex);
    }
    finish(state, subject, found, page->matches);
}

BENCHMARK_CAPTURE(benchRegex, ThreadPatternListPage, &kListPage)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(benchRegex, ImagePatternThreadPage, &kThreadPage)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(benchRegexFresh, ThreadPatternListPage, &kListPage)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(benchRegexFresh, ImagePatternThreadPage, &kThreadPage)
    ->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace vantrel

BENCHMARK_MAIN();
