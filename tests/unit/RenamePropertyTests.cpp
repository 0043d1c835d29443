// The rename run never loses, overwrites or hides a file, whatever the
// names, the template and the trouble on the way: random folders with
// colliding names (on Linux with bytes that are not UTF-8 and characters
// Windows forbids), random templates and random faults (a file vanishing,
// another process taking the target name, a refused rename). Templates use
// the %{...} tokens too, some files are photos with a date taken, and the
// preview predicts exactly what a run without trouble does.
#include "FakeHost.h"
#include "FakePanel.h"
#include "PhotoBytes.h"
#include "TestFiles.h"
#include "base/IntConvert.h"
#include "base/PosixNames.h"
#include "base/Utf.h"
#include "framework/FarPanel.h"
#include "platform/Faults.h"
#include "plugin/uJournal.h"
#include "plugin/uNameRule.h"
#include "plugin/uPlugin.h"
#include "plugin/uPreview.h"
#include "plugin/uRenamePlan.h"
#include "plugin/uSystem.h"
#include "plugin/uUndo.h"

#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <random>

namespace {

namespace fs = std::filesystem;
using Base::String;
using Platform::Faults::TCall;

constexpr Platform::DWORD ErrorAccessDenied = 5;

// A path the plugin gives to the file calls, as the file system has it;
// empty when no file name shows as it. On Windows in the verbatim form, so
// trailing dots and blanks stay part of the name, as they do for the plugin.
fs::path OnDisk(std::u16string_view path)
{
    if (path.starts_with(u"\\\\?\\"))
        path.remove_prefix(4);
#ifdef _WIN32
    return fs::path(u"\\\\?\\" + std::u16string(path));
#else
    return fs::path(PosixNames::FromUtf16(path).value_or(std::string()));
#endif
}

// Between a folder and a name in the paths OnDisk takes: the verbatim form
// on Windows knows only "\\".
#ifdef _WIN32
const std::u16string Separator = u"\\";
#else
const std::u16string Separator = u"/";
#endif

// A name made of UTF-8 text (and, on Linux, of any bytes).
fs::path NameOnDisk(const std::string& name)
{
#ifdef _WIN32
    return fs::path(std::u8string(name.begin(), name.end()));
#else
    return fs::path(name);
#endif
}

// What a name becomes in the UTF-8 failure list: a lone surrogate has no
// UTF-8 form and shows as U+FFFD.
String AsListed(const String& name)
{
    return Base::FromUtf8(Base::ToUtf8(name));
}

// A file's name as the panel shows it.
String Shown(const fs::path& name)
{
#ifdef _WIN32
    return name.u16string();
#else
    return PosixNames::ToUtf16(name.native());
#endif
}

// Every file under `folder` by content; contents are unique per file.
void CountContents(const fs::path& folder, std::map<std::string, int>& contents)
{
#ifdef _WIN32
    // Listed in the verbatim form: names may end in dots or blanks, or be
    // a blank alone, which the library's own listing cannot reach.
    const String pattern = OnDisk(Shown(folder)).u16string() + u"\\*";
    Platform::WIN32_FIND_DATAW data{};
    const Platform::HANDLE find = Platform::FindFirstFileW(pattern.c_str(), &data);
    if (find == Platform::InvalidHandleValue)
        return;
    do {
        const String name = data.cFileName;
        if (name == u"." || name == u"..")
            continue;
        const fs::path path = folder / fs::path(name);
        if ((data.dwFileAttributes & Platform::FileAttribute::Directory) != 0)
            CountContents(path, contents);
        else
            ++contents[TestSupport::ReadBytes(OnDisk(Shown(path)))];
    } while (Platform::FindNextFileW(find, &data));
    Platform::FindClose(find);
#else
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file())
            ++contents[TestSupport::ReadBytes(entry.path())];
    }
#endif
}

// The failure list's pairs of names, as written: "old" -> "new".
std::vector<std::pair<String, String>> ListedPairs(const std::string& list)
{
    std::vector<std::pair<String, String>> pairs;
    const String text = Base::FromUtf8(list);
    size_t at = text.find(u"\r\n"); // past the heading
    while (at != String::npos && at + 2 < text.size()) {
        at += 2;
        String names[2];
        for (String& name : names) {
            ++at; // opening quote
            while (!(text[at] == u'"' && (at + 1 >= text.size() || text[at + 1] != u'"'))) {
                name += text[at];
                at += text[at] == u'"' ? 2 : 1;
            }
            at += 1 + (&name == &names[0] ? 4 : 0); // closing quote, " -> "
        }
        pairs.emplace_back(names[0], names[1]);
        at = text.find(u"\r\n", at);
    }
    return pairs;
}

