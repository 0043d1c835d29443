// The rename run over a panel of 100 000 files in one folder, against a
// plain loop of no-replace renames of the same full names to the same new
// names, in one run; and the preview of the same run (F3 in the rename
// dialog: the folder listed once, every new name worked out and checked,
// the text for the viewer written, nothing renamed) against the run itself; and the run whose template makes
// the same names through a regular expression against the plain template's
// run. The plugin runs in this process under the unit tests'
// fake host, whose panel serves the folder's files, all selected. The figures that
// matter are printed at the end: the ratio of the two times (rename run /
// plain loop), so it is the plugin's own cost — panel snapshot, template
// expansion, bookkeeping — on top of the file system's, and the memory the
// panel snapshot takes, counted by the global allocation functions below.
// The same run without the journal (no local profile to keep it in) says
// what the write-ahead journal costs on the same folder.
//
// The edit run (the names edited in the editor) over the same files is
// timed against the rename run too: once with every name changed and no
// cycle (a<number>.dat to b<number>.dat, the rename run's names), once with
// every file in a swap with its neighbour (each swap goes through a
// temporary name: three renames for two files). The fake editor saves the
// new names over the names file, and the box is answered Rename.
//
// Every iteration starts from the same folder: the files are named
// a000000.dat..a099999.dat, the measured step renames them to b<number>.dat,
// and an untimed step renames them back.
//
// Usage: RenameFilesBench [--folder=DIR] [--files=N] [--iterations=N] [benchmark options]
// DIR is where the benchmark's folder is made (default: the executable's
// folder, i.e. the build folder's disk; e.g. /dev/shm for tmpfs); N files
// (default 100 000), each benchmark N iterations (default 5). On a shared
// machine, --benchmark_repetitions=5 --benchmark_enable_random_interleaving=true
// runs the benchmarks' repetitions in a shuffled order, so a spell of load
// falls on both sides of a ratio, and the ratios are of the medians.
#include "../tests/unit/FakeHost.h"
#include "../tests/unit/FakePanel.h"
#include "framework/FarPanel.h"
#include "framework/FarPlugin.h"
#include "platform/Platform.h"
#include "plugin/uEditNames.h"
#include "plugin/uPlugin.h"
#include "plugin/uPreview.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <new>
#include <string>
#include <vector>

#if defined(__linux__)
#include <sys/vfs.h>
#endif

// ---------------------------------------------------------------------------
// Allocation counting: every global operator new of this executable keeps its
// size in a header in front of the block, so that delete can take it off the
// running total. The benchmarks run on one thread; relaxed loads and stores
// keep the counting cheap next to the work being measured.
namespace {

constexpr std::size_t AllocationHeader = alignof(std::max_align_t);

std::atomic<std::size_t> AllocatedNow{0};
std::atomic<std::size_t> AllocatedPeak{0};

void* CountedAllocate(std::size_t size) noexcept
{
    auto* block = static_cast<unsigned char*>(std::malloc(size + AllocationHeader));
    if (block == nullptr)
        return nullptr;
    std::memcpy(block, &size, sizeof(size));
    const std::size_t now = AllocatedNow.load(std::memory_order_relaxed) + size;
    AllocatedNow.store(now, std::memory_order_relaxed);
    if (now > AllocatedPeak.load(std::memory_order_relaxed))
        AllocatedPeak.store(now, std::memory_order_relaxed);
    return block + AllocationHeader;
}

void CountedFree(void* pointer) noexcept
{
    if (pointer == nullptr)
        return;
    auto* block = static_cast<unsigned char*>(pointer) - AllocationHeader;
    std::size_t size = 0;
    std::memcpy(&size, block, sizeof(size));
    AllocatedNow.store(AllocatedNow.load(std::memory_order_relaxed) - size, std::memory_order_relaxed);
    std::free(block);
}

void* CountedAllocateOrThrow(std::size_t size)
{
    void* pointer = CountedAllocate(size);
    if (pointer == nullptr)
        throw std::bad_alloc();
    return pointer;
}

} // namespace

void* operator new(std::size_t size)
{
    return CountedAllocateOrThrow(size);
}

void* operator new[](std::size_t size)
{
    return CountedAllocateOrThrow(size);
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return CountedAllocate(size);
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    return CountedAllocate(size);
}

void operator delete(void* pointer) noexcept
{
    CountedFree(pointer);
}

void operator delete[](void* pointer) noexcept
{
    CountedFree(pointer);
}

void operator delete(void* pointer, std::size_t) noexcept
{
    CountedFree(pointer);
}

