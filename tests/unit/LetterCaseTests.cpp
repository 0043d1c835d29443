// Letter case through its three functions; on the Windows build the tables
// are also compared with what the system itself maps.
#include "plugin/uLetterCase.h"

#include <gtest/gtest.h>

using namespace Zelvane;

TEST(LetterCase, MapsAsTheInvariantLocale)
{
    const struct {
        std::u16string_view text, upper, lower, title;
    } cases[] = {
        {u"", u"", u"", u""},
        {u"DSC 01.JPG", u"DSC 01.JPG", u"dsc 01.jpg", u"Dsc 01.Jpg"},
        {u"don't stop", u"DON'T STOP", u"don't stop", u"Don't Stop"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(UpperCase(c.text), c.upper);
        EXPECT_EQ(LowerCase(c.text), c.lower);
        EXPECT_EQ(TitleCase(c.text), c.title);
    }
}