class RenameWorld {
public:
    explicit RenameWorld(std::mt19937& random) : Random(random)
    {
        fs::create_directories(Panel);
        fs::create_directories(Stash);
        if (Chance(2))
            fs::create_directory(Panel / "sub");
        MakeFiles();
        Host.ConvertPath = [this](Far3::CONVERTPATHMODES, const char16_t* source, char16_t* target, size_t size) {
            const String native = u"\\\\?\\" + String(source);
            if (target != nullptr && size > 0) {
                const size_t n = std::min(native.size(), size - 1);
                native.copy(target, n);
                target[n] = 0;
            }
            return native.size() + 1;
        };
        Host.Editor = [this](const char16_t* name, const char16_t*, intptr_t, intptr_t, intptr_t, intptr_t,
                             Far3::EDITOR_FLAGS, intptr_t, intptr_t, uintptr_t) -> intptr_t {
            List = TestSupport::ReadBytes(OnDisk(name));
            return 0;
        };
        FakePanelOf.Directory = Shown(Panel);
        FakePanelOf.Details = [this](const std::u16string& name, Far3::PluginPanelItem& item) {
            Platform::WIN32_FILE_ATTRIBUTE_DATA data{};
            if (Platform::GetFileAttributesExW(PlatformPath(name).c_str(), &data)) {
                item.FileSize = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
                item.LastWriteTime = {data.ftLastWriteTime.dwLowDateTime, data.ftLastWriteTime.dwHighDateTime};
                item.CreationTime = {data.ftCreationTime.dwLowDateTime, data.ftCreationTime.dwHighDateTime};
            }
        };
        FakePanelOf.Attach(Host);
    }

#ifdef _WIN32
    // Names may end in dots or blanks, which only the verbatim form reaches.
    ~RenameWorld() { Platform::DeleteTree((u"\\\\?\\" + Root.Path.u16string()).c_str()); }
#endif

    void Run()
    {
        const String pattern = RandomTemplate();
        const String start = Pick<String>({u"0", u"1", u"7", u"007", u"0010", u"99", u"2147483646"});
        const bool remember = Chance(2);
        for (TPluginRef p : {&Plugin, &Oracle}) {
            p->GetOptions().SetFileNameTemplate(pattern);
            p->GetOptions().SetStartingNumber(start);
            p->GetOptions().SetAllowRenameFileUnderCursor(false);
        }
        SCOPED_TRACE(Base::ToUtf8(u"template " + pattern + u", start " + start));

        std::map<std::string, int> before;
        CountContents(Panel, before);
        std::map<String, std::string> contentOf;
        for (const auto& [name, flags] : FakePanelOf.Items) {
            contentOf[name] = TestSupport::ReadBytes(OnDisk(Shown(Panel) + Separator + name));
            ASSERT_FALSE(contentOf[name].empty()) << "the test cannot read " << Base::ToUtf8(name);
        }

        Tessel::TFarPanel panel(true, true);
        {
            const Platform::Faults::TScopedHook hook(
                [this](TCall call, const char16_t* from, const char16_t* to) { return Trouble(call, from, to); });
            Plugin.RenameFiles(panel, remember);
        }

        // Nothing lost, nothing overwritten: every content is still there,
        // in the panel's folder or where a vanished file went.
        std::map<std::string, int> after;
        CountContents(Panel, after);
        CountContents(Stash, after);
        for (const std::string& intruder : Intruders)
            ++before[intruder];
        EXPECT_EQ(after, before);
        EXPECT_EQ(std::distance(fs::directory_iterator(Root.Path), fs::directory_iterator()), 2);

        // Every rename the run reports happened, every failure is listed, and
        // the counter moved only with the renames that happened.
        int32_t total = 0;
        for (const auto& [name, flags] : FakePanelOf.Items)
            total += (flags & Far3::PPIF_SELECTED) != 0 ? 1 : 0;
        int32_t counter = Oracle.GetOptions().StartingNumberValue();
        const int32_t first = counter;
        std::vector<std::pair<String, String>> failures;
        for (int32_t i = 0; i < panel.Count(); ++i) {
            const String old(panel.GetItem(i).FileName());
            if ((FakePanelOf.Items[static_cast<size_t>(i)].second & Far3::PPIF_SELECTED) == 0)
                continue;
            String expected;
            const Zelvane::TExpansionGap gap = Expand(panel.GetItem(i), contentOf[old], counter, total, expected);
            if (panel.GetItem(i).HasFlag(static_cast<uint32_t>(Far3::PPIF_SELECTED))) {
                failures.emplace_back(AsListed(old), AsListed(expected));
                continue;
            }
            ASSERT_EQ(gap, Zelvane::TExpansionGap::None) << Base::ToUtf8(old + u" -> " + expected);
            counter = static_cast<int32_t>(static_cast<uint32_t>(counter) + 1u);
            // The run makes the name as Windows would: trailing dots and blanks go.
            const Zelvane::TNewName made = Zelvane::DecideNewName(old, expected);
            ASSERT_NE(made.Action, Zelvane::TNewName::TAction::Refuse) << Base::ToUtf8(old + u" -> " + expected);
            EXPECT_EQ(TestSupport::ReadBytes(OnDisk(Shown(Panel) + Separator + made.Target)), contentOf[old])
                << Base::ToUtf8(old + u" -> " + expected);
        }
        EXPECT_EQ(ListedPairs(List), failures);
        const String reached = remember && counter != first ? Oracle.PadNumber(Base::IntToStr(counter)) : start;
        EXPECT_EQ(Plugin.GetOptions().StartingNumber(), reached);
    }

