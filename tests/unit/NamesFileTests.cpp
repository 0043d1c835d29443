// The names file of an edit run: its lines read back whatever line ends and
// mark the editor left, and a name written and read back is the same name.
#include "base/PosixNames.h"
#include "base/Utf.h"
#include "plugin/uNamesFile.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

using Base::String;
using Zelvane::FitsOnALine;
using Zelvane::NamesFileBytes;
using Zelvane::ReadNamesText;

std::string Printable(std::string_view bytes)
{
    std::string text;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F) {
            text += c;
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            text += escaped;
        }
    }
    return text;
}

TEST(NamesFile, ReadsLinesAsTheEditorLeftThem)
{
    struct Row {
        std::string Bytes;
        std::vector<String> Lines;
        size_t FirstLineNotUtf8 = 0;
    };
    const Row rows[] = {
        {"", {}},
        {"a", {u"a"}},
        {"a\n", {u"a"}},
        {"a\r\nb", {u"a", u"b"}},
        {"a\rb\r", {u"a", u"b"}},
        {"a\nb\r\nc\rd", {u"a", u"b", u"c", u"d"}},
        // An empty line is a line: its file's new name is empty (refused).
        {"\n", {u""}},
        {"a\n\nb\n", {u"a", u"", u"b"}},
        {"a\r\r\nb", {u"a", u"", u"b"}},
        {"a\n\r", {u"a", u""}},
        {"\xEF\xBB\xBF" "a\r\nb\r\n", {u"a", u"b"}},
        {"\xEF\xBB\xBF", {}},
        // Only the mark at the very start is one; a second is a name's character.
        {"\xEF\xBB\xBF\xEF\xBB\xBF" "a", {u"\uFEFFa"}},
        {"a\n\xEF\xBB\xBF" "b", {u"a", u"\uFEFFb"}},
        // Blanks are the name rule's to trim.
        {"a  \n b\t\n. \n", {u"a  ", u" b\t", u". "}},
        {"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80", {u"caf\u00E9 \u20AC \U0001F600"}},
        // Bytes that are not UTF-8 text stand for themselves, one by one.
        {"a\xFF" "b\nc\x80", {u"a\xDCFF" u"b", u"c\xDC80"}, 1},
        {"ok\n\xC3", {u"ok", u"\xDCC3"}, 2},
        {"\xE2\x82" "a", {u"\xDCE2\xDC82" u"a"}, 1},
        {"\xC0\xAF", {u"\xDCC0\xDCAF"}, 1},          // an overlong '/'
        {"\xED\xA0\x80", {u"\xDCED\xDCA0\xDC80"}, 1}, // an encoded surrogate
        {"\xC3\n\xA9", {u"\xDCC3", u"\xDCA9"}, 1},    // a line break cuts a sequence
    };
    for (const Row& row : rows) {
        const Zelvane::TNamesText text = ReadNamesText(row.Bytes);
        EXPECT_EQ(text.Lines, row.Lines) << Printable(row.Bytes);
        EXPECT_EQ(text.FirstLineNotUtf8, row.FirstLineNotUtf8) << Printable(row.Bytes);
    }
}

TEST(NamesFile, NamesReadBackAsWritten)
{
    const std::vector<String> names = {
        u"photo.jpg",
        u"  blanks and dots . ",
        u"\uFEFFstarts with a mark",
        u"\U0001F600 and caf\u00E9",
        u"a\uF03Ab", // a POSIX name holding ':', as the panel shows it
        u"",
        PosixNames::ToUtf16("latin1 \xE9t\xE9"),
        PosixNames::ToUtf16("\xFF\xFE"),
        PosixNames::ToUtf16("cut \xE2\x82"),
    };
    const std::optional<std::string> bytes = NamesFileBytes(names);
    ASSERT_TRUE(bytes.has_value());
    EXPECT_TRUE(bytes->starts_with("\xEF\xBB\xBF" "photo.jpg\r\n"));
    const Zelvane::TNamesText text = ReadNamesText(*bytes);
    EXPECT_EQ(text.Lines, names);
    EXPECT_EQ(text.FirstLineNotUtf8, 7u);
}

TEST(NamesFile, NamesThatWouldReadBackOtherwiseDoNotFit)
{
    struct Row {
        String Name;
        bool Fits;
    };
    const Row rows[] = {
        {u"plain", true},
        {u"a\nb", false},
        {u"a\rb", false},
        {u"\u2028 is no line break here", true},
        {u"lone \xD800 high", false},
        {u"lone \xDC00 low", false}, // stands for no byte
        {u"pair \xD83D\xDE00", true},
        {u"\xDCC3\xDCA9", false}, // the bytes of "é" would read back as it
        {u"\xDCC3 \xDCA9", true},
        {u"\xDCEF\xDCBB\xDCBF" u"x", false},          // the bytes of a mark
        {PosixNames::ToUtf16("\xEF\x80\xBA"), false}, // the bytes of the stand-in of ':'
    };
    for (const Row& row : rows) {
        EXPECT_EQ(FitsOnALine(row.Name), row.Fits) << Printable(Base::ToUtf8(row.Name));
        EXPECT_EQ(NamesFileBytes({u"first", row.Name}).has_value(), row.Fits) << Printable(Base::ToUtf8(row.Name));
    }
}

} // namespace
