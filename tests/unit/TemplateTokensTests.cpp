// The %{...} tokens of the name template (text sources, ranges, letter
// case, replace, dates, the date taken) through the rename plan's public
// face, and what the plan does with the counter when a file fails.
#include "PhotoBytes.h"
#include "TestFiles.h"

#include "base/Utf.h"
#include "platform/Platform.h"
#include "plugin/uRenamePlan.h"
#include "plugin/uTemplate.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

using Base::String;
using Zelvane::TPreviewReason;

// A JPEG of a few hundred bytes whose EXIF block says it was taken then.
std::string Photo(const std::string& dateTimeOriginal)
{
    TestSupport::PhotoLayout layout;
    layout.DateTimeOriginal = dateTimeOriginal;
    const std::vector<unsigned char> bytes = TestSupport::JpegBytes(layout);
    return std::string(bytes.begin(), bytes.end());
}

// A file time that is a calendar time everywhere: 2023-03-04 05:06:07 UTC.
constexpr uint64_t SomeFileTime = 133223799670000000;

String LocalText(uint64_t fileTime, const char* format)
{
    Platform::LocalTime t;
    EXPECT_TRUE(Platform::FileTimeToLocalTime(fileTime, &t));
    char text[64];
    std::snprintf(text, sizeof text, format, t.Year, t.Month, t.Day, t.Hour, t.Minute, t.Second);
    return String(text, text + std::char_traits<char>::length(text));
}

struct TokenCase {
    const char16_t* Template;
    const char16_t* FileName;
    const char16_t* Expected; // the expanded name
    TPreviewReason Reason = TPreviewReason::None;
};

class TemplateTokens : public ::testing::Test {
protected:
    void SetUp() override
    {
        Directory = Root.Name("Photos") + String(1, std::filesystem::path::preferred_separator);
        std::filesystem::create_directories(Root.Child("Photos"));
        TestSupport::WriteBytes(Root.Child("Photos") / "IMG_0042.JPG", Photo("2024:07:14 09:05:33"));
        TestSupport::WriteBytes(Root.Child("Photos") / "blank.jpg", Photo("0000:00:00 00:00:00"));
        TestSupport::WriteBytes(Root.Child("Photos") / "notes.txt", "not a photo");
    }

    Zelvane::TPlannedFile Plan(const String& text, const String& fileName, int32_t counter = 7,
                               uint64_t modified = SomeFileTime)
    {
        Zelvane::TTemplateError error;
        std::optional<Zelvane::TTemplate> compiled = Zelvane::TTemplate::Compile(text, 1, error);
        EXPECT_TRUE(compiled.has_value()) << Base::ToUtf8(error.Expression + u": " + error.Message);
        if (!compiled)
            return {};
        Zelvane::TRenamePlan plan(std::move(*compiled), Directory, counter, 12);
        Zelvane::TPlanFile file;
        file.Name = fileName;
        file.Modified = modified;
        file.Created = modified;
        return plan.Next(file);
    }

    TestSupport::TestFolder Root;
    String Directory;
};