    // The preview of a run, then the run itself with no trouble on the way:
    // every file ends as the preview said, under the name it showed, and
    // exactly the files it showed failing fail, listed with the same names.
    void PreviewThenRun()
    {
        const String pattern = RandomTemplate();
        const String start = Pick<String>({u"0", u"1", u"007", u"99"});
        Plugin.GetOptions().SetFileNameTemplate(pattern);
        Plugin.GetOptions().SetStartingNumber(start);
        Plugin.GetOptions().SetAllowRenameFileUnderCursor(false);
        SCOPED_TRACE(Base::ToUtf8(u"template " + pattern + u", start " + start));

        Tessel::TFarPanel panel(true, true);
        Zelvane::TRunInput run;
        run.Directory = Tessel::TFarModule::NativePath(panel.Directory) + u"\\";
        run.FileNames = Plugin.RunFileNames(panel);
        run.FileTimes = Plugin.RunFileTimes(panel);
        run.FileNameTemplate = pattern;
        run.StartingNumber = start;
        const std::vector<Zelvane::TPreviewLine> preview = Zelvane::PreviewRun(run);
        std::map<String, std::string> contentOf;
        for (const String& name : run.FileNames)
            contentOf[name] = TestSupport::ReadBytes(OnDisk(Shown(Panel) + Separator + name));

        Plugin.RenameFiles(panel, false);

        std::vector<std::pair<String, String>> failures;
        size_t line = 0;
        for (int32_t i = 0; i < panel.Count(); ++i) {
            if ((FakePanelOf.Items[static_cast<size_t>(i)].second & Far3::PPIF_SELECTED) == 0)
                continue;
            ASSERT_LT(line, preview.size());
            const Zelvane::TPreviewLine& shown = preview[line++];
            const String old(panel.GetItem(i).FileName());
            ASSERT_EQ(shown.OldName, old);
            const bool failed = panel.GetItem(i).HasFlag(static_cast<uint32_t>(Far3::PPIF_SELECTED));
            EXPECT_EQ(failed, shown.Reason != Zelvane::TPreviewReason::None) << Base::ToUtf8(old + u" -> " + shown.NewName);
            if (failed)
                failures.emplace_back(AsListed(old), AsListed(shown.NewName));
            else
                EXPECT_EQ(TestSupport::ReadBytes(OnDisk(Shown(Panel) + Separator + shown.NewName)), contentOf[old])
                    << Base::ToUtf8(old + u" -> " + shown.NewName);
        }
        EXPECT_EQ(line, preview.size());
        EXPECT_EQ(ListedPairs(List), failures);
    }

