// The settings store wrapper against an in-memory host settings service.
#include "framework/FarConfig.h"

#include "FakeSettings.h"
#include "base/Utf.h"
#include "framework/FarErrors.h"

#include <gtest/gtest.h>

using namespace TestSupport;
using Base::String;
using Far3::FST_QWORD;
using Far3::FST_STRING;
using Far3::FST_UNKNOWN;

namespace {

// UpdateString/UpdateBool serve derived option classes; this one shows them.
class TTestConfig : public Tessel::TFarConfig {
public:
    using TFarConfig::TFarConfig;
    using TFarConfig::UpdateBool;
    using TFarConfig::UpdateString;
};

SettingsCall Create() { return {Far3::SCTL_CREATE, 0, {}, FST_UNKNOWN}; }
SettingsCall Free() { return {Far3::SCTL_FREE, 0, {}, FST_UNKNOWN}; }
SettingsCall NewSub(size_t root, String name) { return {Far3::SCTL_CREATESUBKEY, root, name, FST_UNKNOWN}; }
SettingsCall OldSub(size_t root, String name) { return {Far3::SCTL_OPENSUBKEY, root, name, FST_UNKNOWN}; }

class FarConfigTest : public ::testing::Test {
protected:
    void TearDown() override { EXPECT_TRUE(Settings.Faults.empty()) << Settings.Faults.front(); }

    // Opens at `path` (or leaves closed for "-") and forgets the calls so far.
    void StartAt(const String& path)
    {
        if (path != u"-") {
            ASSERT_TRUE(Config.Open(path, false));
        }
        Settings.Calls.clear();
    }