TEST_F(TemplateTokens, ExpandEveryTokenAndModifier)
{
    const TokenCase cases[] = {
        // The examples people rename with.
        {u"%{f:/IMG_(\\d+)/Trip $1/r}", u"IMG_0042.JPG", u"Trip 0042.JPG"},
        {u"%{n:lower}.%{e:lower}", u"DSC 01.JPG", u"dsc 01.jpg"},
        {u"%{n:..8}", u"holiday-2024-final.txt", u"holiday-"},
        {u"%{n:/ /_/g}.%e", u"my holiday pic.jpg", u"my_holiday_pic.jpg"},
        {u"%{folder}-%#.%e", u"x.jpg", u"Photos-7.jpg"},
        {u"%{n:-4..}", u"report-2024.pdf", u"2024"},
        {u"%{taken:yyyy-MM-dd HH.mm.ss} %#.%e", u"IMG_0042.JPG", u"2024-07-14 09.05.33 7.JPG"},
        {u"%{taken}", u"IMG_0042.JPG", u"2024-07-14"},
        {u"%{taken:yy MM dd, HH-mm-ss}", u"IMG_0042.JPG", u"24 07 14, 09-05-33"},
        // The sources and their long and short names, beside the old tokens.
        {u"%{name}+%{n}+%{ext}+%{e}+%{file}+%{f}", u"a.tar.gz", u"a.tar+a.tar+gz+gz+a.tar.gz+a.tar.gz"},
        {u"%n-%{n:upper}-%N", u"Mix.txt", u"Mix-MIX-Mix"},
        {u"[%{e}]", u"README", u"[]"},
        // Ranges: counted from 1, negative from the end, clipped, never an error.
        {u"%{n:2..-2}", u"abcdef.txt", u"bcde"},
        {u"%{n:3..3}", u"abcdef.txt", u"c"},
        {u"x%{n:5..3}y", u"abcdef.txt", u"xy"},
        {u"%{n:1..100}", u"abc.txt", u"abc"},
        {u"%{n:-100..2}", u"abc.txt", u"ab"},
        {u"%{n:..}", u"abc.txt", u"abc"},
        {u"%{n:..2}", u"\U0001F600\U0001F600x.txt", u"\U0001F600\U0001F600"},
        {u"%{n:-1..}", u"x\U0001F600.txt", u"\U0001F600"},
        // Letter case, the same on every build.
        {u"%{n:upper}", u"\u010Daj.txt", u"\u010CAJ"},
        {u"%{n:upper}", u"stra\u00DFe.txt", u"STRA\u00DFE"},
        {u"%{n:lower}", u"\u00C9T\u00C9.txt", u"\u00E9t\u00E9"},
        {u"%{n:title}", u"don't STOP.txt", u"Don't Stop"},
        // Replace: plain text unless r; i ignores case; g every match.
        {u"%{n:/A/x/}", u"aAaA.txt", u"axaA"},
        {u"%{n:/A/x/i}", u"aAaA.txt", u"xAaA"},
        {u"%{n:/A/x/ig}", u"aAaA.txt", u"xxxx"},
        {u"%{n:/./!/g}", u"a.b.c.txt", u"a!b!c"},
        {u"%{n:/./!/rg}", u"ab.txt", u"!!"},
        {u"%{f:/(\\w+)\\.(\\w+)/$2.$1/r}", u"photo.jpg", u"jpg.photo"},
        {u"%{n:/a/$$1/r}", u"cat.txt", u"c$1t"},
        {u"%{n:/a/$1/}", u"cat.txt", u"c$1t"},
        {u"%{f:/a(x)?/[$1]/r}", u"cat.txt", u"c[]t.txt"},
        // "}" and ":" inside FIND and REPLACE; "\/" is "/".
        {u"%{f:/}/;/}", u"a}b.txt", u"a;b.txt"},
        {u"%{f:/:/;/}", u"a:b.txt", u"a;b.txt"},
        {u"%{f:/a\\/b/+/}", u"a/b", u"+"},
        {u"%{f:/\\d/#/rg}", u"a1b22", u"a#b##"},
        // Modifiers left to right.
        {u"%{n:/_/ /g:title:..5}", u"big_red_dog.txt", u"Big R"},
        {u"%{n:..3:upper}%{n:4..}", u"abcdef.txt", u"ABCdef"},
        // Anything else is literal: "%{" gives "{", the rest reads as usual.
        {u"%{x}", u"a.txt", u"{x}"},
        {u"%{n", u"a.txt", u"{n"},
        {u"%{n:upper", u"a.txt", u"{n:upper", TPreviewReason::NameRefused},
        {u"%{n:bogus}", u"a.txt", u"{n:bogus}", TPreviewReason::NameRefused},
        {u"%{n:0..2}", u"a.txt", u"{n:0..2}", TPreviewReason::NameRefused},
        {u"%{n:/a/b/q}", u"a.txt", u"{n:/a/b/q}", TPreviewReason::NameRefused},
        {u"%{n:/a/b}", u"a.txt", u"{n:/a/b}", TPreviewReason::NameRefused},
        {u"%{N}", u"a.txt", u"{N}"},
        {u"%{n:}%#", u"a.txt", u"{n:}7", TPreviewReason::NameRefused},
        {u"%{%n}", u"a.txt", u"{a}"},
        {u"%%{n}", u"a.txt", u"%{n}"},
        {u"%{", u"a.txt", u"{"},
        // A file without the date the template uses fails; the token stays as written.
        {u"%{taken} %#", u"notes.txt", u"%{taken} 7", TPreviewReason::NoDateTaken},
        {u"%{taken:yyyy}", u"blank.jpg", u"%{taken:yyyy}", TPreviewReason::NoDateTaken},
        {u"%{taken}", u"missing.jpg", u"%{taken}", TPreviewReason::NoDateTaken},
        // A name Windows cannot hold is refused, as with the old tokens.
        {u"%{n:/a/</}", u"a.txt", u"<", TPreviewReason::NameRefused},
    };
    for (const TokenCase& c : cases) {
        SCOPED_TRACE(Base::ToUtf8(String(c.Template) + u" over " + c.FileName));
        const Zelvane::TPlannedFile planned = Plan(c.Template, c.FileName);
        EXPECT_EQ(planned.Expanded, c.Expected);
        EXPECT_EQ(planned.Reason, c.Reason);
    }
}

