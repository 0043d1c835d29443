// Letter case through its three functions; on the Windows build the tables
// are also compared with what the system itself maps, over every code point.
#include "plugin/uLetterCase.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

using namespace Zelvane;

TEST(LetterCase, MapsAsTheInvariantLocale)
{
    const struct {
        std::u16string_view text, upper, lower, title;
    } cases[] = {
        {u"", u"", u"", u""},
        {u"DSC 01.JPG", u"DSC 01.JPG", u"dsc 01.jpg", u"Dsc 01.Jpg"},
        {u"don't stop", u"DON'T STOP", u"don't stop", u"Don't Stop"},
        {u"don’t STOP", u"DON’T STOP", u"don’t stop", u"Don’t Stop"},
        {u"'tis 'TWAS' o'neill", u"'TIS 'TWAS' O'NEILL", u"'tis 'twas' o'neill", u"'Tis 'Twas' O'neill"},
        {u"čaj ŽLUŤOUČKÝ", u"ČAJ ŽLUŤOUČKÝ", u"čaj žluťoučký", u"Čaj Žluťoučký"},
        // One-to-one only: no "SS" for ß, and the characters whose upper case leads elsewhere keep theirs.
        {u"straße ß ı ς µ", u"STRAßE ß ı ς µ", u"straße ß ı ς µ", u"Straße ß ı ς µ"},
        {u"ПРИВЕТ мир", u"ПРИВЕТ МИР", u"привет мир", u"Привет Мир"},
        {u"ǆemal ǅ", u"ǄEMAL ǅ", u"ǆemal ǅ", u"Ǆemal ǅ"},
        // Digits and letters of any script continue a word; other characters start one.
        {u"2nd-place_x.y(z)", u"2ND-PLACE_X.Y(Z)", u"2nd-place_x.y(z)", u"2nd-Place_X.Y(Z)"},
        {u"a٣b 東a", u"A٣B 東A", u"a٣b 東a", u"A٣b 東a"},
        // Surrogate pairs are one character (Deseret); a lone surrogate passes and ends a word.
        {u"\U00010428\U00010429", u"\U00010400\U00010401", u"\U00010428\U00010429", u"\U00010400\U00010429"},
        {u"a\xD800" u"b\xDC00", u"A\xD800" u"B\xDC00", u"a\xD800" u"b\xDC00", u"A\xD800" u"B\xDC00"},
    };
    for (const auto& c : cases) {
        const std::string what(c.text.begin(), c.text.end());
        EXPECT_EQ(UpperCase(c.text), c.upper) << what;
        EXPECT_EQ(LowerCase(c.text), c.lower) << what;
        EXPECT_EQ(TitleCase(c.text), c.title) << what;
    }
}

#ifdef _WIN32
TEST(LetterCase, EqualsTheSystemsMappingForEveryCharacter)
{
    int differences = 0;
    for (char32_t c = 0; c < 0x110000; ++c) {
        if (c >= 0xD800 && c < 0xE000)
            continue;
        std::u16string text;
        if (c < 0x10000) {
            text.push_back(static_cast<char16_t>(c));
        } else {
            text.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
            text.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        }
        for (const DWORD how : {DWORD{LCMAP_UPPERCASE}, DWORD{LCMAP_LOWERCASE}}) {
            wchar_t system[8] = {};
            const int length = LCMapStringEx(LOCALE_NAME_INVARIANT, how, reinterpret_cast<const wchar_t*>(text.data()),
                                             static_cast<int>(text.size()), system, 8, nullptr, nullptr, 0);
            const std::u16string expected(reinterpret_cast<const char16_t*>(system), length > 0 ? length : 0);
            const std::u16string ours = how == LCMAP_UPPERCASE ? UpperCase(text) : LowerCase(text);
            if (ours != expected && ++differences <= 20)
                ADD_FAILURE() << std::hex << "U+" << static_cast<uint32_t>(c) << (how == LCMAP_UPPERCASE ? " upper" : " lower");
        }
    }
    EXPECT_EQ(differences, 0);
}
#endif