void operator delete[](void* pointer, std::size_t) noexcept
{
    CountedFree(pointer);
}

void operator delete(void* pointer, const std::nothrow_t&) noexcept
{
    CountedFree(pointer);
}

void operator delete[](void* pointer, const std::nothrow_t&) noexcept
{
    CountedFree(pointer);
}

namespace {

using Base::String;

// --files=N and --iterations=N change them.
std::size_t FileCount = 100000;
int Iterations = 5;
const String StartingNumber = u"000000";
const String RenameTemplate = u"b%#.dat";
// The same new names through a regular expression with a group, as
// %{f:/IMG_(\d+)/Trip $1/r} makes them of camera names.
const String RegexTemplate = u"%{f:/a(\\d+)/b$1/r}";

String NumberedName(char16_t prefix, std::size_t number)
{
    char digits[16];
    std::snprintf(digits, sizeof(digits), "%06zu", number);
    String name(1, prefix);
    for (const char* c = digits; *c != 0; ++c)
        name += static_cast<char16_t>(*c);
    return name + u".dat";
}

// The name of the file system `folder` is on, as `stat -f -c %T` says it.
std::string FileSystemName(const std::filesystem::path& folder)
{
#if defined(__linux__)
    struct statfs info{};
    if (::statfs(folder.c_str(), &info) != 0)
        return "unknown";
    const auto type = static_cast<unsigned long>(info.f_type);
    const std::map<unsigned long, std::string> names{
        {0x01021994ul, "tmpfs"},      {0xEF53ul, "ext2/ext3/ext4"}, {0x9123683Eul, "btrfs"},
        {0x58465342ul, "xfs"},        {0x794C7630ul, "overlayfs"},  {0x2FC12FC1ul, "zfs"},
        {0xF2F52010ul, "f2fs"},       {0x6969ul, "nfs"},            {0x65735546ul, "fuse"},
    };
    const auto it = names.find(type);
    if (it != names.end())
        return it->second;
    char text[32];
    std::snprintf(text, sizeof(text), "type 0x%lx", type);
    return text;
#else
    (void)folder;
    return "unknown";
#endif
}

// The benchmark's folder with its files a000000.dat..; removed with them at the end.
class BenchFolder {
public:
    explicit BenchFolder(std::filesystem::path where)
        : Path(std::filesystem::absolute(where / "zelvane-rename-bench"))
    {
        std::filesystem::remove_all(Path);
        std::filesystem::create_directories(Path);
        Directory = Path.u16string();
        for (std::size_t i = 0; i < FileCount; ++i) {
            const String name = NumberedName(u'a', i);
            std::ofstream(Path / std::filesystem::path(name)).put('x');
            NamesA.push_back(name);
            // The same full names the rename run builds: directory, "\", name.
            FullNamesA.push_back(Directory + u"\\" + name);
            FullNamesB.push_back(Directory + u"\\" + NumberedName(u'b', i));
            // What Far's panel shows of the file: its size and last-write time.
            Platform::WIN32_FILE_ATTRIBUTE_DATA data{};
            Platform::GetFileAttributesExW(FullNamesA.back().c_str(), &data);
            Details.push_back(data);
        }
    }
    ~BenchFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(Path, ignored);
    }
    BenchFolder(const BenchFolder&) = delete;
    BenchFolder& operator=(const BenchFolder&) = delete;

    std::filesystem::path Path;
    String Directory;
    std::vector<String> NamesA;
    std::vector<String> FullNamesA;
    std::vector<String> FullNamesB;
    std::vector<Platform::WIN32_FILE_ATTRIBUTE_DATA> Details;
};

BenchFolder* Folder = nullptr;

// Renames every file of `from` to the same index of `to`; false at the first failure.
bool RenameAll(const std::vector<String>& from, const std::vector<String>& to)
{
    for (std::size_t i = 0; i < from.size(); ++i)
        if (Platform::MoveFileW(from[i].c_str(), to[i].c_str()) == 0)
            return false;
    return true;
}

// ---------------------------------------------------------------------------
// The host: the unit tests' fake host, whose panel serves the folder's
// a-files, all selected, and its directory; paths convert as they are; the
// settings store refuses, so the options stay in memory; messages and the
// editor answer 0.

size_t SamePath(Far3::CONVERTPATHMODES, const char16_t* source, char16_t* target, size_t size)
{
    const size_t length = std::char_traits<char16_t>::length(source);
    if (target != nullptr && size != 0) {
        const size_t n = std::min(length, size - 1);
        std::memcpy(target, source, n * sizeof(char16_t));
        target[n] = 0;
    }
    return length + 1;
}

