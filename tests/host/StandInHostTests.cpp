#include "host/app/HostError.h"
#include "host/text/HostText.h"
#include "tests/support/ScriptedFrontEnd.h"
#include "host/app/ServiceTable.h"
#include "host/app/StandInHost.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

using namespace Host;
using HostTests::TempFolder;

namespace {

TEST(ServiceTable, EverySlotIsFilledAndTheSizesAreFars)
{
    Far3::FarStandardFunctions functions = MakeStandardFunctions();
    Far3::PluginStartupInfo info = MakeStartupInfo(u"/x/Plugin.so", &functions);
    EXPECT_EQ(info.StructSize, 264u);
    EXPECT_EQ(functions.StructSize, 376u);
    EXPECT_EQ(info.FSF, &functions);
    EXPECT_EQ(info.Private, nullptr);
    auto* infoSlots = reinterpret_cast<void* const*>(&info);
    for (size_t slot = 2; slot < 32; ++slot)
        EXPECT_NE(infoSlots[slot], nullptr) << "PluginStartupInfo slot " << slot;
    auto* fsfSlots = reinterpret_cast<void* const*>(&functions);
    for (size_t slot = 1; slot < 47; ++slot)
        EXPECT_NE(fsfSlots[slot], nullptr) << "FarStandardFunctions slot " << slot;
}

TEST(ServiceTable, ServicesRefuseWithoutAHostAndDialogsNeverOpen)
{
    Far3::FarStandardFunctions functions = MakeStandardFunctions();
    Far3::PluginStartupInfo info = MakeStartupInfo(u"", &functions);
    ASSERT_EQ(CurrentHost(), nullptr);
    const char16_t* items[] = {u"T", u"L", u"Ok"};
    EXPECT_EQ(info.Message(nullptr, nullptr, 0, nullptr, items, 3, 1), -1);
    EXPECT_EQ(std::u16string_view(info.GetMsg(nullptr, 0)), u"");
    EXPECT_EQ(info.PanelControl(nullptr, Far3::FCTL_GETPANELINFO, 0, nullptr), 0);
    EXPECT_EQ(functions.ConvertPath(Far3::CPM_FULL, u"x", nullptr, 0), 0u);
    Far3::FarDialogItem item{};
    EXPECT_EQ(info.DialogInit(nullptr, nullptr, -1, -1, 10, 5, nullptr, &item, 1, 0, 0, nullptr, nullptr),
              Far3::InvalidHandleValue);
    EXPECT_EQ(info.DialogRun(Far3::InvalidHandleValue), -1);
}

TEST(StandInHost, OneHostAtATime)
{
    ScriptedFrontEnd user;
    {
        StandInHost host(user);
        EXPECT_THROW(StandInHost{user}, HostError);
    }
    StandInHost again(user);
    EXPECT_FALSE(again.Loaded());
}

TEST(StandInHost, RefusesFilesThatAreNoPlugin)
{
    TempFolder folder;
    ScriptedFrontEnd user;
    StandInHost host(user);
    for (const char* name : {"missing.so", "garbage.so"}) {
        if (std::string(name) == "garbage.so")
            folder.Write(name, "not a library");
        try {
            host.Load(folder / name);
            ADD_FAILURE() << name << " was accepted";
        } catch (const HostError& error) {
            EXPECT_NE(std::string(error.what()).find(name), std::string::npos) << error.what();
        }
        EXPECT_FALSE(host.Loaded());
    }
}

TEST(StandInHost, LoadsTheBuiltPluginInFarsOrder)
{
    std::filesystem::path plugin = DefaultPluginPath();
    if (!std::filesystem::exists(plugin))
        GTEST_SKIP() << "no plugin built beside the tests";
    TempFolder folder;
    folder.Write("one.txt", "1");
    ScriptedFrontEnd user;
    StandInHost host(user);
    host.ActivePanel().ShowFolder(folder.Path());
    host.Load(plugin);
    EXPECT_TRUE(host.Loaded());
    EXPECT_FALSE(host.Identity().Title.empty());
    EXPECT_FALSE(IsNullGuid(host.Identity().Guid));
    EXPECT_EQ(host.ModuleName(), PathToUtf16(std::filesystem::absolute(plugin)));
    EXPECT_FALSE(host.Menus().PluginMenu.empty());
    EXPECT_THROW(host.Load(plugin), HostError);

    // The plugin's messages through the service table, as the plugin asks for them.
    Far3::FarStandardFunctions functions = MakeStandardFunctions();
    Far3::PluginStartupInfo info = MakeStartupInfo(host.ModuleName().c_str(), &functions);
    Far3::GUID guid = host.Identity().Guid;
    EXPECT_NE(std::u16string_view(info.GetMsg(&guid, 0)), u"") << "ZelvaneEng.lng beside the plugin";
    Far3::GUID other = guid;
    other.Data1 ^= 1;
    EXPECT_EQ(std::u16string_view(info.GetMsg(&other, 0)), u"") << "another plugin's id";
    EXPECT_TRUE(user.Messages().empty());
    EXPECT_EQ(std::u16string_view(info.GetMsg(&guid, 1000000)), u"");
    ASSERT_EQ(user.Messages().size(), 1u) << "a missing message is reported in a box";
    EXPECT_EQ(user.Messages()[0].Buttons, (std::vector<std::string>{"Ok", "Quit"}));

    host.Unload();
    EXPECT_FALSE(host.Loaded());
    host.Unload();
    host.Load(plugin);
    EXPECT_TRUE(host.Loaded()) << "loads again after a real unload";
}

} // namespace
