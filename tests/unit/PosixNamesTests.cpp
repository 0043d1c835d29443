// The mapping between POSIX names (bytes) and the UTF-16 the plugin sees:
// exact both ways, so a name always leads back to its own file only.
#include "base/PosixNames.h"

#include <gtest/gtest.h>

#include <random>

namespace {

TEST(PosixNames, Table)
{
    struct Case {
        std::string Bytes;
        std::u16string Shown;
    };
    const Case cases[] = {
        {"plain.txt", u"plain.txt"},
        {"caf\xC3\xA9.txt", u"caf\u00E9.txt"},            // UTF-8
        {"caf\xE9.txt", u"caf\xDCE9.txt"},                 // Latin-1: the byte stands alone
        {"caf\xEF\xBF\xBD.txt", u"caf\uFFFD.txt"},         // a real U+FFFD is not a stand-in
        {"a\\b.txt", u"a\uF05Cb.txt"},                     // a backslash is part of the name
        {"x:*?\"<>|", u"x\uF03A\uF02A\uF03F\uF022\uF03C\uF03E\uF07C"},
        {"\xEF\x81\x9C", u"\xDCEF\xDC81\xDC9C"},           // U+F05C written as UTF-8: shown byte by byte
        {"\xED\xA0\x80", u"\xDCED\xDCA0\xDC80"},           // an encoded surrogate is no character
        {"\xC0\xAF", u"\xDCC0\xDCAF"},                     // nor is an overlong form
        {"\xF0\x9F\x98\x80", u"\U0001F600"},               // outside the BMP: a surrogate pair
        {"dir/name", u"dir/name"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PosixNames::ToUtf16(c.Bytes), c.Shown) << c.Bytes;
        EXPECT_EQ(PosixNames::FromUtf16(c.Shown), c.Bytes) << c.Bytes;
        // Added to a text already there, as a listing's one buffer gets it.
        std::u16string text = u"éx";
        PosixNames::AppendUtf16(text, c.Bytes);
        EXPECT_EQ(text, u"éx" + c.Shown) << c.Bytes;
    }
    EXPECT_EQ(PosixNames::FromUtf16(u"dir\\name"), "dir/name"); // '\' separates, as '/' does
    // Texts no name shows as: a forbidden character itself, a surrogate that
    // stands for no byte, stand-ins that would read back as a character.
    for (const std::u16string& text : {std::u16string(u"a:b"), std::u16string(u"a*"), std::u16string(1, 0xD800),
                                       std::u16string(1, 0xDC41), std::u16string(u"\xDCC3\xDCA9"),
                                       std::u16string(u"a\0b", 3)})
        EXPECT_FALSE(PosixNames::FromUtf16(text).has_value());
}

TEST(PosixNames, EveryNameRoundTripsAndDistinctNamesStayDistinct)
{
    std::mt19937 random(20240611);
    const std::string alphabet = std::string("ab.\\:*/ ") + "\xC3\xA9\xE9\xEF\xBF\xBD\x80\xFF\xF0\x9F\x98\x80";
    std::uniform_int_distribution<size_t> length(0, 12);
    std::uniform_int_distribution<size_t> pick(0, alphabet.size() - 1);
    std::uniform_int_distribution<int> unit(0, 0xFFFF);
    for (int i = 0; i < 5000; ++i) {
        std::string bytes;
        for (size_t n = length(random); n > 0; --n)
            bytes += alphabet[pick(random)];
        EXPECT_EQ(PosixNames::FromUtf16(PosixNames::ToUtf16(bytes)), bytes);

        // Any text at all: either refused, or it is exactly what its bytes show.
        std::u16string text;
        for (size_t n = length(random); n > 0; --n)
            text += static_cast<char16_t>(i % 2 == 0 ? unit(random) : 0xDC80 + unit(random) % 0x80);
        if (const auto mapped = PosixNames::FromUtf16(text)) {
            std::u16string expected = text;
            for (char16_t& c : expected)
                c = c == u'\\' ? u'/' : c;
            EXPECT_EQ(PosixNames::ToUtf16(*mapped), expected);
        }
    }
}

} // namespace