TEST_F(TemplateTokens, DatesOfThePanelItemInLocalTime)
{
    EXPECT_EQ(Plan(u"%{modified}", u"a.txt").Expanded, LocalText(SomeFileTime, "%04d-%02d-%02d"));
    EXPECT_EQ(Plan(u"%{created:yyyyMMdd-HHmmss}", u"a.txt").Expanded,
              LocalText(SomeFileTime, "%04d%02d%02d-%02d%02d%02d"));
    const Zelvane::TPlannedFile none = Plan(u"%{modified:yy}", u"a.txt", 7, 0);
    EXPECT_EQ(none.Reason, TPreviewReason::NoDate);
    EXPECT_EQ(none.Expanded, u"%{modified:yy}");
}

TEST(TemplateCompile, NamesTheExpressionThatDoesNotCompile)
{
    Zelvane::TTemplateError error;
    EXPECT_FALSE(Zelvane::TTemplate::Compile(u"%{n:/a(b/x/r}.%e", 1, error).has_value());
    EXPECT_EQ(error.Expression, u"a(b");
    EXPECT_FALSE(error.Message.empty());
    // The same text as plain text, or in a token that is not complete, is no expression.
    EXPECT_TRUE(Zelvane::TTemplate::Compile(u"%{n:/a(b/x/}", 1, error).has_value());
    EXPECT_TRUE(Zelvane::TTemplate::Compile(u"%{n:/a(b/x/r", 1, error).has_value());
}

TEST(TemplateFolder, LastPartOfTheFolder)
{
    const std::pair<const char16_t*, const char16_t*> cases[] = {
        {u"\\\\?\\C:\\Photos\\2024\\", u"2024"}, {u"\\\\?\\C:\\", u""},       {u"C:\\Photos", u"Photos"},
        {u"\\\\?\\UNC\\server\\share\\", u"share"}, {u"/home/me/trip/", u"trip"}, {u"/", u""},
        {u"", u""}};
    for (const auto& [directory, expected] : cases)
        EXPECT_EQ(Zelvane::FolderNameOf(directory), expected) << Base::ToUtf8(directory);
}

TEST_F(TemplateTokens, AFailureGivesItsCounterValueBack)
{
    Zelvane::TTemplateError error;
    Zelvane::TRenamePlan plan(*Zelvane::TTemplate::Compile(u"%{taken} %#", 1, error), Directory, 1, 3);
    Zelvane::TPlanFile file;
    file.Name = u"notes.txt";
    EXPECT_EQ(plan.Next(file).Reason, TPreviewReason::NoDateTaken);
    file.Name = u"IMG_0042.JPG";
    const Zelvane::TPlannedFile first = plan.Next(file);
    EXPECT_EQ(first.Expanded, u"2024-07-14 1");
    EXPECT_EQ(plan.Counter(), 2);
    // The move failed after all: the value is free again for the next file.
    plan.GiveBack(first);
    EXPECT_EQ(plan.Next(file).Expanded, u"2024-07-14 1");
}

} // namespace
