// The built plugin library, loaded by the stand-in host as Far Manager loads
// it: identity, version, menus, the cached menu records, the short
// configuration record, and its exports seen from outside.
#include "host/app/PluginLibrary.h"
#include "tests/support/ScriptedFrontEnd.h"
#include "host/app/StandInHost.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

constexpr Far3::GUID ZelvaneGuid{0x6F3B1C2A, 0x8E4D, 0x4A7B, {0x9C, 0x15, 0x2D, 0x7E, 0x0A, 0x9B, 0x4F, 0x61}};

TEST(PluginLoad, ReportsItsIdentityAndVersion)
{
    Host::ScriptedFrontEnd user;
    Host::StandInHost host(user);
    host.Load();
    const auto& id = host.Identity();
    EXPECT_EQ(id.Title, u"Zelvane3");
    EXPECT_EQ(id.Description, u"Zelvane 3");
    EXPECT_FALSE(id.Author.empty());
    EXPECT_NE(id.Author.find(u','), std::u16string::npos);
    EXPECT_EQ(id.Guid, ZelvaneGuid);
    EXPECT_EQ(id.MinFarVersion.Major, 3u);
    EXPECT_EQ(id.MinFarVersion.Minor, 0u);
    EXPECT_EQ(id.MinFarVersion.Revision + id.MinFarVersion.Build, 0u);
    EXPECT_EQ(id.MinFarVersion.Stage, Far3::VS_RELEASE);
    // The version the build stamps into the library (a resource on Windows).
    EXPECT_EQ(id.Version.Major, 1u);
    EXPECT_EQ(id.Version.Minor, 0u);
    EXPECT_EQ(id.Version.Revision, 0u);
    EXPECT_EQ(id.Version.Build, 0u);
    EXPECT_TRUE(user.Messages().empty());
}

TEST(PluginLoad, ThreeMenuEntriesAndOneConfigurationEntryTitledFromTheLanguageFile)
{
    Host::ScriptedFrontEnd user;
    Host::StandInHost host(user);
    host.Load();
    const auto& menus = host.Menus();
    EXPECT_EQ(menus.Flags, 0u);
    EXPECT_TRUE(menus.DiskMenu.empty());
    EXPECT_TRUE(menus.CommandPrefix.empty());
    ASSERT_EQ(menus.PluginMenu.size(), 3u);
    ASSERT_EQ(menus.PluginConfig.size(), 1u);
    EXPECT_EQ(menus.PluginMenu[0].Text, u"Zelvane 3");
    EXPECT_EQ(menus.PluginMenu[2].Text, u"Zelvane 3: edit names in the editor");
    EXPECT_FALSE(menus.PluginMenu[2].Guid == menus.PluginMenu[0].Guid);
    EXPECT_FALSE(menus.PluginMenu[2].Guid == menus.PluginMenu[1].Guid);
    EXPECT_EQ(menus.PluginConfig[0].Text, u"Zelvane 3");
    EXPECT_FALSE(menus.PluginMenu[0].Guid == menus.PluginConfig[0].Guid);
    EXPECT_FALSE(menus.PluginMenu[0].Guid == ZelvaneGuid);
    EXPECT_FALSE(menus.PluginConfig[0].Guid == ZelvaneGuid);
}

// The menu records are built once per load: a second GetPluginInfoW hands
// the host the very same texts and arrays.
TEST(PluginLoad, GetPluginInfoReturnsTheSamePointersEveryTime)
{
    Host::ScriptedFrontEnd user;
    Host::StandInHost host(user);
    host.Load();
    // A second reference to the loaded library reaches the same plugin object.
    Host::PluginLibrary library(Host::DefaultPluginPath());
    auto getPluginInfo = reinterpret_cast<Far3::GetPluginInfoWFunc>(library.Symbol("GetPluginInfoW"));
    ASSERT_NE(getPluginInfo, nullptr);
    Far3::PluginInfo first{};
    first.StructSize = sizeof(first);
    getPluginInfo(&first);
    Far3::PluginInfo second{};
    second.StructSize = sizeof(second);
    getPluginInfo(&second);
    EXPECT_EQ(std::memcmp(&first, &second, sizeof(first)), 0);
    EXPECT_EQ(first.StructSize, 96u);
    ASSERT_EQ(first.PluginMenu.Count, 3u);
    EXPECT_EQ(std::u16string(first.PluginMenu.Strings[0]), u"Zelvane 3");
    EXPECT_EQ(first.DiskMenu.Guids, nullptr);
    EXPECT_EQ(first.DiskMenu.Strings, nullptr);
    EXPECT_EQ(first.CommandPrefix, nullptr);
}

TEST(PluginLoad, ShortConfigureRecordReturnsZeroAndShowsNothing)
{
    Host::ScriptedFrontEnd user;
    Host::StandInHost host(user);
    host.Load();
    EXPECT_EQ(host.Configure(8), 0);
    EXPECT_TRUE(user.Messages().empty());
}

TEST(PluginLoad, LoadsAgainAfterAnUnload)
{
    Host::ScriptedFrontEnd user;
    Host::StandInHost host(user);
    host.Load();
    host.Unload();
    host.Load();
    EXPECT_EQ(host.Identity().Title, u"Zelvane3");
    EXPECT_EQ(host.Menus().PluginMenu.size(), 3u);
}

} // namespace
