// Writing a large text file line by line through the text stream in UTF-8,
// against writing the same bytes with fwrite, in one run. The figure that
// matters is the ratio printed at the end (text stream time / fwrite time).
#include "plugin/FileStream.h"
#include "plugin/TextStream.h"
#include "plugin/uStrings.h"
#include "plugin/uSystem.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>

namespace {

using namespace Zelvane;

constexpr size_t LineLength = 80;
constexpr size_t TotalBytes = 100u * 1024 * 1024;
constexpr size_t LineCount = TotalBytes / (LineLength + 2);

String SampleLine()
{
    String line;
    while (line.size() < LineLength)
        line += u"\"Holiday photo 0123.jpg\" -> \"file0042.jpg\" ";
    line.resize(LineLength);
    return line;
}

String BenchFileName()
{
    return TempDirectory() + u"zelvane-bench.txt";
}

void TextStreamUtf8(benchmark::State& state)
{
    const String line = SampleLine();
    const String name = BenchFileName();
    for (auto _ : state) {
        auto stream = TTextStream::Create(name, TFileStream::ModeCreate);
        stream->SetEncoding(TEncoding::Utf8);
        for (size_t i = 0; i < LineCount; ++i)
            stream->WriteLine(line);
        stream->Close();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * LineCount * (LineLength + 2)));
    std::filesystem::remove(std::filesystem::path(name));
}

void Fwrite(benchmark::State& state)
{
    const std::string line = WideToUtf8(SampleLine()) + "\r\n";
    const std::string name = std::filesystem::path(BenchFileName()).string();
    for (auto _ : state) {
        std::FILE* file = std::fopen(name.c_str(), "wb");
        std::fwrite("\xEF\xBB\xBF", 1, 3, file);
        for (size_t i = 0; i < LineCount; ++i)
            std::fwrite(line.data(), 1, line.size(), file);
        std::fclose(file);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * LineCount * line.size()));
    std::filesystem::remove(name);
}

BENCHMARK(TextStreamUtf8)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(Fwrite)->Unit(benchmark::kMillisecond)->Iterations(5);

// The console report, plus the ratio of the two runs once both are in.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            Seconds[run.benchmark_name()] = run.GetAdjustedRealTime();
    }
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        const auto text = Seconds.find("TextStreamUtf8/iterations:5");
        const auto plain = Seconds.find("Fwrite/iterations:5");
        if (text != Seconds.end() && plain != Seconds.end() && plain->second > 0)
            std::printf("TextStream/fwrite time ratio: %.2f\n", text->second / plain->second);
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
