// Base: formatting, integer conversion, UTF conversion, exception class names.
#include "base/Exception.h"
#include "base/Format.h"
#include "base/IntConvert.h"
#include "base/Utf.h"

#include <gtest/gtest.h>

#include <new>
#include <optional>

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

TEST(Exception, ClassNamesAreMostDerived)
{
    EXPECT_EQ(EConvertError(u"x").ClassName(), u"EConvertError");
    EXPECT_EQ(ExceptionClassName(EWriteError(u"x")), u"EWriteError");
    EXPECT_EQ(ExceptionClassName(std::bad_alloc()), u"std::bad_alloc");
    EXPECT_EQ(ExceptionMessage(EListError(u"List index out of bounds (3)")), u"List index out of bounds (3)");
}

} // namespace
