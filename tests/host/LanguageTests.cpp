#include "host/text/HostText.h"
#include "host/text/Language.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

using namespace Host;
using HostTests::TempFolder;

namespace {

struct MessageCase {
    const char* Name;
    std::string Line;
    std::u16string Expected;
};

// Cases print as their name in test listings.
void PrintTo(const MessageCase& c, std::ostream* out)
{
    *out << c.Name;
}

class LanguageMessageText : public testing::TestWithParam<MessageCase> {};

TEST_P(LanguageMessageText, IsReadWithFarRules)
{
    auto file = ParseLanguageFile(".Language=English,English\n" + GetParam().Line + "\n");
    ASSERT_TRUE(file);
    ASSERT_EQ(file->Messages.size(), 1u);
    EXPECT_EQ(file->Messages[0], GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, LanguageMessageText,
    testing::Values(MessageCase{"Plain", "\"Rename\"", u"Rename"},
                    MessageCase{"Empty", "\"\"", u""},
                    MessageCase{"NoClosingQuote", "\"Open end", u"Open end"},
                    MessageCase{"Trimmed", "   \t\"Padded\"  \t", u"Padded"},
                    MessageCase{"InnerSpacesKept", "\"  two  \"", u"  two  "},
                    MessageCase{"Backslash", "\"a\\\\b\"", u"a\\b"},
                    MessageCase{"EscapedQuote", "\"say \\\"hi\\\"\"", u"say \"hi\""},
                    MessageCase{"ControlEscapes", "\"\\n\\r\\t\\b\"", u"\n\r\t\b"},
                    MessageCase{"UnknownEscapeKept", "\"\\x\\q\"", u"\\x\\q"},
                    MessageCase{"DoubledQuote", "\"a\"\"b\"", u"a\"b"},
                    MessageCase{"LoneQuoteKept", "\"a\"b\"", u"a\"b"},
                    MessageCase{"TrailingBackslash", "\"end\\\"", u"end\\"},
                    MessageCase{"Utf8", "\"Přejmenovat\"", u"Přejmenovat"}),
    [](const auto& info) { return std::string(info.param.Name); });

struct FileCase {
    const char* Name;
    std::string Bytes;
    bool Valid;
    std::u16string LanguageName;
    std::vector<std::u16string> Messages;
};

// Cases print as their name in test listings.
void PrintTo(const FileCase& c, std::ostream* out)
{
    *out << c.Name;
}

class LanguageFileParse : public testing::TestWithParam<FileCase> {};

TEST_P(LanguageFileParse, FindsHeaderAndMessages)
{
    auto file = ParseLanguageFile(GetParam().Bytes);
    ASSERT_EQ(file.has_value(), GetParam().Valid);
    if (!file)
        return;
    EXPECT_EQ(file->Name, GetParam().LanguageName);
    EXPECT_EQ(file->Messages, GetParam().Messages);
}

INSTANTIATE_TEST_SUITE_P(
    Files, LanguageFileParse,
    testing::Values(
        FileCase{"Utf8Bom", "\xEF\xBB\xBF.Language=English,English\r\n\"One\"\r\n\"Two\"\r\n", true, u"English",
                 {u"One", u"Two"}},
        FileCase{"CommentsAndOptionsIgnored",
                 "// comment\n.Language=Czech,Čeština\n.Options CaseSensitive\n\nMUnquoted\n\"A\"\n// x\n\"B\"\n", true,
                 u"Czech", {u"A", u"B"}},
        FileCase{"HeaderAnyCase", ".LANGUAGE = German , Deutsch\n\"Ja\"\n", true, u"German", {u"Ja"}},
        FileCase{"HeaderAfterFirstMessage", "\"Early\"\n.Language=English,English\n", false, u"", {}},
        FileCase{"NoHeader", "\"Only\"\n", false, u"", {}},
        FileCase{"HeaderWithoutEquals", ".Language English\n\"A\"\n", false, u"", {}},
        FileCase{"NameWithoutDescription", ".Language=Polish  \n\"Tak\"\n", true, u"Polish", {u"Tak"}},
        FileCase{"Utf16LeBom", std::string("\xFF\xFE.\0L\0a\0n\0g\0u\0a\0g\0e\0=\0X\0\n\0\"\0\xE9\0\"\0", 30), true,
                 u"X", {u"é"}},
        FileCase{"OemWithoutBom", ".Language=English,English\n\"\x80\xFE\"\n", true, u"English", {u"Ç■"}},
        FileCase{"LoneCarriageReturns", ".Language=E\r\"A\"\r\"B\"", true, u"E", {u"A", u"B"}}),
    [](const auto& info) { return std::string(info.param.Name); });

struct ChoiceCase {
    const char* Name;
    std::vector<std::pair<std::string, std::string>> Files; // file name, language name ("" = invalid file)
    std::u16string Wanted;
    std::u16string Chosen; // "" = none
};

// Cases print as their name in test listings.
void PrintTo(const ChoiceCase& c, std::ostream* out)
{
    *out << c.Name;
}

class LanguageChoice : public testing::TestWithParam<ChoiceCase> {};

TEST_P(LanguageChoice, PicksFileLikeFar)
{
    TempFolder folder;
    for (const auto& [file, language] : GetParam().Files)
        folder.Write(file, language.empty() ? "\"no header\"\n" : ".Language=" + language + ",x\n\"" + language + "\"\n");
    auto chosen = ChooseLanguageFile(folder.Path(), GetParam().Wanted);
    if (GetParam().Chosen.empty()) {
        EXPECT_FALSE(chosen);
        return;
    }
    ASSERT_TRUE(chosen);
    EXPECT_EQ(chosen->Name, GetParam().Chosen);
}

INSTANTIATE_TEST_SUITE_P(
    Folders, LanguageChoice,
    testing::Values(ChoiceCase{"ByNameIgnoringCase", {{"a.lng", "English"}, {"b.lng", "Russian"}}, u"russian",
                               u"Russian"},
                    ChoiceCase{"EnglishWhenMissing", {{"a.lng", "German"}, {"b.lng", "English"}, {"c.lng", "Czech"}},
                               u"Russian", u"English"},
                    ChoiceCase{"LastFileWithoutEnglish", {{"a.lng", "German"}, {"b.lng", "Czech"}}, u"Russian",
                               u"Czech"},
                    ChoiceCase{"LastFileInvalidGivesNone", {{"a.lng", "German"}, {"b.lng", ""}}, u"Russian", u""},
                    ChoiceCase{"OtherExtensionsIgnored", {{"a.txt", "Russian"}, {"b.lng", "English"}}, u"Russian",
                               u"English"},
                    ChoiceCase{"EmptyFolder", {}, u"English", u""}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(Language, OutOfRangeAndMissingFileAnswerEmptyText)
{
    TempFolder folder;
    Language noFile(folder.Path(), u"English");
    EXPECT_EQ(noFile.Message(0).Result, Language::Status::NoFile);
    EXPECT_EQ(std::u16string_view(noFile.Message(0).Text), u"");

    // A file appearing later is found: loading is retried while none was found.
    folder.Write("Eng.lng", ".Language=English,English\n\"Zero\"\n");
    auto found = noFile.Message(0);
    EXPECT_EQ(found.Result, Language::Status::Found);
    EXPECT_EQ(std::u16string_view(found.Text), u"Zero");
    const char16_t* first = found.Text;
    EXPECT_EQ(noFile.Message(1).Result, Language::Status::OutOfRange);
    EXPECT_EQ(noFile.Message(-1).Result, Language::Status::OutOfRange);
    EXPECT_EQ(noFile.Message(0).Text, first) << "texts handed out stay where they are";
}

} // namespace
