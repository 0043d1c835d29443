// The name template: tokens, padding to the starting number's width, the
// extension rule, and the scan that never revisits inserted text.
#include "FakeHost.h"

#include "plugin/uPlugin.h"

#include <gtest/gtest.h>

using Zelvane::TPlugin;

namespace {

struct ExpandCase {
    const char16_t* Template;
    const char16_t* StartingNumber; // its length is the counter's width
    const char16_t* FileName;
    int32_t Counter;
    int32_t Total;
    const char16_t* Expected;
};

class ExpandTemplate : public ::testing::TestWithParam<ExpandCase> {};

TEST_P(ExpandTemplate, GivesTheNewName)
{
    const auto& c = GetParam();
    TPlugin plugin;
    TestSupport::FakeHost host(&plugin);
    plugin.GetOptions().SetFileNameTemplate(c.Template);
    plugin.GetOptions().SetStartingNumber(c.StartingNumber);
    EXPECT_EQ(plugin.ExpandTemplate(c.FileName, c.Counter, c.Total), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Tokens, ExpandTemplate,
    ::testing::Values(
        ExpandCase{u"file%#.%e", u"1", u"photo.jpg", 7, 12, u"file7.jpg"},
        ExpandCase{u"img_%#", u"001", u"photo.jpg", 7, 12, u"img_007"},
        ExpandCase{u"%#/%T", u"001", u"photo.jpg", 7, 12, u"007/012"},
        ExpandCase{u"%t", u"0", u"photo.jpg", 7, 12, u"12"},
        ExpandCase{u"%H-%h", u"0000", u"photo.jpg", 255, 1, u"00FF-00ff"},
        ExpandCase{u"%H", u"0", u"photo.jpg", -1, 1, u"FFFFFFFF"},
        ExpandCase{u"%#", u"0", u"photo.jpg", -1, 1, u"-1"},
        ExpandCase{u"%#", u"000", u"photo.jpg", -1, 1, u"0-1"},
        ExpandCase{u"%#", u"0", u"x", INT32_MIN, 1, u"-2147483648"},
        ExpandCase{u"%h", u"0", u"x", INT32_MIN, 1, u"80000000"},
        ExpandCase{u"%#", u"00", u"x", 12345, 1, u"12345"},
        ExpandCase{u"%N|%E", u"0", u"archive.tar.gz", 0, 1, u"archive.tar|gz"},
        ExpandCase{u"%n|%e", u"0", u".profile", 0, 1, u"|profile"},
        ExpandCase{u"%N|%E", u"0", u"README", 0, 1, u"README|"},
        ExpandCase{u"%N|%E", u"0", u"dir.d\\name", 0, 1, u"dir.d\\name|"},
        ExpandCase{u"%N|%E", u"0", u"c:name", 0, 1, u"c:name|"},
        ExpandCase{u"%F=%f", u"0", u"photo.jpg", 0, 1, u"photo.jpg=photo.jpg"},
        ExpandCase{u"%X%%", u"0", u"photo.jpg", 0, 1, u"X%"},
        ExpandCase{u"100%", u"0", u"photo.jpg", 0, 1, u"100%"},
        ExpandCase{u"", u"0", u"photo.jpg", 0, 1, u""},
        ExpandCase{u"%", u"0", u"photo.jpg", 0, 1, u"%"},
        ExpandCase{u"plain", u"0", u"photo.jpg", 3, 9, u"plain"},
        ExpandCase{u"a%", u"0", u"photo.jpg", 0, 1, u"a%"},
        ExpandCase{u"%%#", u"0", u"photo.jpg", 5, 1, u"%#"},
        // Inserted text is never scanned again, also when it ends in "%".
        ExpandCase{u"%f", u"0", u"50%#.txt", 5, 1, u"50%#.txt"},
        ExpandCase{u"%n%#", u"0", u"100%", 5, 1, u"100%5"},
        ExpandCase{u"%%%#", u"0", u"x", 5, 1, u"%5"},
        // Letters that are tokens in one case only.
        ExpandCase{u"%z%Q", u"0", u"x", 5, 1, u"zQ"}));

TEST(ReplaceToken, GrowsAndShrinksInPlace)
{
    struct Case {
        const char16_t* Text;
        size_t Position;
        const char16_t* Replacement;
        const char16_t* Expected;
        size_t EndPosition;
    };
    for (const Case& c : {Case{u"a%#b", 1, u"123", u"a123b", 4}, Case{u"a%#b", 1, u"7", u"a7b", 2},
                          Case{u"a%#b", 1, u"", u"ab", 1}, Case{u"%#", 0, u"xy", u"xy", 2}}) {
        std::u16string text = c.Text;
        size_t position = c.Position;
        TPlugin::ReplaceToken(text, c.Replacement, position, 2);
        EXPECT_EQ(text, c.Expected);
        EXPECT_EQ(position, c.EndPosition);
    }
}

TEST(PluginOptions, CreatedAndLoadedOnceUntilDiscarded)
{
    TPlugin plugin;
    TestSupport::FakeHost host(&plugin);
    int creates = 0;
    host.SettingsControl = [&](Far3::HANDLE, Far3::FAR_SETTINGS_CONTROL_COMMANDS command, intptr_t, void*) {
        if (command == Far3::SCTL_CREATE)
            ++creates;
        return intptr_t{0};
    };
    auto* first = &plugin.GetOptions();
    EXPECT_EQ(&plugin.GetOptions(), first);
    EXPECT_EQ(creates, 1);
    plugin.DiscardOptions();
    plugin.GetOptions();
    EXPECT_EQ(creates, 2);
}

TEST(PluginTexts, StandardTextsComeFromTheLanguageFile)
{
    TPlugin plugin;
    TestSupport::FakeHost host(&plugin);
    for (int i = 0; i <= 6; ++i)
        host.Messages[i] = u"m" + std::u16string(1, static_cast<char16_t>(u'0' + i));
    const std::vector<std::u16string> expected{u"m0", u"m5", u"m1", u"m2", u"m3", u"m4"};
    for (int kind = 0; kind < 6; ++kind)
        EXPECT_EQ(plugin.GetStandardText(kind), expected[kind]) << kind;
    const int before = host.GetMsgCalls;
    EXPECT_EQ(plugin.GetStandardText(7), u"");
    EXPECT_EQ(host.GetMsgCalls, before);
}

} // namespace
