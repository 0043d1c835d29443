// Splitting texts into lines and fields, converting them to code-page
// bytes, and fetching message texts.
#include "plugin/uStrings.h"

#include "FakeHost.h"
#include "TestFiles.h"
#include "platform/Platform.h"

#include <gtest/gtest.h>

using namespace Zelvane;

namespace {

std::vector<String> Lines(String text)
{
    std::vector<String> lines;
    String line;
    while (ExtractLine(text, line, false))
        lines.push_back(line);
    return lines;
}

TEST(ExtractLine, YieldsLinesInOrder)
{
    using V = std::vector<String>;
    EXPECT_EQ(Lines(u"a\r\nb"), (V{u"a", u"b"}));
    EXPECT_EQ(Lines(u"a\n\rb"), (V{u"a", u"", u"b"}));
    EXPECT_EQ(Lines(u""), V{});
    EXPECT_EQ(Lines(u"whole"), V{u"whole"});
    EXPECT_EQ(Lines(u"a\n"), V{u"a"});
    EXPECT_EQ(Lines(u"a\n\nb\r\r\n"), (V{u"a", u"", u"b", u""}));
}

TEST(SplitFirst, CutsAtTheFirstSeparator)
{
    String text = u"x\ty\tz";
    String part;
    EXPECT_TRUE(SplitFirst(text, u"\t", part, false));
    EXPECT_EQ(part, u"x");
    EXPECT_EQ(text, u"y\tz");

    text = u"  a \tb";
    EXPECT_TRUE(SplitFirst(text, u"\t", part, true));
    EXPECT_EQ(part, u"a");
    EXPECT_EQ(text, u"b");

    text = u"\tlead";
    EXPECT_TRUE(SplitFirst(text, u"\t", part, false));
    EXPECT_EQ(part, u"");
    EXPECT_EQ(text, u"lead");
}

TEST(SplitFirst, EarliestSeparatorWinsAndListOrderBreaksTies)
{
    String text = u"a\r\nb";
    String part;
    EXPECT_TRUE(SplitFirst(text, std::vector<String>{u"\r", u"\r\n"}, part, false));
    EXPECT_EQ(part, u"a");
    EXPECT_EQ(text, u"\nb"); // the lone CR was listed first
}

using TestSupport::Bytes;

TEST(WideToUtf8, ConvertsEveryCharacter)
{
    struct Case {
        String Text;
        std::string Expected;
    };
    const Case cases[] = {
        {u"", ""},
        {u"abc", "abc"},
        {u"\u00E9", Bytes({0xC3, 0xA9})},
        {u"\u0800\u4E2D\uFFFF", Bytes({0xE0, 0xA0, 0x80, 0xE4, 0xB8, 0xAD, 0xEF, 0xBF, 0xBF})},
        {String(1000, u'\u4E2D'), [] {
             std::string bytes;
             for (int i = 0; i < 1000; ++i)
                 bytes += Bytes({0xE4, 0xB8, 0xAD});
             return bytes;
         }()},
        {u"\U0001F600", Bytes({0xF0, 0x9F, 0x98, 0x80})},
        {String(1, u'\xD800') + u"x", Bytes({0xEF, 0xBF, 0xBD, 'x'})}, // an unpaired surrogate
        {u"a\u00E9b\U0001F600c", "a" + Bytes({0xC3, 0xA9}) + "b" + Bytes({0xF0, 0x9F, 0x98, 0x80}) + "c"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WideToUtf8(c.Text), c.Expected);
}

TEST(QuotedName, DoublesEveryQuote)
{
    const std::pair<String, String> cases[] = {
        {u"", u"\"\""},
        {u"a.txt", u"\"a.txt\""},
        {u"\"", u"\"\"\"\""},
        {u"\"a\"\"b\"", u"\"\"\"a\"\"\"\"b\"\"\""},
    };
    for (const auto& [name, quoted] : cases) {
        String text = u"x";
        AppendQuotedName(text, name);
        EXPECT_EQ(text, u"x" + quoted);
    }
}

TEST(WideToMultiByte, AnsiBytesAndTheDefaultCharacter)
{
    const String text = u"a\u00E9\u20AC\u4E2D";
    EXPECT_EQ(WideToMultiByte(Platform::CodePage::Ansi, text.data(), static_cast<int>(text.size())),
              Bytes({'a', 0xE9, 0x80, '?'}));
    EXPECT_EQ(WideToMultiByte(Platform::CodePage::Ansi, text.data(), 0), "");
    EXPECT_EQ(WideToMultiByte(Platform::CodePage::Ansi, text.data(), -1), "");
}

TEST(WideToMultiByte, RefusalRaisesConversionFailed)
{
    const String text = u"abc";
    try {
        WideToMultiByte(12345, text.data(), 3); // no such code page
        FAIL() << "no error";
    } catch (const EStringError& e) {
        EXPECT_EQ(e.Message(), u"Conversion failed.");
    }
}

TEST(AnsiToOem, KeepsTheLength)
{
    EXPECT_EQ(AnsiToOem(Bytes({0xE9, 0xC4, 0xF1, 'a', 'b', 'c'})), Bytes({0x82, 0x8E, 0xA4, 'a', 'b', 'c'}));
    EXPECT_EQ(AnsiToOem(std::string()), "");
    EXPECT_EQ(AnsiToOem("abc", 0), "");
    EXPECT_EQ(AnsiToOem("abc", -5), "");
}

#ifndef _WIN32
TEST(AnsiToOem, CharactersCodePage437LacksBecomeQuestionMarks)
{
    // Windows maps some of these to look-alikes; the emulation does not.
    EXPECT_EQ(AnsiToOem(Bytes({0x80, 0xBE, 0x81, 'x'})), "???x");
}
#endif

TEST(MultiByteToWideChar, StrictUtf8Check)
{
    struct Case {
        std::string Bytes;
        bool Valid;
    };
    const Case cases[] = {
        {"plain", true},
        {Bytes({'a', 0x00, 'b'}), true},
        {Bytes({0xC3, 0xA9}), true},
        {Bytes({0xC3}), false},             // cut short
        {Bytes({0xE9, 0x20, 0x41}), false}, // a Latin-1 byte
        {Bytes({0xC0, 0x80}), false},       // overlong
        {Bytes({0xED, 0xA0, 0x80}), false}, // a surrogate
    };
    for (const auto& c : cases) {
        const int length =
            Platform::MultiByteToWideChar(Platform::CodePage::Utf8, Platform::MultiByteFlag::ErrorInvalidChars,
                                          c.Bytes.data(), static_cast<int>(c.Bytes.size()), nullptr, 0);
        EXPECT_EQ(length != 0, c.Valid) << testing::PrintToString(c.Bytes);
    }
}

TEST(MessageText, NoneAsksNothingOthersAskTheHost)
{
    TestSupport::FakeHost host;
    host.Messages[8] = u"Heading";
    EXPECT_EQ(MessageText(TMessage::None), u"");
    EXPECT_EQ(host.GetMsgCalls, 0);
    EXPECT_EQ(MessageText(TMessage::FailureListHeading), u"Heading");
    EXPECT_EQ(host.GetMsgCalls, 1);
}

} // namespace
