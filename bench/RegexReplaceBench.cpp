// The replace modifier's engine over 100 000 names, `IMG_(\d+)` replaced by
// `Trip $1` as the template `%{f:/IMG_(\d+)/Trip $1/r}` does, one name after
// the other, against the engines it was chosen from, in one run:
//   Copy             the name copied as it is (what a plain `%f` costs),
//   TRegexReplace    ours: PCRE2 16-bit with JIT, the replacement parsed once,
//   Pcre2Jit         pcre2_match on the same JIT-compiled expression,
//   Pcre2Interpreted pcre2_match without JIT,
//   StdRegex         std::wregex and std::regex_search (it has no char16_t
//                    traits, so each name is widened to std::wstring first);
// the last three build the new name by the same few lines, so their engines'
// matching is what differs. The ratios of CPU time to TRegexReplace's are
// printed at the end (CPU time: on a shared machine the wall clock measures
// the neighbours too).
#include "plugin/uRegex.h"

#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <regex>
#include <string>
#include <vector>

namespace {

constexpr size_t NameCount = 100'000;
const char16_t Find[] = u"IMG_(\\d+)";
const char16_t Replace[] = u"Trip $1";

const std::vector<std::u16string>& Names()
{
    static const std::vector<std::u16string> names = [] {
        std::vector<std::u16string> made;
        made.reserve(NameCount);
        for (size_t i = 0; i < NameCount; ++i) {
            char text[32];
            // One name in ten does not match, as in a folder of photos and their side files.
            std::snprintf(text, sizeof text, i % 10 == 9 ? "notes_%05zu.txt" : "IMG_%05zu.JPG", i);
            made.emplace_back(text, text + std::char_traits<char>::length(text));
        }
        return made;
    }();
    return names;
}

void Copy(benchmark::State& state)
{
    for (auto _ : state)
        for (const std::u16string& name : Names()) {
            std::u16string copy(name);
            benchmark::DoNotOptimize(copy);
        }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * NameCount));
}

void TRegexReplace(benchmark::State& state)
{
    Zelvane::String error;
    const auto replace = Zelvane::TRegexReplace::Compile(Find, Replace, {}, error);
    for (auto _ : state)
        for (const std::u16string& name : Names()) {
            std::u16string renamed = replace->Apply(name);
            benchmark::DoNotOptimize(renamed);
        }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * NameCount));
}

// The replacement every engine below makes from its match: what precedes
// it, "Trip ", the first group, what follows; the same work for each, so the
// engines' matching is what differs.
std::u16string Replaced(const std::u16string& name, size_t start, size_t end, size_t groupStart, size_t groupEnd)
{
    std::u16string out;
    out.reserve(name.size() + 4);
    out.append(name, 0, start).append(u"Trip ").append(name, groupStart, groupEnd - groupStart).append(name, end);
    return out;
}

void Pcre2Match(benchmark::State& state, bool jit)
{
    int errorCode = 0;
    PCRE2_SIZE errorOffset = 0;
    pcre2_code_16* code = pcre2_compile_16(reinterpret_cast<PCRE2_SPTR16>(Find), PCRE2_ZERO_TERMINATED,
                                           PCRE2_UTF | PCRE2_UCP | PCRE2_MATCH_INVALID_UTF, &errorCode, &errorOffset,
                                           nullptr);
    if (jit)
        pcre2_jit_compile_16(code, PCRE2_JIT_COMPLETE);
    pcre2_match_data_16* data = pcre2_match_data_create_from_pattern_16(code, nullptr);
    const uint32_t options = jit ? 0 : PCRE2_NO_JIT;
    for (auto _ : state)
        for (const std::u16string& name : Names()) {
            if (pcre2_match_16(code, reinterpret_cast<PCRE2_SPTR16>(name.data()), name.size(), 0, options, data,
                               nullptr) < 0) {
                std::u16string same(name);
                benchmark::DoNotOptimize(same);
                continue;
            }
            const PCRE2_SIZE* at = pcre2_get_ovector_pointer_16(data);
            std::u16string renamed = Replaced(name, at[0], at[1], at[2], at[3]);
            benchmark::DoNotOptimize(renamed);
        }
    pcre2_match_data_free_16(data);
    pcre2_code_free_16(code);
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * NameCount));
}

void Pcre2Jit(benchmark::State& state)
{
    Pcre2Match(state, true);
}

void Pcre2Interpreted(benchmark::State& state)
{
    Pcre2Match(state, false);
}

void StdRegex(benchmark::State& state)
{
    const std::wregex find(L"IMG_(\\d+)");
    std::wsmatch match;
    for (auto _ : state)
        for (const std::u16string& name : Names()) {
            const std::wstring wide(name.begin(), name.end());
            if (!std::regex_search(wide, match, find)) {
                std::u16string same(name);
                benchmark::DoNotOptimize(same);
                continue;
            }
            std::u16string renamed =
                Replaced(name, static_cast<size_t>(match.position(0)),
                         static_cast<size_t>(match.position(0) + match.length(0)),
                         static_cast<size_t>(match.position(1)),
                         static_cast<size_t>(match.position(1) + match.length(1)));
            benchmark::DoNotOptimize(renamed);
        }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * NameCount));
}

BENCHMARK(Copy)->Unit(benchmark::kMillisecond);
BENCHMARK(TRegexReplace)->Unit(benchmark::kMillisecond);
BENCHMARK(Pcre2Jit)->Unit(benchmark::kMillisecond);
BENCHMARK(Pcre2Interpreted)->Unit(benchmark::kMillisecond);
BENCHMARK(StdRegex)->Unit(benchmark::kMillisecond);

// The console report, then each engine's time as a multiple of ours.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (!run.error_occurred && (run.run_type == Run::RT_Iteration || run.aggregate_name == "median"))
                Seconds[run.run_name.function_name] = run.GetAdjustedCPUTime();
    }
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        const auto ours = Seconds.find("TRegexReplace");
        if (ours == Seconds.end() || ours->second <= 0)
            return;
        std::printf("Time per %zu names as a multiple of TRegexReplace's:\n", NameCount);
        for (const auto& [name, seconds] : Seconds)
            std::printf("  %-18s %.2f\n", name.c_str(), seconds / ours->second);
    }

private:
    std::map<std::string, double> Seconds;
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
