// The six exports' bodies and their guard, the exception report, the plugin
// registration and the module services, against a fake host.
#include "FakeHost.h"

#include "base/Exception.h"
#include "framework/FarEntry.h"
#include "framework/FarErrors.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <new>
#include <system_error>

using namespace Tessel;
using TestSupport::FakeHost;

namespace {

using Lines = std::vector<String>;

Far3::OpenInfo MenuOpen()
{
    return Far3::OpenInfo{sizeof(Far3::OpenInfo), Far3::OPEN_PLUGINSMENU, nullptr, 0};
}

TEST(EntryGuard, EveryExportLogsStartAndEnd)
{
    FakeHost host;
    auto& log = host.Test()->LogLines;
    log.clear();
    Far3::GlobalInfo global{};
    global.StructSize = sizeof(global);
    Far3::PluginInfo info{};
    info.StructSize = sizeof(info);
    const auto open = MenuOpen();
    const Far3::GUID guid{};
    const Far3::ConfigureInfo configure{sizeof(Far3::ConfigureInfo), &guid};
    const Far3::ExitInfo exit{sizeof(Far3::ExitInfo)};
    Entry::SetStartupInfoW(&host.Info);
    Entry::GetGlobalInfoW(&global);
    Entry::GetPluginInfoW(&info);
    Entry::OpenW(&open);
    Entry::ConfigureW(&configure);
    Entry::ExitFARW(&exit);
    EXPECT_EQ(log, (Lines{u"SetStartupInfo START", u"SetStartupInfo END", u"GetGlobalInfoW START",
                          u"GetGlobalInfoW END", u"GetPluginInfoW START", u"GetPluginInfoW END", u"OpenW START",
                          u"OpenW END", u"ConfigureW START", u"ConfigureW END", u"ExitFARW START",
                          u"ExitFARW END"}));
}

struct ReportCase {
    const char16_t* Message;
    Lines Expected;
};

class ExceptionReportLines : public ::testing::TestWithParam<ReportCase> {};

TEST_P(ExceptionReportLines, SplitsTheMessageAtEveryLineBreak)
{
    FakeHost host;
    host.Test()->OnOpen = [] () -> Far3::HANDLE { throw EFarError(GetParam().Message); };
    host.Test()->StandardTexts = {{0, u"Title"}, {1, u"Failed in %s"}, {2, u"Ok"}};
    const auto open = MenuOpen();
    EXPECT_EQ(Entry::OpenW(&open), nullptr);
    ASSERT_EQ(host.ShownMessages.size(), 1u);
    const auto& shown = host.ShownMessages[0];
    Lines expected{u"Title", u"Failed in OpenW", u"EFarError"};
    expected.insert(expected.end(), GetParam().Expected.begin(), GetParam().Expected.end());
    expected.push_back(u"Ok");
    EXPECT_EQ(shown.Items, expected);
    EXPECT_EQ(shown.Flags, Far3::FMSG_WARNING);
    EXPECT_EQ(shown.Buttons, 1);
}

INSTANTIATE_TEST_SUITE_P(Messages, ExceptionReportLines,
                         ::testing::Values(ReportCase{u"one", {u"one"}},
                                           ReportCase{u"first\r\nsecond\n", {u"first", u"second"}},
                                           ReportCase{u"a\r\rb", {u"a", u"", u"b"}},
                                           ReportCase{u"a\n\rb", {u"a", u"", u"b"}},
                                           ReportCase{u"", {}}));

TEST(EntryGuard, ReportIsLoggedWithWhereClassAndMessage)
{
    FakeHost host;
    host.Test()->OnOpen = []() -> Far3::HANDLE { throw EFarPluginError(u"broken"); };
    const auto open = MenuOpen();
    Entry::OpenW(&open);
    EXPECT_EQ(host.Test()->LogLines, (Lines{u"OpenW START", u"OpenW: Exception EFarPluginError: broken",
                                            u"OpenW END"}));
    // The framework's own texts, as a plugin that does not override them shows them.
    EXPECT_EQ(host.ShownMessages.at(0).Items, (Lines{u"TestTitle", u"Exception occurred in function OpenW",
                                                     u"EFarPluginError", u"broken", u"&OK"}));
}

TEST(EntryGuard, AbortIsSilent)
{
    FakeHost host;
    host.Test()->OnOpen = []() -> Far3::HANDLE { throw Base::EAbort(); };
    const auto open = MenuOpen();
    EXPECT_EQ(Entry::OpenW(&open), nullptr);
    EXPECT_TRUE(host.ShownMessages.empty());
    EXPECT_EQ(host.Test()->LogLines, (Lines{u"OpenW START", u"OpenW END"}));
}

// Anything else thrown inside an export would end the host process: it is
// caught and reported like the system's own exceptions.
TEST(EntryGuard, ForeignExceptionsAreReportedNotPropagated)
{
    struct Case {
        std::function<void()> Throw;
        String ClassName;
    };
    const std::vector<Case> cases{
        {[] { throw std::bad_alloc(); }, u"std::bad_alloc"},
        {[] { throw std::system_error(std::make_error_code(std::errc::io_error)); }, u"std::system_error"},
        {[] { throw 42; }, u"Unknown exception"},
    };
    for (const auto& c : cases) {
        FakeHost host;
        host.Test()->OnConfigure = [&]() -> bool {
            c.Throw();
            return true;
        };
        const Far3::GUID guid{};
        const Far3::ConfigureInfo configure{sizeof(Far3::ConfigureInfo), &guid};
        EXPECT_EQ(Entry::ConfigureW(&configure), 0);
        ASSERT_EQ(host.ShownMessages.size(), 1u);
        EXPECT_EQ(host.ShownMessages[0].Items.at(2), c.ClassName);
        EXPECT_EQ(host.Test()->LogLines.back(), u"ConfigureW END");
    }
}

TEST(EntryGuard, ShortFormWhenTheFullReportCannotBeBuilt)
{
    FakeHost host;
    host.Test()->OnOpen = []() -> Far3::HANDLE { throw EFarError(u"x\ny"); };
    host.Test()->StandardTexts = {{0, u"T"}, {1, u"%s %s"}, {2, u"Ok"}};
    const auto open = MenuOpen();
    Entry::OpenW(&open);
    ASSERT_EQ(host.ShownMessages.size(), 1u);
    const auto& items = host.ShownMessages[0].Items;
    ASSERT_EQ(items.size(), 5u);
    EXPECT_EQ(items[2], u"EFarError");
    EXPECT_EQ(items[3], u"x\ny");
    EXPECT_EQ(items[4], u"Ok");
}

TEST(ConfigureW, ShortRecordIsRefusedWithoutCallingConfigure)
{
    FakeHost host;
    host.Test()->OnConfigure = [] { return true; };
    const Far3::GUID guid{};
    Far3::ConfigureInfo shortInfo{8, &guid};
    EXPECT_EQ(Entry::ConfigureW(&shortInfo), 0);
    EXPECT_EQ(host.Test()->ConfigureCalls, 0);
    EXPECT_TRUE(host.ShownMessages.empty());
    Far3::ConfigureInfo full{sizeof(Far3::ConfigureInfo), &guid};
    EXPECT_EQ(Entry::ConfigureW(&full), 1);
    EXPECT_EQ(host.Test()->ConfigureCalls, 1);
}

TEST(GetGlobalInfoW, OverwritesWhateverTheRecordHeld)
{
    FakeHost host;
    Far3::GlobalInfo global;
    std::memset(&global, 0xAB, sizeof(global));
    Entry::GetGlobalInfoW(&global);
    EXPECT_EQ(global.StructSize, 88u);
    EXPECT_EQ(global.MinFarVersion.Major, 3u);
    EXPECT_EQ(global.MinFarVersion.Minor, 0u);
    EXPECT_EQ(global.MinFarVersion.Revision, 0u);
    EXPECT_EQ(global.MinFarVersion.Build, 0u);
    EXPECT_EQ(global.MinFarVersion.Stage, Far3::VS_RELEASE);
    EXPECT_EQ(global.Guid, host.Test()->Guid);
    EXPECT_EQ(String(global.Title), u"TestTitle");
    EXPECT_EQ(String(global.Description), u"Test plugin");
    EXPECT_EQ(String(global.Author), u"Tests");
    // A test executable carries no version stamp.
    EXPECT_EQ(global.Version.Major + global.Version.Minor + global.Version.Revision + global.Version.Build, 0u);
}

TEST(SetStartupInfoW, CopiesExactlyTheSettledPrefixAndPointsAtItsOwnFunctions)
{
    FakeHost host;
    // A newer host appends fields; they must be neither copied nor needed.
    struct NewerInfo {
        Far3::PluginStartupInfo Info;
        void* Instance;
        void* FreeScreen;
    } newer{};
    newer.Info = host.Info;
    newer.Info.StructSize = sizeof(NewerInfo);
    newer.Instance = &newer;
    Entry::SetStartupInfoW(&newer.Info);
    auto* stored = TFarPlugin::StartupInfo();
    EXPECT_EQ(stored->StructSize, sizeof(NewerInfo));
    EXPECT_NE(stored->FSF, host.Info.FSF);
    EXPECT_EQ(stored->FSF->ConvertPath, host.Functions.ConvertPath);
    EXPECT_EQ(stored->GetMsg, host.Info.GetMsg);
}

// Records the host hands over are read only when they are there and at least
// as long as ours; anything else does nothing, and nothing past its end is
// read or written.
TEST(EntryPoints, MissingOrShortRecordsAreNotRead)
{
    FakeHost host;
    int opened = 0;
    host.Test()->OnOpen = [&]() -> Far3::HANDLE {
        ++opened;
        return nullptr;
    };
    Far3::GlobalInfo global;
    std::memset(&global, 0xAB, sizeof(global));
    global.StructSize = 8;
    Far3::PluginInfo plugin;
    std::memset(&plugin, 0xAB, sizeof(plugin));
    plugin.StructSize = 8;
    const Far3::OpenInfo open{8, Far3::OPEN_PLUGINSMENU, nullptr, 0};
    host.Test()->LogLines.clear();

    Entry::GetGlobalInfoW(&global);
    Entry::GetGlobalInfoW(nullptr);
    Entry::GetPluginInfoW(&plugin);
    Entry::GetPluginInfoW(nullptr);
    EXPECT_EQ(Entry::OpenW(&open), nullptr);
    EXPECT_EQ(Entry::OpenW(nullptr), nullptr);
    EXPECT_EQ(Entry::ConfigureW(nullptr), 0);
    Entry::ExitFARW(nullptr);

    EXPECT_EQ(global.StructSize, 8u);
    EXPECT_EQ(global.MinFarVersion.Major, 0xABABABABu);
    EXPECT_EQ(plugin.StructSize, 8u);
    EXPECT_EQ(plugin.Flags, 0xABABABABABABABABu);
    EXPECT_EQ(opened, 0);
    EXPECT_TRUE(host.ShownMessages.empty());
    EXPECT_EQ(host.Test()->LogLines.size(), 16u); // START and END of every call
}

TEST(SetStartupInfoW, ATableThePluginCannotUseIsRefusedAndTheOldOneKept)
{
    struct Case {
        const char* Name;
        std::function<void(Far3::PluginStartupInfo&, Far3::FarStandardFunctions&)> Spoil;
    };
    const Case cases[] = {
        {"short table", [](Far3::PluginStartupInfo& info, Far3::FarStandardFunctions&) { info.StructSize = 8; }},
        {"no standard functions",
         [](Far3::PluginStartupInfo& info, Far3::FarStandardFunctions&) { info.FSF = nullptr; }},
        {"short standard functions",
         [](Far3::PluginStartupInfo&, Far3::FarStandardFunctions& functions) { functions.StructSize = 8; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        FakeHost host;
        Far3::FarStandardFunctions functions = host.Functions;
        Far3::PluginStartupInfo info = host.Info;
        info.FSF = &functions;
        info.GetMsg = nullptr;
        c.Spoil(info, functions);
        Entry::SetStartupInfoW(&info);
        // The refusal is reported through the table the plugin kept.
        ASSERT_EQ(host.ShownMessages.size(), 1u);
        EXPECT_EQ(host.ShownMessages[0].Items.at(2), u"EFarPluginError");
        EXPECT_EQ(TFarPlugin::StartupInfo()->GetMsg, host.Info.GetMsg);
    }
    FakeHost host;
    Entry::SetStartupInfoW(nullptr);
    EXPECT_EQ(host.ShownMessages.size(), 1u);
}

TEST(FarPlugin, NoServiceIsCalledBeforeTheHostHandsThemOver)
{
    TestSupport::TestPlugin plugin;
    TFarPlugin::RegisterPlugin(&plugin);
    EXPECT_FALSE(TFarPlugin::HasHostServices());
    EXPECT_THROW(TFarModule::GetMsg(0), EFarPluginError);
    EXPECT_THROW(TFarModule::NativePath(u"C:\\dir"), EFarPluginError);
    TFarPlugin::UnregisterPlugin(&plugin);
}

TEST(GetGlobalInfoW, ReadsTheVersionOncePerLoad)
{
    struct Plugin : TestSupport::TestPlugin {
        Far3::VersionInfo GetVersion() override
        {
            ++Reads;
            return {1, 2, 3, 4, Far3::VS_RELEASE};
        }
        int Reads = 0;
    } plugin;
    FakeHost host(&plugin);
    for (int i = 0; i < 3; ++i) {
        Far3::GlobalInfo global{};
        global.StructSize = sizeof(global);
        Entry::GetGlobalInfoW(&global);
        EXPECT_EQ(global.Version.Build, 4u);
    }
    EXPECT_EQ(plugin.Reads, 1);
}

TEST(PluginRegistration, OneObjectAtATime)
{
    TestSupport::TestPlugin plugin;
    try {
        TFarPlugin::GetPlugin();
        FAIL();
    } catch (const EFarPluginError& e) {
        EXPECT_EQ(e.Message(), u"The plugin has not been initialized yet");
    }
    TFarPlugin::RegisterPlugin(&plugin);
    TestSupport::TestPlugin second;
    try {
        TFarPlugin::RegisterPlugin(&second);
        FAIL();
    } catch (const EFarPluginError& e) {
        EXPECT_EQ(e.Message(), u"The plugin has already been initialized");
    }
    EXPECT_EQ(&TFarPlugin::GetPlugin(), &plugin);
    TFarPlugin::UnregisterPlugin(&plugin);
    EXPECT_FALSE(TFarPlugin::HasPlugin());
}

TEST(FarModule, LogFmtNeverRaises)
{
    FakeHost host;
    auto& log = host.Test()->LogLines;
    log.clear();
    TFarModule::LogFmt(u"%s and %s", {u"one"});
    TFarModule::LogFmt(u"%s-%d", {u"a", 5});
    EXPECT_EQ(log, (Lines{u"Invalid log message: %s and %s", u"a-5"}));
}

TEST(FarModule, NativePathAsksTheHostWithASizeQueryFirst)
{
    FakeHost host;
    EXPECT_EQ(TFarModule::NativePath(u""), u"");
    EXPECT_EQ(host.ConvertPathCalls, 0);

    std::vector<size_t> sizes;
    host.ConvertPath = [&](Far3::CONVERTPATHMODES mode, const char16_t* src, char16_t* dest, size_t size) {
        EXPECT_EQ(mode, Far3::CPM_NATIVE);
        sizes.push_back(size);
        const String native = u"\\\\?\\" + String(src);
        if (dest != nullptr && size > 0) {
            const size_t n = std::min(native.size(), size - 1);
            std::memcpy(dest, native.data(), n * sizeof(char16_t));
            dest[n] = 0;
        }
        return native.size() + 1;
    };
    EXPECT_EQ(TFarModule::NativePath(u"C:\\dir"), u"\\\\?\\C:\\dir");
    EXPECT_EQ(sizes, (std::vector<size_t>{0, 11}));

    host.ConvertPath = [](Far3::CONVERTPATHMODES, const char16_t*, char16_t*, size_t) -> size_t { return 0; };
    EXPECT_EQ(TFarModule::NativePath(u"C:\\dir"), u"");
}

TEST(FarModule, StringTransfers)
{
    EXPECT_EQ(TFarModule::StringFromPtr(nullptr), u"");
    EXPECT_EQ(TFarModule::StringFromBuffer(u"abcdef", 3), u"abc");
    EXPECT_EQ(TFarModule::StringFromBuffer(nullptr, 3), u"");
    const String empty;
    ASSERT_NE(TFarModule::StringPtr(empty), nullptr);
    EXPECT_EQ(TFarModule::StringPtr(empty)[0], u'\0');
    char16_t* copy = TFarModule::NewCString(u"text");
    EXPECT_EQ(String(copy), u"text");
    TFarModule::FreeCString(copy);
    EXPECT_EQ(copy, nullptr);
    TFarModule::FreeCString(copy);
}

#if !defined(_WIN32)
// Far asks for the identity before it hands over its services: a report
// then cannot use the host's message box and falls back to the system's.
TEST(ExceptionReport, BeforeTheServicesArriveUsesTheSystemMessageBox)
{
    TestSupport::TestPlugin plugin;
    TFarPlugin::RegisterPlugin(&plugin);
    ::testing::internal::CaptureStderr();
    TFarModule::ReportException(EFarError(u"early"), u"GetGlobalInfoW");
    const std::string text = ::testing::internal::GetCapturedStderr();
    TFarPlugin::UnregisterPlugin(&plugin);
    EXPECT_EQ(text, "Plugin error\nException occurred in GetGlobalInfoW\r\nEFarError\r\nearly\n");
}

// Without a plugin object the report falls back to the system's message box
// (standard error on POSIX; a real window on Windows, so not run there).
TEST(ExceptionReport, WithoutAPluginUsesTheSystemMessageBox)
{
    ::testing::internal::CaptureStderr();
    TFarModule::ReportException(EFarError(u"lost"), u"OpenW");
    const std::string text = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(text, "Plugin error\nException occurred in OpenW\r\nEFarError\r\nlost\n");
}
#endif

} // namespace
