// The date taken read from 10 000 small JPEGs (the files the tests make: a
// JFIF segment, the EXIF block, a little image data), one file after the
// other, as the template's `%{taken}` reads them: open, read the head, parse,
// close. The time per file is printed at the end; it is the file system's
// open and read more than the parsing.
//
// Usage: DateTakenBench [--folder=DIR] [benchmark options]; the folder is
// made in DIR (default: the executable's folder, the build folder's disk).
#include "../tests/unit/PhotoBytes.h"
#include "plugin/uDateTaken.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr size_t PhotoCount = 10'000;

std::filesystem::path Where;
std::vector<Zelvane::String> Photos;

void ReadDateTaken(benchmark::State& state)
{
    size_t found = 0;
    for (auto _ : state)
        for (const Zelvane::String& photo : Photos)
            found += Zelvane::ReadDateTaken(photo).has_value() ? 1 : 0;
    if (found != state.iterations() * Photos.size())
        state.SkipWithError("a photo without its date taken");
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * Photos.size()));
}

BENCHMARK(ReadDateTaken)->Unit(benchmark::kMillisecond);

// The console report, then the time per file (of the median when repeated).
class PerFileReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (!run.error_occurred && (run.run_type == Run::RT_Iteration ? !run.repetitions || run.repetitions == 1
                                                                          : run.aggregate_name == "median"))
                Report = run;
    }
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        if (!Report)
            return;
        // The benchmark's unit is the millisecond: per file in microseconds.
        const double perFile = 1000.0 / static_cast<double>(Photos.size());
        std::printf("ReadDateTaken per file: %.2f us (CPU time %.2f us), %zu JPEGs of %zu bytes in %s\n",
                    Report->GetAdjustedRealTime() * perFile, Report->GetAdjustedCPUTime() * perFile, Photos.size(),
                    TestSupport::JpegBytes().size(), Where.string().c_str());
    }

private:
    std::optional<Run> Report;
};

std::filesystem::path TakeFolderArgument(int& argc, char** argv)
{
    std::filesystem::path folder = std::filesystem::absolute(argv[0]).parent_path();
    const std::string prefix = "--folder=";
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument.rfind(prefix, 0) == 0)
            folder = argument.substr(prefix.size());
        else
            argv[kept++] = argv[i];
    }
    argc = kept;
    return folder;
}

} // namespace

int main(int argc, char** argv)
{
    Where = TakeFolderArgument(argc, argv) / "date-taken-bench";
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    std::filesystem::remove_all(Where);
    std::filesystem::create_directories(Where);
    const std::vector<unsigned char> jpeg = TestSupport::JpegBytes();
    for (size_t i = 0; i < PhotoCount; ++i) {
        const std::filesystem::path photo = Where / ("IMG_" + std::to_string(10000 + i) + ".JPG");
        std::ofstream(photo, std::ios::binary).write(reinterpret_cast<const char*>(jpeg.data()),
                                                     static_cast<std::streamsize>(jpeg.size()));
        Photos.push_back(photo.u16string());
    }
    PerFileReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    std::filesystem::remove_all(Where);
    return 0;
}
