// The plugin's options in Far's settings database: written by one session,
// read by the next, and a damaged database left alone while the plugin goes
// on with its defaults.
#include "../host/TempFolder.h"
#include "tests/support/ScriptedFrontEnd.h"
#include "host/app/StandInHost.h"

#include <gtest/gtest.h>

#if !defined(ZELVANE_HOST_NO_SQLITE)

namespace {

namespace fs = std::filesystem;
using HostTests::TempFolder;

const char* const DatabaseName = "PluginsData/6F3B1C2A-8E4D-4A7B-9C15-2D7E0A9B4F61.db";

// One session of the host: load the plugin, rename the selected files of
// `files` with the stored options, unload.
void RenameSession(const fs::path& profile, const fs::path& files, std::vector<std::u16string> selected,
                   Host::ScriptedFrontEnd& user)
{
    Host::HostOptions options;
    options.Profile = profile;
    Host::StandInHost host(user, options);
    host.Load();
    host.ActivePanel().ShowFolder(files);
    ASSERT_TRUE(host.SelectByName(selected));
    user.QueueKeys("<Enter>");
    host.Open();
    host.Unload();
}

TEST(SettingsStore, TheRecordedCounterCarriesOverToTheNextSession)
{
    TempFolder temp;
    const fs::path profile = temp.Path() / "profile";
    temp.Write("files/a.txt", "a");
    temp.Write("files/b.txt", "b");
    {
        Host::HostOptions options;
        options.Profile = profile;
        Host::ScriptedFrontEnd user;
        Host::StandInHost host(user, options);
        host.Load();
        ASSERT_TRUE(host.StoreSetting({}, "FileNameTemplate", std::string("pic%#.%e")));
        ASSERT_TRUE(host.StoreSetting({}, "StartingNumber", std::string("08")));
        ASSERT_TRUE(host.StoreSetting({}, "SavePatternSettings", int64_t{1}));
    }
    Host::ScriptedFrontEnd first;
    RenameSession(profile, temp.Path() / "files", {u"a.txt"}, first);
    EXPECT_TRUE(fs::exists(temp.Path() / "files" / "pic08.txt"));
    EXPECT_TRUE(fs::exists(profile / DatabaseName));

    Host::ScriptedFrontEnd second;
    RenameSession(profile, temp.Path() / "files", {u"b.txt"}, second);
    EXPECT_TRUE(fs::exists(temp.Path() / "files" / "pic09.txt"));

    Host::HostOptions options;
    options.Profile = profile;
    Host::ScriptedFrontEnd user;
    Host::StandInHost host(user, options);
    host.Load();
    EXPECT_EQ(host.StoredSetting({}, "StartingNumber"), Host::SettingValue(std::string("10")));
    EXPECT_EQ(host.StoredSetting({}, "SavedPatterns"), Host::SettingValue(std::string("pic%#.%e\t10\n")));
    EXPECT_EQ(host.StoredSetting({}, "SavePatternSettings"), Host::SettingValue(int64_t{1}));
    EXPECT_EQ(host.StoredSetting({}, "AllowRenameFileUnderCursor"), Host::SettingValue(int64_t{0}));
}

TEST(SettingsStore, ADamagedDatabaseIsLeftAloneAndTheDefaultsApply)
{
    TempFolder temp;
    const fs::path profile = temp.Path() / "profile";
    const std::string garbage(4096, '\x5A');
    temp.Write(std::string("profile/") + DatabaseName, garbage);
    temp.Write("files/a.txt", "a");

    Host::ScriptedFrontEnd user;
    RenameSession(profile, temp.Path() / "files", {u"a.txt"}, user);

    EXPECT_TRUE(fs::exists(temp.Path() / "files" / "file0.txt"));
    EXPECT_EQ(HostTests::ReadAll(profile / DatabaseName), garbage);
    EXPECT_TRUE(user.Messages().empty()); // nothing was reported
    ASSERT_EQ(user.Dialogs().size(), 1u);
    EXPECT_EQ(user.Dialogs()[0].Opened.Item(2).Text, u"file%#.%e");
}

} // namespace

#endif