// The plugin object, registered with the fake host for as long as it lives.
class HostedPlugin {
public:
    HostedPlugin() : Host(&Plugin)
    {
        Panel.Directory = Folder->Directory;
        Panel.SelectedItemsNumber = Folder->NamesA.size();
        Panel.CurrentItem = 0;
        Panel.RecordCalls = false;
        for (const String& name : Folder->NamesA)
            Panel.Items.emplace_back(name, Far3::PPIF_SELECTED);
        // The number in a<number>.dat is the file's index.
        Panel.Details = [](const std::u16string& name, Far3::PluginPanelItem& item) {
            std::size_t index = 0;
            for (std::size_t i = 1; i < name.size() && name[i] >= u'0' && name[i] <= u'9'; ++i)
                index = index * 10 + (name[i] - u'0');
            const Platform::WIN32_FILE_ATTRIBUTE_DATA& data = Folder->Details[index];
            item.FileSize = data.nFileSizeLow;
            item.LastWriteTime = {data.ftLastWriteTime.dwLowDateTime, data.ftLastWriteTime.dwHighDateTime};
        };
        Panel.Attach(Host);
        Host.ConvertPath = SamePath;
    }

    // The editor saves `text` over the file it is given (the names file).
    void SaveInEditor(const std::string& text)
    {
        Host.Editor = [&text](const char16_t* fileName, const char16_t*, intptr_t, intptr_t, intptr_t, intptr_t,
                              Far3::EDITOR_FLAGS, intptr_t, intptr_t, uintptr_t) {
            std::ofstream(std::filesystem::path(fileName), std::ios::binary) << text;
            return static_cast<intptr_t>(Far3::EEC_MODIFIED);
        };
    }

    Zelvane::TPlugin Plugin;

private:
    TestSupport::FakeHost Host;
    TestSupport::FakePanel Panel;
};

HostedPlugin* Hosted = nullptr;

// The snapshot's memory, relative to what was allocated before it was made:
// what it holds once read, and the highest point while it is read and used.
struct SnapshotMemory {
    std::size_t Held = 0;
    std::size_t Peak = 0;
    std::size_t Items = 0;
};

SnapshotMemory LastSnapshot;

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration duration)
{
    return std::chrono::duration<double, std::milli>(duration).count();
}

// The host's local profile, where the journal is kept, taken away for as
// long as the object lives: the run then cannot record itself, asks whether
// to rename anyway, and the fake host's answer 0 is Yes.
class WithoutProfile {
public:
    WithoutProfile()
    {
        const Platform::DWORD needed = Platform::GetEnvironmentVariableW(Variable, nullptr, 0);
        Saved.resize(needed);
        if (needed > 0)
            Saved.resize(Platform::GetEnvironmentVariableW(Variable, Saved.data(), needed));
        Platform::SetEnvironmentVariableW(Variable, nullptr);
    }
    ~WithoutProfile() { Platform::SetEnvironmentVariableW(Variable, Saved.empty() ? nullptr : Saved.c_str()); }
    WithoutProfile(const WithoutProfile&) = delete;
    WithoutProfile& operator=(const WithoutProfile&) = delete;

private:
    static constexpr const char16_t* Variable = u"FARLOCALPROFILE";
    String Saved;
};

// The rename run over the folder with `fileNameTemplate`, which renames
// a<number>.dat to b<number>.dat.
void RenameRun(benchmark::State& state, const String& fileNameTemplate)
{
    Zelvane::TOptions& options = Hosted->Plugin.GetOptions();
    options.SetFileNameTemplate(fileNameTemplate);
    double snapshotMs = 0;
    double renameMs = 0;
    for (auto _ : state) {
        // The counter is not remembered, so every run starts at the same number.
        options.SetStartingNumber(StartingNumber);

        const std::size_t before = AllocatedNow.load();
        AllocatedPeak.store(before);
        const auto start = Clock::now();
        bool renamed = false;
        {
            Tessel::TFarPanel panel(true, true);
            const auto read = Clock::now();
            LastSnapshot.Held = AllocatedNow.load() - before;
            LastSnapshot.Items = static_cast<std::size_t>(panel.Count());
            renamed = Hosted->Plugin.RenameFiles(panel, false);
            const auto done = Clock::now();
            LastSnapshot.Peak = AllocatedPeak.load() - before;
            snapshotMs += Milliseconds(read - start);
            renameMs += Milliseconds(done - read);
        }

        state.PauseTiming();
        const bool restored = RenameAll(Folder->FullNamesB, Folder->FullNamesA);
        state.ResumeTiming();
        if (!renamed || !restored) {
            state.SkipWithError("the rename run or the renaming back failed");
            break;
        }
    }
    const auto runs = static_cast<double>(state.iterations());
    if (runs > 0) {
        state.counters["snapshot_ms"] = snapshotMs / runs;
        state.counters["rename_ms"] = renameMs / runs;
    }
    state.counters["snapshot_bytes"] = static_cast<double>(LastSnapshot.Held);
    state.counters["peak_bytes"] = static_cast<double>(LastSnapshot.Peak);
}

