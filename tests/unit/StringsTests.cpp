// Splitting texts into lines and fields.
#include "plugin/uStrings.h"

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

} // namespace
