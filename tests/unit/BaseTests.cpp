// Base: formatting, integer conversion, UTF conversion and the UTF-8
// sequence decoder, file times, exception class names.
#include "base/Exception.h"
#include "base/FileTime.h"
#include "base/Format.h"
#include "base/IntConvert.h"
#include "base/Utf.h"
#include "base/Utf8Sequence.h"

#include <gtest/gtest.h>

#include <limits>
#include <new>
#include <optional>
#include <string>

using namespace Base;

namespace {

struct IntCase {
    const char16_t* Text;
    std::optional<int32_t> Value;
};

class StrToIntTable : public ::testing::TestWithParam<IntCase> {};

TEST_P(StrToIntTable, ConvertsOrRejects)
{
    const auto& c = GetParam();
    EXPECT_EQ(TryStrToInt(c.Text), c.Value) << ToUtf8(c.Text);
    if (c.Value) {
        EXPECT_EQ(StrToInt(c.Text), *c.Value);
    } else {
        try {
            StrToInt(c.Text);
            FAIL() << "no exception for " << ToUtf8(c.Text);
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), u"''" + String(c.Text) + u"'' is not a valid integer value");
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, StrToIntTable,
                         ::testing::Values(IntCase{u"0", 0}, IntCase{u"007", 7}, IntCase{u"  42", 42},
                                           IntCase{u"+5", 5}, IntCase{u"-5", -5}, IntCase{u"$ff", 255},
                                           IntCase{u"xFF", 255}, IntCase{u"XfF", 255}, IntCase{u"0x10", 16},
                                           IntCase{u"0X1a", 26}, IntCase{u"0x", 0},
                                           IntCase{u"2147483647", 2147483647},
                                           IntCase{u"-2147483648", INT32_MIN}, IntCase{u"$7FFFFFFF", INT32_MAX},
                                           IntCase{u"", std::nullopt}, IntCase{u"   ", std::nullopt},
                                           IntCase{u"2147483648", std::nullopt},
                                           IntCase{u"-2147483649", std::nullopt},
                                           IntCase{u"$80000000", std::nullopt}, IntCase{u"12 ", std::nullopt},
                                           IntCase{u"1a", std::nullopt}, IntCase{u"$", std::nullopt},
                                           IntCase{u"x", std::nullopt}, IntCase{u"+", std::nullopt},
                                           IntCase{u"-$5", std::nullopt}, IntCase{u"\t1", std::nullopt},
                                           IntCase{u"99999999999999999999", std::nullopt}));

TEST(Format, InsertsArguments)
{
    EXPECT_EQ(Format(u"%s: Exception %s: %s", {u"OpenW", u"EFarError", u"boom"}), u"OpenW: Exception EFarError: boom");
    EXPECT_EQ(Format(u"%d|%5d|%-4d|%03d|%x|%X|%%", {-5, 42, 7, 7, 255, 255}), u"-5|   42|7   |007|ff|FF|%");
    EXPECT_EQ(Format(u"[%.2s][%4s]", {u"abcdef", u"ab"}), u"[ab][  ab]");
    EXPECT_EQ(Format(u"%x|%u|%X", {-1, -1, -2LL}), u"ffffffff|4294967295|FFFFFFFFFFFFFFFE");
}

TEST(Format, RaisesOnBadFormats)
{
    EXPECT_THROW(Format(u"%s %s", {u"one"}), EConvertError);
    EXPECT_THROW(Format(u"%d", {u"text"}), EConvertError);
    EXPECT_THROW(Format(u"%s", {5}), EConvertError);
    EXPECT_THROW(Format(u"%q", {5}), EConvertError);
    EXPECT_THROW(Format(u"100%", {}), EConvertError);
}

TEST(Utf, RoundTripsAndRepairs)
{
    const String text = u"a\u00e9\u4e2d\U0001F600";
    EXPECT_EQ(ToUtf8(text), "a\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80");
    EXPECT_EQ(FromUtf8(ToUtf8(text)), text);
    EXPECT_EQ(ToUtf8(String(1, char16_t(0xD800))), "\xEF\xBF\xBD");
    EXPECT_EQ(FromUtf8("\xC3"), String(1, char16_t(0xFFFD)));
    EXPECT_TRUE(IsValidUtf8("abc\xC3\xA9"));
    EXPECT_FALSE(IsValidUtf8("\xC3"));
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));       // overlong
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));   // surrogate
}