void RenameFiles(benchmark::State& state)
{
    RenameRun(state, RenameTemplate);
}

// The same run with no journal: what the write-ahead journal costs the run
// is RenameFiles against this, on the same folder in the same process.
void RenameFilesUnrecorded(benchmark::State& state)
{
    const WithoutProfile unrecorded;
    RenameRun(state, RenameTemplate);
}

void RenameFilesRegex(benchmark::State& state)
{
    RenameRun(state, RegexTemplate);
}

void PlainLoop(benchmark::State& state)
{
    for (auto _ : state) {
        const bool renamed = RenameAll(Folder->FullNamesA, Folder->FullNamesB);
        state.PauseTiming();
        const bool restored = RenameAll(Folder->FullNamesB, Folder->FullNamesA);
        state.ResumeTiming();
        if (!renamed || !restored) {
            state.SkipWithError("a plain rename failed");
            break;
        }
    }
}

// The preview of the run RenameFiles makes, as F3 makes it: the same files,
// template and starting number, worked out against the folder as it is, and
// the text the viewer shows written to its file in the temporary folder (the
// fake host has no viewer, so the file is deleted at once).
void PreviewRun(benchmark::State& state)
{
    Zelvane::TRunInput run;
    run.Directory = Folder->Directory + u"\\";
    run.FileNames = Folder->NamesA;
    run.FileNameTemplate = RenameTemplate;
    run.StartingNumber = StartingNumber;
    double planMs = 0;
    double textMs = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        const std::vector<Zelvane::TPreviewLine> lines = Zelvane::PreviewRun(run);
        const auto planned = Clock::now();
        if (lines.size() != FileCount || lines.back().Reason != Zelvane::TPreviewReason::None) {
            state.SkipWithError("the preview does not show the run renaming every file");
            break;
        }
        Zelvane::ShowPreview(lines);
        planMs += Milliseconds(planned - start);
        textMs += Milliseconds(Clock::now() - planned);
    }
    const auto runs = static_cast<double>(state.iterations());
    if (runs > 0) {
        state.counters["plan_ms"] = planMs / runs;
        state.counters["text_ms"] = textMs / runs;
    }
}

// The edit run that saves `text` as the names; with `renameBack` the b-files
// are renamed back (untimed), so every iteration starts from the a-files.
void EditRun(benchmark::State& state, const std::string& text, bool renameBack)
{
    Hosted->SaveInEditor(text);
    for (auto _ : state) {
        {
            Tessel::TFarPanel panel(true, true);
            Zelvane::EditNames(panel, false);
        }
        state.PauseTiming();
        const bool restored = !renameBack || RenameAll(Folder->FullNamesB, Folder->FullNamesA);
        state.ResumeTiming();
        if (!restored) {
            state.SkipWithError("the edit run did not rename every file");
            break;
        }
    }
}

std::string NamesText(const std::vector<String>& names)
{
    std::string text;
    for (const String& name : names)
        text += std::string(name.begin(), name.end()) + "\r\n";
    return text;
}

void EditNamesCycleFree(benchmark::State& state)
{
    std::vector<String> names;
    for (std::size_t i = 0; i < FileCount; ++i)
        names.push_back(NumberedName(u'b', i));
    EditRun(state, NamesText(names), true);
}

// Every file swaps its name with its neighbour's: the folder holds the same
// names afterwards, so there is nothing to restore.
void EditNamesSwaps(benchmark::State& state)
{
    std::vector<String> names;
    for (std::size_t i = 0; i < FileCount; ++i)
        names.push_back(NumberedName(u'a', i ^ 1u));
    EditRun(state, NamesText(names), false);
    if (static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(Folder->Path),
                                               std::filesystem::directory_iterator())) != FileCount)
        state.SkipWithError("the swaps left the folder with another number of files");
}

