// The POSIX name mapping over the names a panel of 100 000 files holds,
// both ways: bytes to the UTF-16 the plugin sees (every folder read) and
// back (every rename). The names are ASCII, as most are; the figure that
// matters is the time per name, compared between builds of the mapping.
#include "base/PosixNames.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr size_t NameCount = 100000;

std::vector<std::string> SampleNames()
{
    std::vector<std::string> names;
    names.reserve(NameCount);
    char name[64];
    for (size_t i = 0; i < NameCount; ++i) {
        std::snprintf(name, sizeof name, "/home/user/Photos/Holiday 2026/IMG_%07zu.jpg", i);
        names.emplace_back(name);
    }
    return names;
}

void BytesToUtf16(benchmark::State& state)
{
    const std::vector<std::string> names = SampleNames();
    for (auto _ : state)
        for (const std::string& name : names)
            benchmark::DoNotOptimize(PosixNames::ToUtf16(name));
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * names.size()));
}
BENCHMARK(BytesToUtf16)->Unit(benchmark::kMillisecond);

void Utf16ToBytes(benchmark::State& state)
{
    std::vector<std::u16string> names;
    for (const std::string& name : SampleNames())
        names.push_back(PosixNames::ToUtf16(name));
    for (auto _ : state)
        for (const std::u16string& name : names)
            benchmark::DoNotOptimize(PosixNames::FromUtf16(name));
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * names.size()));
}
BENCHMARK(Utf16ToBytes)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
