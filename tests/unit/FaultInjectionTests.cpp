// Trouble from the file system and the host while the renamer runs from its
// entry point: a refused temporary folder, a full medium while the failure
// list is written, a file that vanishes, a target another process takes, a
// host that refuses every service. The plugin reports, loses nothing, and
// leaves the settings store as it was or fully written.
#include "DialogTestSupport.h"
#include "FakePanel.h"
#include "FakeSettings.h"
#include "TestFiles.h"
#include "framework/FarEntry.h"
#include "platform/Faults.h"
#include "plugin/uPlugin.h"
#include "plugin/uSystem.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace {

namespace fs = std::filesystem;
using Base::String;
using Platform::Faults::TCall;
using TestSupport::ReadBytes;
using TestSupport::WriteBytes;

constexpr Platform::DWORD ErrorAccessDenied = 5;
constexpr Platform::DWORD ErrorDiskFull = 112;

// A path the plugin gives to the file calls, as the file system has it.
fs::path OnDisk(const char16_t* path)
{
    String text = path != nullptr ? path : u"";
#ifndef _WIN32
    std::replace(text.begin(), text.end(), u'\\', u'/');
#endif
    return fs::path(text);
}

// The plugin behind its entry points, with a folder of a.txt, b.txt, c.txt
// and b-x.txt shown in the panel (the first three selected), the template
// "%n-x.txt" stored, and the user pressing OK in the rename dialog.
class Session {
public:
    Session()
    {
        fs::create_directories(Folder);
        fs::create_directories(Stash);
        for (const char* name : {"a.txt", "b.txt", "c.txt", "b-x.txt"})
            WriteBytes(Folder / name, std::string("content of ") + name);
        Panel.Items = {{u"a.txt", Far3::PPIF_SELECTED}, {u"b.txt", Far3::PPIF_SELECTED},
                       {u"c.txt", Far3::PPIF_SELECTED}, {u"b-x.txt", 0}};
        Panel.Directory = Folder.u16string();
        Panel.Attach(Host);
        auto& root = Settings.Key(u"");
        root[u"FileNameTemplate"] = String(u"%n-x.txt");
        root[u"StartingNumber"] = String(u"1");
        root[u"SavePatternSettings"] = uint64_t{1};
        Host.ConvertPath = [](Far3::CONVERTPATHMODES, const char16_t* source, char16_t* target, size_t size) {
            const String path = source;
            if (target != nullptr && size > 0) {
                const size_t n = std::min(path.size(), size - 1);
                path.copy(target, n);
                target[n] = 0;
            }
            return path.size() + 1;
        };
        Host.Editor = [this](const char16_t* name, const char16_t*, intptr_t, intptr_t, intptr_t, intptr_t,
                             Far3::EDITOR_FLAGS, intptr_t, intptr_t, uintptr_t) -> intptr_t {
            List = ReadBytes(fs::path(String(name)));
            return 0;
        };
        Dialogs.OnRun = [this]() -> intptr_t {
            for (size_t i = 0; i < Dialogs.Items.size(); ++i) {
                const auto& record = Dialogs.Items[i].Record;
                if (record.Type == Far3::DI_BUTTON && (record.Flags & Far3::DIF_DEFAULTBUTTON) != 0)
                    return static_cast<intptr_t>(i);
            }
            return -1;
        };
    }

    ~Session() { Zelvane::DeleteTemporaryNames(); }

    void Open()
    {
        const Far3::OpenInfo info{sizeof(Far3::OpenInfo), Far3::OPEN_PLUGINSMENU, nullptr, 0};
        EXPECT_EQ(Tessel::Entry::OpenW(&info), nullptr);
    }

    std::map<std::string, std::string> Files() const
    {
        std::map<std::string, std::string> files;
        for (const fs::path& folder : {Folder, Stash}) {
            for (const auto& entry : fs::directory_iterator(folder))
                files[entry.path().filename().string()] = ReadBytes(entry.path());
        }
        return files;
    }

    TestSupport::TestFolder Root;
    const fs::path Folder = Root.Path / "panel";
    const fs::path Stash = Root.Path / "stash";
    Zelvane::TPlugin Plugin;
    TestSupport::FakeHost Host{&Plugin};
    TestSupport::FakeSettings Settings{Host};
    TestSupport::FakeDialogHost Dialogs{Host};
    TestSupport::FakePanel Panel;
    std::string List;
    int Writes = 0;
};