// The plain loop first, so that neither side gets the folder fresh from its creation.
void RegisterBenchmarks()
{
    for (const auto& [name, function] : {std::pair{"PlainLoop", &PlainLoop}, std::pair{"RenameFiles", &RenameFiles},
                                         std::pair{"RenameFilesUnrecorded", &RenameFilesUnrecorded},
                                         std::pair{"PreviewRun", &PreviewRun},
                                         std::pair{"RenameFilesRegex", &RenameFilesRegex},
                                         std::pair{"EditNamesCycleFree", &EditNamesCycleFree},
                                         std::pair{"EditNamesSwaps", &EditNamesSwaps}})
        benchmark::RegisterBenchmark(name, function)->Unit(benchmark::kMillisecond)->Iterations(Iterations);
}

// The console report, plus the ratio of the two runs and the snapshot's memory.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    explicit RatioReporter(std::string fileSystem) : FileSystem(std::move(fileSystem)) {}

    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        // With --benchmark_repetitions the median of the repetitions stands
        // for the benchmark (it comes after them); the other aggregates are
        // no times.
        for (const Run& run : runs)
            if (!run.error_occurred &&
                (run.run_type != Run::RT_Aggregate || run.aggregate_name == "median")) {
                Seconds[run.run_name.function_name] = run.GetAdjustedRealTime();
                CpuSeconds[run.run_name.function_name] = run.GetAdjustedCPUTime();
            }
    }
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        std::printf("Folder: %s (file system: %s), %zu files\n", Folder->Path.string().c_str(), FileSystem.c_str(),
                    FileCount);
        const auto run = Seconds.find("RenameFiles");
        const auto plain = Seconds.find("PlainLoop");
        if (run != Seconds.end() && plain != Seconds.end() && plain->second > 0)
            std::printf("RenameFiles/plain-loop time ratio: %.2f\n", run->second / plain->second);
        // On a shared machine the CPU times say more than the wall times.
        if (Seconds.count("RenameFiles") != 0 && Seconds.count("RenameFilesUnrecorded") != 0 &&
            Seconds["RenameFilesUnrecorded"] > 0 && CpuSeconds["RenameFilesUnrecorded"] > 0)
            std::printf("RenameFiles/RenameFilesUnrecorded time ratio (the journal's cost): %.3f (CPU time %.3f)\n",
                        Seconds["RenameFiles"] / Seconds["RenameFilesUnrecorded"],
                        CpuSeconds["RenameFiles"] / CpuSeconds["RenameFilesUnrecorded"]);
        for (const char* name : {"PreviewRun", "RenameFilesRegex", "EditNamesCycleFree", "EditNamesSwaps"}) {
            if (Seconds.count(name) != 0 && Seconds.count("RenameFiles") != 0 && Seconds["RenameFiles"] > 0 &&
                CpuSeconds["RenameFiles"] > 0)
                std::printf("%s/RenameFiles time ratio: %.3f (CPU time %.3f)\n", name,
                            Seconds[name] / Seconds["RenameFiles"], CpuSeconds[name] / CpuSeconds["RenameFiles"]);
        }
        if (LastSnapshot.Items > 0) {
            const auto items = static_cast<double>(LastSnapshot.Items);
            std::printf("Panel snapshot of %zu items: %zu bytes held (%.1f per item), peak while read and "
                        "renamed %zu bytes (%.1f per item)\n",
                        LastSnapshot.Items, LastSnapshot.Held, static_cast<double>(LastSnapshot.Held) / items,
                        LastSnapshot.Peak, static_cast<double>(LastSnapshot.Peak) / items);
        }
    }

private:
    std::string FileSystem;
    std::map<std::string, double> Seconds;
    std::map<std::string, double> CpuSeconds;
};

// Takes --folder=DIR, --files=N and --iterations=N out of the arguments;
// the executable's folder without the first.
std::filesystem::path TakeArguments(int& argc, char** argv)
{
    std::filesystem::path folder = std::filesystem::absolute(argv[0]).parent_path();
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument.rfind("--folder=", 0) == 0)
            folder = argument.substr(9);
        else if (argument.rfind("--files=", 0) == 0)
            FileCount = std::stoul(argument.substr(8));
        else if (argument.rfind("--iterations=", 0) == 0)
            Iterations = std::stoi(argument.substr(13));
        else
            argv[kept++] = argv[i];
    }
    argc = kept;
    return folder;
}

} // namespace

int main(int argc, char** argv)
{
    const std::filesystem::path where = TakeArguments(argc, argv);
    RegisterBenchmarks();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;

    BenchFolder folder(where);
    Folder = &folder;
    HostedPlugin hosted;
    Hosted = &hosted;
    RatioReporter reporter(FileSystemName(folder.Path));
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    Hosted = nullptr;
    Folder = nullptr;
    return 0;
}