    FakeHost Host;
    FakeSettings Settings{Host};
    TTestConfig Config{false};
};

struct ResolveCase {
    String OpenAt; // "-": closed
    String Path;
    String Expected;
};

class ResolvePathTable : public FarConfigTest, public ::testing::WithParamInterface<ResolveCase> {};

TEST_P(ResolvePathTable, ResolvesAgainstTheOpenKey)
{
    const auto& c = GetParam();
    StartAt(c.OpenAt);
    EXPECT_EQ(Config.ResolvePath(c.Path), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(Paths, ResolvePathTable,
                         ::testing::Values(ResolveCase{u"-", u"", u""}, ResolveCase{u"-", u"a", u"a"},
                                           ResolveCase{u"a\\b", u"", u"a\\b"},
                                           ResolveCase{u"a\\b", u"c", u"a\\b\\c"},
                                           ResolveCase{u"a\\b", u"c\\\\", u"a\\b\\c"},
                                           ResolveCase{u"a\\b", u"\\x", u"x"},
                                           ResolveCase{u"a\\b", u"\\\\\\", u""},
                                           // inner runs stay; Open skips the empty names
                                           ResolveCase{u"-", u"\\a\\\\b\\", u"a\\\\b"}));

struct OpenCase {
    String OpenAt; // "-": closed
    String Path;
    bool ExistingOnly;
    std::vector<SettingsCall> Calls;
    String Path2; // Path() afterwards
};

class OpenTable : public FarConfigTest, public ::testing::WithParamInterface<OpenCase> {};

TEST_P(OpenTable, MakesExactlyTheseHostCalls)
{
    const auto& c = GetParam();
    Settings.Key(u"a\\b"); // so that opening existing keys finds them
    StartAt(c.OpenAt);
    EXPECT_TRUE(Config.Open(c.Path, c.ExistingOnly));
    EXPECT_EQ(Settings.Calls, c.Calls);
    EXPECT_TRUE(Config.IsOpenAt(c.Path2));
    EXPECT_EQ(Settings.OpenHandles(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, OpenTable,
    ::testing::Values(
        OpenCase{u"-", u"", false, {Create()}, u""},
        OpenCase{u"-", u"\\a\\\\b\\", false, {Create(), NewSub(0, u"a"), NewSub(1, u"b")}, u"a\\b"},
        OpenCase{u"x", u"\\a\\\\b\\", false, {Free(), Create(), NewSub(0, u"a"), NewSub(1, u"b")}, u"a\\b"},
        OpenCase{u"a\\b", u"c", false, {Free(), Create(), NewSub(0, u"a"), NewSub(1, u"b"), NewSub(2, u"c")},
                 u"a\\b\\c"},
        OpenCase{u"-", u"a\\b", true, {Create(), OldSub(0, u"a"), OldSub(1, u"b")}, u"a\\b"},
        OpenCase{u"a\\b", u"\\a\\b", false, {}, u"a\\b"}, OpenCase{u"a\\b", u"", false, {}, u"a\\b"},
        OpenCase{u"", u"", false, {}, u""}));

TEST_F(FarConfigTest, FailedOpenLeavesTheStoreClosed)
{
    Settings.RefuseCreate = true;
    EXPECT_FALSE(Config.Open(u"", false));
    EXPECT_FALSE(Config.IsOpen());
    EXPECT_EQ(Settings.Calls, std::vector<SettingsCall>{Create()});

    // A refused subkey releases the handle again; so does a missing one.
    Settings.RefuseCreate = false;
    Settings.RefusedSubkeys = {u"b"};
    StartAt(u"x");
    EXPECT_FALSE(Config.Open(u"\\a\\b", false));
    EXPECT_FALSE(Config.IsOpen());
    EXPECT_EQ(Config.Path(), u"");
    EXPECT_EQ(Settings.Calls.back(), Free());
    EXPECT_EQ(Settings.OpenHandles(), 0);

    EXPECT_FALSE(Config.Open(u"missing", true));
    EXPECT_FALSE(Config.IsOpen());
    EXPECT_EQ(Settings.OpenHandles(), 0);
}

TEST_F(FarConfigTest, DestructorReleasesTheHandle)
{
    {
        TTestConfig config(true);
        EXPECT_TRUE(config.IsOpenAt(u""));
    }
    EXPECT_EQ(Settings.Calls, (std::vector<SettingsCall>{Create(), Free()}));
    EXPECT_EQ(Settings.OpenHandles(), 0);
}

TEST_F(FarConfigTest, ReadsTheOpenKey)
{
    auto& values = Settings.Key(u"k");
    values[u"Five"] = uint64_t{5};
    values[u"Zero"] = uint64_t{0};
    values[u"Text"] = String(u"t\u00e9xt");
    StartAt(u"k");

    EXPECT_EQ(Config.TryReadNumber(u"Five"), uint64_t{5});
    EXPECT_EQ(Settings.Calls.back(), (SettingsCall{Far3::SCTL_GET, 1, u"Five", FST_QWORD}));
    EXPECT_TRUE(Config.ReadBool(u"Five", false));
    EXPECT_FALSE(Config.ReadBool(u"Zero", true));
    EXPECT_TRUE(Config.ReadBool(u"Missing", true));
    EXPECT_FALSE(Config.ReadBool(u"Missing", false));
    EXPECT_TRUE(Config.ReadBool(u"Text", true)); // refused type: the default
    EXPECT_EQ(Config.TryReadBool(u"Text"), std::nullopt);

    EXPECT_EQ(Config.TryReadString(u"Text"), String(u"t\u00e9xt"));
    EXPECT_EQ(Settings.Calls.back(), (SettingsCall{Far3::SCTL_GET, 1, u"Text", FST_STRING}));
    EXPECT_EQ(Config.ReadString(u"Missing", u"dflt"), u"dflt");
    EXPECT_EQ(Config.ReadString(u"Five", u"dflt"), u"dflt");
}

TEST_F(FarConfigTest, WritesTheOpenKey)
{
    StartAt(u"k");
    EXPECT_TRUE(Config.WriteBool(u"On", true));
    EXPECT_TRUE(Config.WriteBool(u"Off", false));
    EXPECT_TRUE(Config.WriteNumber(u"Big", UINT64_MAX));
    EXPECT_TRUE(Config.WriteString(u"Empty", u""));
    EXPECT_EQ(Settings.Calls.front(), (SettingsCall{Far3::SCTL_SET, 1, u"On", FST_QWORD}));
    EXPECT_EQ(Settings.Calls.back(), (SettingsCall{Far3::SCTL_SET, 1, u"Empty", FST_STRING}));

    auto& values = Settings.Key(u"k");
    EXPECT_EQ(values[u"On"], FakeSettings::Value(uint64_t{1}));
    EXPECT_EQ(values[u"Off"], FakeSettings::Value(uint64_t{0}));
    EXPECT_EQ(values[u"Big"], FakeSettings::Value(UINT64_MAX));
    EXPECT_EQ(values[u"Empty"], FakeSettings::Value(String()));

    Settings.RefuseWrites = true;
    EXPECT_FALSE(Config.WriteString(u"Refused", u"x"));
    EXPECT_FALSE(Config.WriteBool(u"Refused", true));
}

TEST_F(FarConfigTest, ClosedStoreCallsNothing)
{
    Settings.Key(u"")[u"Value"] = uint64_t{1};
    EXPECT_FALSE(Config.TryReadString(u"Value"));
    EXPECT_FALSE(Config.TryReadNumber(u"Value"));
    EXPECT_FALSE(Config.ReadBool(u"Value", false));
    EXPECT_EQ(Config.ReadString(u"Value", u"d"), u"d");
    EXPECT_FALSE(Config.WriteString(u"Value", u"x"));
    EXPECT_FALSE(Config.WriteNumber(u"Value", 2));
    EXPECT_FALSE(Config.WriteBool(u"Value", true));
    Config.Close();
    EXPECT_TRUE(Settings.Calls.empty());
}

TEST_F(FarConfigTest, UpdateRaisesModifiedOnlyOnARealChange)
{
    EXPECT_FALSE(Config.Modified());
    String field = u"Name";
    Config.UpdateString(field, u"Name");
    EXPECT_FALSE(Config.Modified());
    Config.UpdateString(field, u"name");
    EXPECT_TRUE(Config.Modified());
    EXPECT_EQ(field, u"name");

    Config.ClearModified();
    bool flag = true;
    Config.UpdateBool(flag, true);
    EXPECT_FALSE(Config.Modified());
    Config.UpdateBool(flag, false);
    EXPECT_TRUE(Config.Modified());
    EXPECT_FALSE(flag);
}

TEST(FarConfig, NeedsThePluginObject)
{
    EXPECT_THROW(Tessel::TFarConfig config(false), Tessel::EFarPluginError);
}

} // namespace