    // A run over the folder, then its undo: every file the run renamed is
    // back under its old name, nothing is listed, the journal is gone. Files
    // vanish and renames are refused on the way (no other process takes a
    // name, which could block a restore); with `cutShort` the run ends with
    // an exception at a random rename, and the journal it leaves restores
    // what the run did.
    void RunThenUndo(bool cutShort)
    {
        const String pattern = RandomTemplate();
        const String start = Pick<String>({u"0", u"1", u"7", u"007", u"0010", u"99"});
        Plugin.GetOptions().SetFileNameTemplate(pattern);
        Plugin.GetOptions().SetStartingNumber(start);
        Plugin.GetOptions().SetAllowRenameFileUnderCursor(false);
        SCOPED_TRACE(Base::ToUtf8(u"template " + pattern + u", start " + start));
        std::map<String, std::string> contentOf;
        for (const auto& [name, flags] : FakePanelOf.Items) {
            contentOf[name] = TestSupport::ReadBytes(OnDisk(Shown(Panel) + Separator + name));
            ASSERT_FALSE(contentOf[name].empty()) << "the test cannot read " << Base::ToUtf8(name);
        }
        Tessel::TFarPanel panel(true, true);
        Intrude = false;
        int renamesLeft = std::uniform_int_distribution<int>(1, 8)(Random);
        try {
            const Platform::Faults::TScopedHook hook(
                [&](TCall call, const char16_t* from, const char16_t* to) -> Platform::DWORD {
                    if (cutShort && call == TCall::Rename && --renamesLeft == 0)
                        throw std::runtime_error("cut short");
                    return Trouble(call, from, to);
                });
            Plugin.RenameFiles(panel, false);
        } catch (const std::runtime_error&) {
        }

        List.clear();
        Host.Message = [](const TestSupport::ShownMessage&) { return intptr_t{0}; }; // Yes
        Zelvane::UndoLastRun();
        std::map<std::string, int> stashed;
        CountContents(Stash, stashed);
        for (const auto& [name, content] : contentOf) {
            if (stashed.count(content) == 0) {
                EXPECT_EQ(TestSupport::ReadBytes(OnDisk(Shown(Panel) + Separator + name)), content) << Base::ToUtf8(name);
            }
        }
        EXPECT_EQ(List, "");
        EXPECT_FALSE(fs::exists(OnDisk(Zelvane::JournalFileName())));
    }

private:
    using TPluginRef = Zelvane::TPlugin*;

    // A file of the panel's folder as the file calls take it.
    String PlatformPath(const String& name) const
    {
#ifdef _WIN32
        return u"\\\\?\\" + Shown(Panel) + u"\\" + name;
#else
        return Shown(Panel) + u"/" + name;
#endif
    }

    bool Chance(int oneIn) { return std::uniform_int_distribution<int>(1, oneIn)(Random) == 1; }

    template <typename T>
    T Pick(std::initializer_list<T> values)
    {
        return *(values.begin() + std::uniform_int_distribution<size_t>(0, values.size() - 1)(Random));
    }

    void MakeFiles()
    {
#ifdef _WIN32
        const std::initializer_list<std::string> stems{"a", "b", "file1", "file2", "file01", "x y", "\xC3\xA4"};
#else
        const std::initializer_list<std::string> stems{"a",     "b",    "file1",   "file2", "file01",   "x y",
                                                       "\xC3\xA4", "\xE9", "\xEF\xBF\xBD", "a\\b", "c:d", "q?\"|"};
#endif
        const std::initializer_list<std::string> extensions{".txt", ".dat", "", ".tar.gz"};
        const int count = std::uniform_int_distribution<int>(1, 8)(Random);
        for (int i = 0; i < count; ++i) {
            const fs::path name = NameOnDisk(Pick(stems) + Pick(extensions));
            if (fs::exists(Panel / name))
                continue;
            // Some files are photos with a date taken; every content is unique.
            const std::vector<unsigned char> photo =
                Chance(3) ? TestSupport::JpegBytes() : std::vector<unsigned char>();
            TestSupport::WriteBytes(Panel / name,
                                    std::string(photo.begin(), photo.end()) + "content " + std::to_string(i));
            FakePanelOf.Items.emplace_back(Shown(name), Chance(4) ? 0 : Far3::PPIF_SELECTED);
        }
        FakePanelOf.SelectedItemsNumber = FakePanelOf.Items.size();
    }

    // The name the run gives the item with this counter, as the template
    // reads the item and its file's content before the run.
    Zelvane::TExpansionGap Expand(const Tessel::TFarPanel::TItem& item, const std::string& content, int32_t counter,
                                  int32_t total, String& expanded)
    {
        Zelvane::TTemplateError error;
        const std::optional<Zelvane::TTemplate> compiled = Zelvane::TTemplate::Compile(
            Oracle.GetOptions().FileNameTemplate(), Oracle.GetOptions().StartingNumberWidth(), error);
        EXPECT_TRUE(compiled.has_value());
        if (!compiled)
            return Zelvane::TExpansionGap::None;
        const auto ticks = [](const Far3::FILETIME& time) {
            return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
        };
        Zelvane::TTemplateFile file{item.FileName(), u"panel", ticks(item.LastWriteTime), ticks(item.CreationTime),
                                    std::nullopt};
        if (compiled->UsesDateTaken())
            file.Taken = Zelvane::ParseDateTaken(
                std::span(reinterpret_cast<const unsigned char*>(content.data()), content.size()));
        return compiled->Expand(file, counter, total, expanded);
    }

