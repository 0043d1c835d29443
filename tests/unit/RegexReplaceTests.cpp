// The replace modifier's engine through Compile and Apply: the same rows
// run on both builds, so both give the same results.
#include "plugin/uRegex.h"

#include <gtest/gtest.h>

#include <chrono>

using namespace Zelvane;

namespace {

using RegexOptions = TRegexReplace::TOptions;

std::string NarrowForMessage(std::u16string_view text)
{
    std::string narrow;
    for (const char16_t c : text)
        narrow += c < 0x80 ? static_cast<char>(c) : '?';
    return narrow;
}

} // namespace

TEST(RegexReplace, ReplacesAsTheFlagsSay)
{
    const RegexOptions regex, regexAll{false, false, true}, regexNoCase{false, true, false};
    const RegexOptions text{true, false, false}, textAll{true, false, true}, textNoCase{true, true, true};
    const struct {
        std::u16string_view find, replace;
        RegexOptions options;
        std::u16string_view text, expected;
    } cases[] = {
        {u"IMG_(\\d+)", u"Trip $1", regex, u"IMG_0042.JPG", u"Trip 0042.JPG"},
        {u"(\\w+)-(\\w+)", u"$2-$1 [$0] $$1 $", regex, u"ab-cd.txt", u"cd-ab [ab-cd] $1 $.txt"},
        // $10 is group 1 and a 0; an unmatched group and a group the expression lacks give nothing.
        {u"(a)(x)?", u"<$10|$2|$7>", regex, u"abc", u"<a0||>bc"},
        {u"o", u"0", regex, u"foo boo", u"f0o boo"},
        {u"o", u"0", regexAll, u"foo boo", u"f00 b00"},
        {u"x*", u"-", regexAll, u"abc", u"-a-b-c-"},
        {u"^", u">", regexAll, u"abc", u">abc"},
        {u"z", u"-", regexAll, u"abc", u"abc"},
        // Letters, \w and ignoring case are Unicode's.
        {u"\\w+", u"[$0]", regexAll, u"čaj, 東京 42", u"[čaj], [東京] [42]"},
        {u"ČAJ", u"tea", regexNoCase, u"Zelený čaj", u"Zelený tea"},
        {u"[[:upper:]]", u"_", {false, false, true}, u"aÉbΣc", u"a_b_c"},
        // A surrogate pair is one character.
        {u"^.(.)", u"$1", regex, u"\U0001F600\U0001F601x", u"\U0001F601x"},
        {u"", u"-", regexAll, u"a\U0001F600", u"-a-\U0001F600-"},
        // Text that is not valid UTF-16 is matched around its lone surrogates.
        {u"b+", u"B", regexAll, u"a\xD800" u"bb\xDC00" u"b", u"a\xD800" u"B\xDC00" u"B"},
        {u".", u"-", regexAll, u"\xDC00" u"a", u"\xDC00" u"-"},
        // Plain text: nothing in FIND or REPLACE is special.
        {u" ", u"_", text, u"a b c", u"a_b c"},
        {u" ", u"_", textAll, u"a b c", u"a_b_c"},
        {u"a.b$1", u"$1\\", textAll, u"a.b$1 axb1", u"$1\\ axb1"},
        {u"čaj", u"tea", textNoCase, u"ČAJ a Čaj", u"tea a tea"},
        {u"", u"-", text, u"abc", u"-abc"},
    };
    for (const auto& c : cases) {
        String error;
        const auto replace = TRegexReplace::Compile(c.find, c.replace, c.options, error);
        ASSERT_TRUE(replace) << NarrowForMessage(c.find) << ": " << NarrowForMessage(error);
        EXPECT_EQ(replace->Apply(c.text), c.expected) << NarrowForMessage(c.find) << " over " << NarrowForMessage(c.text);
    }
}

TEST(RegexReplace, RefusesWhatDoesNotCompileWithTheEnginesMessage)
{
    const struct {
        std::u16string_view find, message;
    } cases[] = {
        {u"IMG_(\\d+", u"missing closing parenthesis at offset 8"},
        {u"a{2,1}", u"numbers out of order in {} quantifier at offset 5"},
        {u"ab\xD800", u"UTF-16 error: missing low surrogate at end at offset 2"},
    };
    for (const auto& c : cases) {
        String error;
        EXPECT_FALSE(TRegexReplace::Compile(c.find, u"x", {}, error)) << NarrowForMessage(c.find);
        EXPECT_EQ(error, c.message) << NarrowForMessage(error);
    }
}

TEST(RegexReplace, GivesUpOnAnExpressionThatBacktracksWithoutEnd)
{
    String error;
    const auto replace = TRegexReplace::Compile(u"(a+)+$", u"x", {}, error);
    ASSERT_TRUE(replace);
    const String name = String(40, u'a') + u"!";
    const auto start = std::chrono::steady_clock::now();
    // The bound reached: Apply leaves the name as it is, TryApply says it gave up.
    EXPECT_EQ(replace->Apply(name), name);
    EXPECT_EQ(replace->TryApply(name), std::nullopt);
    EXPECT_EQ(replace->TryApply(u"aaa"), u"x"); // and the same object goes on working
    EXPECT_EQ(replace->TryApply(u"b"), u"b");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5)); // without a bound: hours
}
