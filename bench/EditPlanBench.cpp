// Ordering the renames of an edit run, at 100 000 and at 1 000 000 files,
// in three shapes: every file to a name no file has, one chain through every
// file (each target is the next file's name), and nothing but swaps (2-
// cycles). The figures that matter are printed at the end, in processor time
// (the machine may be shared): for each shape the time at 1 000 000 files
// over the time at 100 000, which is 10 when the work grows linearly, and the
// same ratio of the floor, the least any keyed ordering does: every name
// keyed and put in a hash map once. A hash map of a million names no longer
// fits the processor's caches, so the floor's ratio is above 10 too; the
// plan's ratio should be close to it.
#include "plugin/uEditPlan.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

using namespace Zelvane;

constexpr int Iterations = 3;

String Numbered(const char* prefix, size_t number)
{
    char text[48];
    std::snprintf(text, sizeof text, "%s %07zu.jpg", prefix, number);
    return String(text, text + std::char_traits<char>::length(text));
}

struct EditRun {
    std::vector<String> OldNames;
    std::vector<TNewName> NewNames;
};

enum class Shape { FreshNames, OneChain, Swaps };

EditRun MakeRun(Shape shape, size_t files)
{
    EditRun run;
    run.OldNames.reserve(files);
    run.NewNames.reserve(files);
    for (size_t file = 0; file < files; ++file)
        run.OldNames.push_back(Numbered("photo", file));
    for (size_t file = 0; file < files; ++file) {
        String target;
        switch (shape) {
        case Shape::FreshNames:
            target = Numbered("holiday", file);
            break;
        case Shape::OneChain:
            target = file + 1 < files ? run.OldNames[file + 1] : Numbered("holiday", file);
            break;
        case Shape::Swaps:
            target = run.OldNames[file ^ 1u];
            break;
        }
        run.NewNames.push_back({TNewName::TAction::Move, std::move(target)});
    }
    return run;
}

void Plan(benchmark::State& state, Shape shape)
{
    const EditRun run = MakeRun(shape, static_cast<size_t>(state.range(0)));
    for (auto _ : state) {
        TEditPlan plan = PlanEditRun(run.OldNames, run.NewNames, FileSystemNameKeyInto,
                                     [](const String&) { return false; });
        if (plan.Renamed != run.OldNames.size())
            state.SkipWithError("not every file was renamed");
        benchmark::DoNotOptimize(plan);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

// Every old and new name keyed and put in a hash map, nothing more.
void Floor(benchmark::State& state)
{
    const EditRun run = MakeRun(Shape::Swaps, static_cast<size_t>(state.range(0)));
    for (auto _ : state) {
        std::vector<String> keys;
        keys.reserve(2 * run.OldNames.size());
        std::unordered_map<Base::StringView, size_t> byKey;
        byKey.reserve(2 * run.OldNames.size());
        for (size_t file = 0; file < run.OldNames.size(); ++file) {
            keys.push_back(FileSystemNameKey(run.OldNames[file]));
            keys.push_back(FileSystemNameKey(run.NewNames[file].Target));
        }
        for (size_t at = 0; at < keys.size(); ++at)
            byKey.try_emplace(keys[at], at);
        benchmark::DoNotOptimize(byKey);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

void PlanFreshNames(benchmark::State& state)
{
    Plan(state, Shape::FreshNames);
}
void PlanOneChain(benchmark::State& state)
{
    Plan(state, Shape::OneChain);
}
void PlanSwaps(benchmark::State& state)
{
    Plan(state, Shape::Swaps);
}

BENCHMARK(Floor)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(Iterations);
BENCHMARK(PlanFreshNames)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(Iterations);
BENCHMARK(PlanOneChain)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(Iterations);
BENCHMARK(PlanSwaps)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(Iterations);

// The console report, plus each shape's ratio of the two sizes.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            Seconds[run.benchmark_name()] = run.GetAdjustedCPUTime();
    }
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        for (const char* shape : {"Floor", "PlanFreshNames", "PlanOneChain", "PlanSwaps"}) {
            const std::string suffix = "/iterations:" + std::to_string(Iterations);
            const auto small = Seconds.find(std::string(shape) + "/100000" + suffix);
            const auto large = Seconds.find(std::string(shape) + "/1000000" + suffix);
            if (small != Seconds.end() && large != Seconds.end() && small->second > 0)
                std::printf("%s: 1 000 000 / 100 000 files processor time ratio: %.2f\n", shape,
                            large->second / small->second);
        }
    }

private:
    std::map<std::string, double> Seconds;
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