TEST(FaultInjection, ThePluginReportsLosesNothingAndKeepsItsSettingsWhole)
{
    struct Case {
        const char* Name;
        std::function<Platform::DWORD(Session&, TCall, const fs::path&)> Trouble;
        std::map<std::string, std::string> Files; // name -> content
        const char16_t* Reported;                 // a line of the report, or null for none
        std::vector<const char*> Listed;          // the failure list's lines after the heading
        const char16_t* StoredNumber;
    };
    const auto content = [](const char* name) { return std::string("content of ") + name; };
    const Case cases[] = {
        {"temporary folder refused",
         [](Session&, TCall call, const fs::path&) { return call == TCall::TempFileName ? ErrorAccessDenied : 0; },
         {{"a-x.txt", content("a.txt")}, {"b.txt", content("b.txt")}, {"c.txt", content("c.txt")},
          {"b-x.txt", content("b-x.txt")}},
         u"EFCreateError", {}, u"1"},
        {"medium full while the failure list is written",
         [](Session&, TCall call, const fs::path&) { return call == TCall::Write ? ErrorDiskFull : 0; },
         {{"a-x.txt", content("a.txt")}, {"b.txt", content("b.txt")}, {"c-x.txt", content("c.txt")},
          {"b-x.txt", content("b-x.txt")}},
         u"EWriteError", {}, u"3"},
        {"medium full once the journal is made: the run stops before renaming what it cannot record",
         [](Session& session, TCall call, const fs::path&) {
             // The journal's heading is written and flushed; what comes after fails.
             return call == TCall::Write && ++session.Writes > 2 ? ErrorDiskFull : 0;
         },
         {{"a.txt", content("a.txt")}, {"b.txt", content("b.txt")}, {"c.txt", content("c.txt")},
          {"b-x.txt", content("b-x.txt")}},
         u"", {}, u"1"},
        {"a file vanishing mid-run",
         [](Session& session, TCall call, const fs::path& from) {
             if (call == TCall::Rename && from.filename() == "c.txt")
                 fs::rename(from, session.Stash / "c.txt");
             return Platform::DWORD{0};
         },
         {{"a-x.txt", content("a.txt")}, {"b.txt", content("b.txt")}, {"c.txt", content("c.txt")},
          {"b-x.txt", content("b-x.txt")}},
         nullptr, {"\"b.txt\" -> \"b-x.txt\"", "\"c.txt\" -> \"c-x.txt\""}, u"2"},
        {"another process takes the target name",
         [](Session& session, TCall call, const fs::path& from) {
             if (call == TCall::Rename && from.filename() == "a.txt")
                 WriteBytes(session.Folder / "a-x.txt", "another process's");
             return Platform::DWORD{0};
         },
         {{"a.txt", content("a.txt")}, {"a-x.txt", "another process's"}, {"b.txt", content("b.txt")},
          {"c-x.txt", content("c.txt")}, {"b-x.txt", content("b-x.txt")}},
         nullptr, {"\"a.txt\" -> \"a-x.txt\"", "\"b.txt\" -> \"b-x.txt\""}, u"2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Session session;
        {
            const Platform::Faults::TScopedHook hook([&](TCall call, const char16_t* path, const char16_t*) {
                return c.Trouble(session, call, OnDisk(path));
            });
            session.Open();
        }
        EXPECT_EQ(session.Files(), c.Files);
        if (c.Reported != nullptr) {
            // A full medium takes the journal too: the run asks about it
            // first (the fake host answers Yes), then reports the list.
            ASSERT_FALSE(session.Host.ShownMessages.empty());
            EXPECT_EQ(session.Host.ShownMessages.back().Items.at(2), c.Reported);
        } else {
            EXPECT_TRUE(session.Host.ShownMessages.empty());
        }
        // The fake host's language file is empty: the heading is an empty line.
        std::string expected = "\xEF\xBB\xBF\r\n";
        for (const char* line : c.Listed)
            expected += std::string(line) + "\r\n";
        EXPECT_EQ(session.List, c.Listed.empty() ? std::string() : expected);
        auto& root = session.Settings.Key(u"");
        EXPECT_EQ(std::get<String>(root[u"StartingNumber"]), c.StoredNumber);
        const String number = c.StoredNumber;
        const String patterns = number == u"1" ? String() : u"%n-x.txt\t" + number + u"\n";
        EXPECT_EQ(root.count(u"SavedPatterns") ? std::get<String>(root[u"SavedPatterns"]) : String(), patterns);
    }
}

TEST(FaultInjection, AHostThatRefusesEveryServiceGetsNothingDone)
{
    TestSupport::TestFolder folder;
    WriteBytes(folder.Child("a.txt"), "a");
    Zelvane::TPlugin plugin;
    TestSupport::FakeHost host(&plugin); // every service answers 0
    const Far3::OpenInfo open{sizeof(Far3::OpenInfo), Far3::OPEN_PLUGINSMENU, nullptr, 0};
    EXPECT_EQ(Tessel::Entry::OpenW(&open), nullptr);
    const Far3::GUID guid{};
    const Far3::ConfigureInfo configure{sizeof(Far3::ConfigureInfo), &guid};
    EXPECT_EQ(Tessel::Entry::ConfigureW(&configure), 0);
    Far3::PluginInfo info{};
    info.StructSize = sizeof(info);
    Tessel::Entry::GetPluginInfoW(&info);
    EXPECT_EQ(info.PluginMenu.Count, 3u);
    EXPECT_EQ(ReadBytes(folder.Child("a.txt")), "a");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path), fs::directory_iterator()), 1);
}

} // namespace