    String RandomTemplate()
    {
        const std::initializer_list<String> pieces{
            u"%#", u"%n", u"%e", u"%f", u"%H", u"%T", u"%%", u"file", u".", u" ", u"-", u"\u00E4", u"sub\\",
            u"..\\", u"%N.%E", u"%q",
            // The %{...} tokens: sources, modifiers, dates, and texts that only look like them.
            u"%{n:upper}", u"%{n:..3}", u"%{n:-2..}", u"%{e:lower}", u"%{f:title}", u"%{folder}",
            u"%{f:/a/b/g}", u"%{n:/(\\w)(\\w)/$2$1/r}", u"%{n:/[^a]/_/rgi}", u"%{taken:yyMMdd}",
            u"%{modified:yyyy}", u"%{created:ss}", u"%{x}", u"%{n:upper"};
        String text;
        for (int n = std::uniform_int_distribution<int>(1, 4)(Random); n > 0; --n)
            text += Pick(pieces);
        return text;
    }

    // Another process at work just before a rename.
    Platform::DWORD Trouble(TCall call, const char16_t* from, const char16_t* to)
    {
        if (call != TCall::Rename || !Chance(6))
            return 0;
        switch (std::uniform_int_distribution<int>(0, 2)(Random)) {
        case 0: { // the file vanishes: moved where the test still sees it
            std::error_code ignored;
            fs::rename(OnDisk(from), Stash / std::to_string(Stashed++), ignored);
            return 0;
        }
        case 1: { // the target name is taken, inside the panel's folder
            if (!Intrude || String(to).find(u"..") != String::npos)
                return 0;
            const Platform::HANDLE file = Platform::CreateFileW(to, Platform::Access::GenericWrite, 0,
                                                                Platform::Disposition::CreateNew,
                                                                Platform::FileAttribute::Normal);
            if (file == Platform::InvalidHandleValue)
                return 0;
            Intruders.push_back("intruder " + std::to_string(Intruders.size()));
            Platform::DWORD written = 0;
            Platform::WriteFile(file, Intruders.back().data(), static_cast<Platform::DWORD>(Intruders.back().size()),
                                &written);
            Platform::CloseHandle(file);
            return 0;
        }
        default:
            return ErrorAccessDenied;
        }
    }

    std::mt19937& Random;
    TestSupport::TestFolder Root;
    const fs::path Panel = Root.Path / "panel";
    const fs::path Stash = Root.Path / "stash";
    int Stashed = 0;
    bool Intrude = true;
    std::vector<std::string> Intruders;
    std::string List;
    Zelvane::TPlugin Plugin;
    Zelvane::TPlugin Oracle; // expands templates as the plugin was set up, for the checks
    TestSupport::FakeHost Host{&Plugin};
    TestSupport::FakePanel FakePanelOf;
};

TEST(RenameRun, NeverLosesOverwritesOrHidesAFile)
{
    std::mt19937 random(1234567);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    int runs = 0;
    while (runs < 40 || (runs < 1500 && std::chrono::steady_clock::now() < deadline)) {
        SCOPED_TRACE("run " + std::to_string(runs));
        RenameWorld world(random);
        world.Run();
        Zelvane::DeleteTemporaryNames();
        ++runs;
        if (::testing::Test::HasFailure())
            break;
    }
}

TEST(RenameRun, ThePreviewPredictsTheRun)
{
    std::mt19937 random(2468);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    for (int run = 0; run < 40 || (run < 600 && std::chrono::steady_clock::now() < deadline); ++run) {
        SCOPED_TRACE("run " + std::to_string(run));
        RenameWorld world(random);
        world.PreviewThenRun();
        Zelvane::DeleteTemporaryNames();
        if (::testing::Test::HasFailure())
            break;
    }
}

TEST(RenameRun, UndoRestoresEveryNameEvenAfterARunCutShort)
{
    std::mt19937 random(7654321);
    for (int run = 0; run < 60; ++run) {
        SCOPED_TRACE("run " + std::to_string(run));
        RenameWorld world(random);
        world.RunThenUndo(run % 2 == 1);
        Zelvane::DeleteTemporaryNames();
        if (::testing::Test::HasFailure())
            break;
    }
}

} // namespace