// Every caller that reads UTF-8 decides through this one decoder which
// bytes are well-formed; how many bytes a bad sequence covers decides where
// decoding resumes.
TEST(Utf8Sequence, TakesWellFormedSequencesOnlyAndCoversTheBadPart)
{
    struct Case {
        std::string_view Bytes;
        char32_t Char; // when valid
        size_t Length;
        bool Valid;
        bool CutOff;
    };
    const Case cases[] = {
        {"A", U'A', 1, true, false},
        {"\x7F", 0x7F, 1, true, false},
        {"\xC2\x80", 0x80, 2, true, false},
        {"\xDF\xBF", 0x7FF, 2, true, false},
        {"\xE0\xA0\x80", 0x800, 3, true, false},
        {"\xED\x9F\xBF", 0xD7FF, 3, true, false}, // last before the surrogates
        {"\xEE\x80\x80", 0xE000, 3, true, false}, // first after them
        {"\xEF\xBF\xBF", 0xFFFF, 3, true, false},
        {"\xF0\x90\x80\x80", 0x10000, 4, true, false},
        {"\xF4\x8F\xBF\xBF", 0x10FFFF, 4, true, false},
        {"\xC3\xA9rest", 0xE9, 2, true, false}, // what follows is not taken
        // Overlong forms.
        {"\xC0\x80", 0, 1, false, false},
        {"\xC1\xBF", 0, 1, false, false},
        {"\xE0\x80\x80", 0, 1, false, false},
        {"\xE0\x9F\xBF", 0, 1, false, false},
        {"\xF0\x80\x80\x80", 0, 1, false, false},
        {"\xF0\x8F\xBF\xBF", 0, 1, false, false},
        // Surrogates.
        {"\xED\xA0\x80", 0, 1, false, false},
        {"\xED\xBF\xBF", 0, 1, false, false},
        // Above U+10FFFF.
        {"\xF4\x90\x80\x80", 0, 1, false, false},
        {"\xF5\x80\x80\x80", 0, 1, false, false},
        {"\xFF", 0, 1, false, false},
        // A continuation byte without its lead, and a lead without them.
        {"\x80", 0, 1, false, false},
        {"\xC3" "A", 0, 1, false, false},
        {"\xE2\x82" "A", 0, 2, false, false},
        {"\xF0\x9F\x98" "A", 0, 3, false, false},
        // Cut off: more bytes could still make it well-formed.
        {"\xC3", 0, 1, false, true},
        {"\xE2\x82", 0, 2, false, true},
        {"\xF0\x9F\x98", 0, 3, false, true},
        {"\xE0\x80", 0, 1, false, false}, // never: overlong already
        {"\xED\xA0", 0, 1, false, false}, // never: a surrogate already
    };
    for (const Case& c : cases) {
        const Utf8Sequence sequence = DecodeUtf8Sequence(c.Bytes, 0);
        SCOPED_TRACE(testing::PrintToString(std::string(c.Bytes)));
        EXPECT_EQ(sequence.Valid, c.Valid);
        EXPECT_EQ(sequence.CutOff, c.CutOff);
        EXPECT_EQ(sequence.Length, c.Length);
        if (c.Valid) {
            EXPECT_EQ(sequence.Char, c.Char);
            std::string encoded;
            AppendUtf8(encoded, c.Char);
            EXPECT_EQ(encoded, c.Bytes.substr(0, c.Length));
        }
        // The string conversions agree: one U+FFFD per bad byte.
        if (!c.Valid) {
            EXPECT_EQ(FromUtf8(c.Bytes.substr(0, c.Length)), String(c.Length, u'\uFFFD'));
        }
    }
    const Utf8Sequence inside = DecodeUtf8Sequence("x\xC3\xA9", 1);
    EXPECT_TRUE(inside.Valid);
    EXPECT_EQ(inside.Char, 0xE9u);
}

TEST(FileTime, ConvertsBothWaysAndRefusesWhatAFileTimeCannotHold)
{
    constexpr int64_t Max = std::numeric_limits<int64_t>::max();
    struct Case {
        int64_t Seconds;
        int64_t Nanoseconds;
        std::optional<uint64_t> Ticks;
    };
    const Case cases[] = {
        {0, 0, 116444736000000000u},
        {1, 999999999, 116444736019999999u},  // a part step is dropped
        {-1, 999999900, 116444735999999999u}, // just before 1970
        {-11644473600, 0, 0u},                // 1601-01-01, the first file time
        {-11644473601, 999999999, std::nullopt},
        {910692730085, 477580700, uint64_t(Max)}, // the last one Windows takes
        {910692730085, 477580800, std::nullopt},
        {910692730086, 0, std::nullopt},
        {Max, 0, std::nullopt},
        {std::numeric_limits<int64_t>::min(), 0, std::nullopt},
        {0, -1, std::nullopt},
        {0, 1000000000, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.Seconds) + " s " + std::to_string(c.Nanoseconds) + " ns");
        EXPECT_EQ(FileTimeFromUnixTime({c.Seconds, c.Nanoseconds}), c.Ticks);
        if (c.Ticks) {
            const UnixTime back = UnixTimeFromFileTime(*c.Ticks);
            EXPECT_EQ(back.Seconds, c.Seconds);
            EXPECT_EQ(back.Nanoseconds, c.Nanoseconds / 100 * 100);
        }
    }
    // Counts Windows does not take still convert without overflow.
    const UnixTime last = UnixTimeFromFileTime(std::numeric_limits<uint64_t>::max());
    EXPECT_EQ(last.Seconds, 1844674407370 - 11644473600);
    EXPECT_EQ(last.Nanoseconds, 955161500);
}

TEST(Exception, ClassNamesAreMostDerived)
{
    EXPECT_EQ(EConvertError(u"x").ClassName(), u"EConvertError");
    EXPECT_EQ(ExceptionClassName(EWriteError(u"x")), u"EWriteError");
    EXPECT_EQ(ExceptionClassName(std::bad_alloc()), u"std::bad_alloc");
    EXPECT_EQ(ExceptionMessage(EListError(u"List index out of bounds (3)")), u"List index out of bounds (3)");
}

} // namespace
