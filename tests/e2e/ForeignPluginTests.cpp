// Another Far 3 plugin than ours, of the smallest kind Far loads: four
// exports (no ConfigureW, no ExitFARW) and the MinFarVersion of a current
// SDK. The stand-in host loads it as Far does and shows its message box.
#include "../host/TempFolder.h"
#include "host/app/HostError.h"
#include "host/app/PluginLibrary.h"
#include "tests/support/ScriptedFrontEnd.h"
#include "host/app/ServiceTable.h"
#include "host/app/StandInHost.h"
#include "host/dialogs/DialogPainter.h"
#include "host/dialogs/MessageLayout.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

std::filesystem::path TestPlugin(const std::string& name)
{
#if defined(_WIN32)
    return Host::ExecutableFolder() / (name + ".dll");
#else
    return Host::ExecutableFolder() / (name + ".so");
#endif
}

TEST(ForeignPlugin, FourExportsAndACurrentMinFarVersionLoadAndRun)
{
    HostTests::TempFolder folder;
    Host::ScriptedFrontEnd user;
    Host::StandInHost host(user);
    host.ActivePanel().ShowFolder(folder.Path());
    ASSERT_NO_THROW(host.Load(TestPlugin("FourExportPlugin")));
    EXPECT_EQ(host.Identity().Title, u"Four exports");
    EXPECT_EQ(host.Identity().MinFarVersion.Build, 6727u);
    ASSERT_EQ(host.Menus().PluginMenu.size(), 1u);

    // The version the host reports is the one it checks against.
    Far3::FarStandardFunctions functions = Host::MakeStandardFunctions();
    Far3::PluginStartupInfo info = Host::MakeStartupInfo(host.ModuleName().c_str(), &functions);
    Far3::VersionInfo version{};
    Far3::GUID guid = host.Identity().Guid;
    EXPECT_EQ(info.AdvControl(&guid, Far3::ACTL_GETFARMANAGERVERSION, 0, &version), 1);
    EXPECT_EQ(version.Major, 3u);
    EXPECT_EQ(version.Minor, 0u);
    EXPECT_EQ(version.Build, 6727u);
    EXPECT_TRUE(Host::VersionNotAbove(host.Identity().MinFarVersion, version));

    // Its message box, with the separator line drawn as Far draws it.
    user.QueueAnswer(0);
    EXPECT_EQ(host.Open(), nullptr);
    ASSERT_EQ(user.Messages().size(), 1u);
    const Host::MessageBox& box = user.Messages()[0];
    EXPECT_EQ(box.Lines, (std::vector<std::string>{"Hello, world", "\x01", "from a plugin with four exports"}));
    const std::vector<std::string> drawn = Host::DialogText(Host::MessageBoxView(box, user));
    EXPECT_TRUE(std::any_of(drawn.begin(), drawn.end(),
                            [](const std::string& row) { return row.find("╟───") != std::string::npos; }))
        << testing::PrintToString(drawn);

    // It offers no configuration; without ExitFARW it unloads all the same.
    EXPECT_THROW(host.Configure(), Host::HostError);
    host.Unload();
    EXPECT_FALSE(host.Loaded());
}

// A plugin that needs a newer Far is refused, saying which Far it needs and
// which the host is.
TEST(ForeignPlugin, ANewerMinFarVersionIsRefusedClearly)
{
    Host::ScriptedFrontEnd user;
    Host::StandInHost host(user);
    try {
        host.Load(TestPlugin("FutureFarPlugin"));
        ADD_FAILURE() << "the plugin was accepted";
    } catch (const Host::HostError& error) {
        EXPECT_NE(std::string(error.what()).find("it needs Far 3.0.0.9999, the host is 3.0.0.6727"), std::string::npos)
            << error.what();
    }
    EXPECT_FALSE(host.Loaded());
}

} // namespace
