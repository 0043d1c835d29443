// One session of the built plugin in the stand-in host, for end-to-end
// tests: a real temporary folder as the active panel, a settings profile,
// and the user's keys and answers scripted.
#pragma once

#include "../host/TempFolder.h"
#include "tests/support/ScriptedFrontEnd.h"
#include "host/app/StandInHost.h"

#include <gtest/gtest.h>

#include <set>
#include <string_view>

namespace E2E {

namespace fs = std::filesystem;
using HostTests::TempFolder;

constexpr const char* Bom = "\xEF\xBB\xBF";
constexpr const char* Heading = "These files could not be renamed (old name -> new name):\r\n";

class PluginSession : public ::testing::Test {
protected:
    void SetUp() override
    {
        Profile = Temp.Path() / "profile";
        Files = Temp.Path() / "files";
        fs::create_directories(Files);
        Host::HostOptions options;
        options.Profile = Profile;
        Host = std::make_unique<Host::StandInHost>(User, options);
        Host->Load();
    }

    void TearDown() override
    {
        Host->Unload();
        Host.reset();
    }

    void MakeFiles(std::initializer_list<const char*> names)
    {
        for (const char* name : names)
            Temp.Write(std::string("files/") + name, std::string("content of ") + name);
    }

    // Shows the folder with these files selected (and the cursor on `cursor`).
    void ShowFolder(std::initializer_list<const char16_t*> selected, const char16_t* cursor = u"..")
    {
        Host->ActivePanel().ShowFolder(Files);
        std::vector<std::u16string> names(selected.begin(), selected.end());
        ASSERT_TRUE(Host->SelectByName(names));
        const auto at = Host->ActivePanel().Find(cursor);
        ASSERT_TRUE(at.has_value());
        Host->ActivePanel().SetCurrentItem(*at);
    }

    void Store(const std::string& name, const std::string& text) { ASSERT_TRUE(Host->StoreSetting({}, name, text)); }
    void StoreNumber(const std::string& name, int64_t value) { ASSERT_TRUE(Host->StoreSetting({}, name, value)); }

    std::optional<std::string> Stored(const std::string& name)
    {
        const auto value = Host->StoredSetting({}, name);
        if (!value)
            return std::nullopt;
        if (const auto* text = std::get_if<std::string>(&*value))
            return *text;
        return std::to_string(std::get<int64_t>(*value));
    }

    // What the folder holds. On Windows it is listed through its verbatim
    // form, which never takes a name for a device, so a name that slipped
    // through as "com1.txt" shows instead of hanging the listing.
    std::set<std::string> FolderNames() const
    {
#if defined(_WIN32)
        const fs::path folder = L"\\\\?\\" + fs::absolute(Files).wstring();
#else
        const fs::path& folder = Files;
#endif
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder))
            names.insert(entry.path().filename().string());
        return names;
    }

    std::string Content(const std::string& name) const { return HostTests::ReadAll(Files / name); }

    std::vector<std::u16string> SelectedNames() { return Host->ActivePanel().SelectedNames(); }

    // OpenW from the plugins menu; the rename dialog gets these keys.
    void Open(std::string_view keys = "<Enter>")
    {
        User.QueueKeys(keys);
        EXPECT_EQ(Host->Open(), nullptr);
    }

    // ConfigureW from the configuration menu; the options dialog gets these keys.
    intptr_t Configure(std::string_view keys)
    {
        User.QueueKeys(keys);
        return Host->Configure();
    }

    TempFolder Temp;
    fs::path Profile;
    fs::path Files;
    Host::ScriptedFrontEnd User;
    std::unique_ptr<Host::StandInHost> Host;
};

} // namespace E2E
