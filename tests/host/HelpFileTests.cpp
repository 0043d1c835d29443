#include "host/text/HelpFile.h"
#include "host/text/HostText.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

using namespace Host;
using HostTests::TempFolder;

namespace {

// A line's spans in a short notation: plain text as it is, [b:text] for
// bold, [text->Topic] for a link, a leading ^ when the line is centred.
std::string Notation(const HelpLine& line)
{
    std::string out = line.Centred ? "^" : "";
    for (const HelpSpan& span : line.Spans) {
        const std::string text = Utf16ToUtf8(span.Text);
        switch (span.Look) {
        case HelpSpan::Kind::Plain: out += text; break;
        case HelpSpan::Kind::Bold: out += "[b:" + text + "]"; break;
        case HelpSpan::Kind::Link: out += "[" + text + "->" + Utf16ToUtf8(span.Target) + "]"; break;
        }
    }
    return out;
}

TEST(HelpFile, LinesAreReadWithFarsMarks)
{
    struct Case {
        const char* Line;
        const char* Expected;
    };
    const Case cases[] = {
        {"plain text", "plain text"},
        {"", ""},
        {"a #bold# b", "a [b:bold] b"},
        {"#bold to the end", "[b:bold to the end]"},
        {"%## and ##", "%# and #"},
        {"#%###  the counter", "[b:%#]  the counter"},
        {"#photo_%##.%e# from 001", "[b:photo_%#.%e] from 001"},
        {"a@@b ~~c", "a@b ~c"},
        {"see ~Contents~@Contents@.", "see [Contents->Contents]."},
        {"~a~~b~@Topic@", "[a~b->Topic]"},
        {"#see ~X~@T@ now#", "[b:see ][X->T][b: now]"},
        {"~no topic~ here", "~no topic~ here"},
        {"~open link", "~open link"},
        {"~empty~@@ topic", "~empty~@ topic"},
        {"a lone @ stays", "a lone @ stays"},
        {"^#Title#", "^[b:Title]"},
        {"a^b", "a^b"},
        {"Журнал #отмены#", "Журнал [b:отмены]"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Notation(ParseHelpLine(Utf8ToUtf16(c.Line))), c.Expected) << c.Line;
}

TEST(HelpFile, FilesAreReadIntoTopics)
{
    struct Case {
        const char* Name;
        std::string Bytes;
        bool Valid;
        // Per topic: "Name|header line/...|body line/..." in the line notation.
        std::vector<std::string> Topics;
    };
    const auto topics = [](const HelpFile& file) {
        std::vector<std::string> out;
        for (const HelpTopic& topic : file.Topics) {
            std::string text = Utf16ToUtf8(topic.Name) + "|";
            for (const HelpLine& line : topic.Header)
                text += Notation(line) + "/";
            text += "|";
            for (const HelpLine& line : topic.Body)
                text += Notation(line) + "/";
            out.push_back(text);
        }
        return out;
    };
    const Case cases[] = {
        {"TwoTopics",
         "\xEF\xBB\xBF.Language=English,English\r\n.PluginContents=Zelvane 3\r\n\r\n@Contents\r\n$ #Zelvane 3#\r\n"
         " Text ~More~@Other@\r\n\r\n@Other\r\n$^#Other#\r\n$ second fixed line\r\n line one\r\n\r\n line three  \r\n\r\n\r\n",
         true,
         {"Contents| [b:Zelvane 3]/| Text [More->Other]/", "Other|^[b:Other]/ second fixed line/| line one// line three/"}},
        {"LfOnlyAndNoHeaderLines", ".language = German\n@Only\n text\n", true, {"Only|| text/"}},
        {"DollarAfterTextIsText", ".Language=English\n@T\n first\n$ not fixed\n", true, {"T|| first/$ not fixed/"}},
        {"OptionsLineSkipped", ".Language=English\n.Options CtrlColorChar=\\\n@T\n x\n", true, {"T|| x/"}},
        {"NoLanguage", "@Contents\n text\n", false, {}},
        {"LanguageAfterTheFirstTopic", "@Contents\n.Language=English\n", false, {}},
        {"NoTopics", ".Language=English,English\n", true, {}},
    };
    for (const Case& c : cases) {
        const std::optional<HelpFile> file = ParseHelpFile(c.Bytes);
        ASSERT_EQ(file.has_value(), c.Valid) << c.Name;
        if (file) {
            EXPECT_EQ(topics(*file), c.Topics) << c.Name;
        }
    }

    const std::optional<HelpFile> file = ParseHelpFile(cases[0].Bytes);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->Language, u"English");
    EXPECT_EQ(file->ContentsTitle, u"Zelvane 3");
    ASSERT_NE(file->Find(u"other"), nullptr);
    EXPECT_EQ(file->Find(u"OTHER")->Name, u"Other");
    EXPECT_EQ(file->Find(u"Missing"), nullptr);
}

TEST(HelpFile, TheFileIsChosenByLanguageAsFarDoes)
{
    const std::string english = ".Language=English,English\n@Contents\n";
    const std::string russian = "\xEF\xBB\xBF.Language=Russian,Russian (Русский)\n@Contents\n";
    const std::string german = ".Language=German,Deutsch\n@Contents\n";
    struct Case {
        const char* Name;
        std::vector<std::pair<std::string, std::string>> Files;
        const char16_t* Asked;
        const char16_t* Chosen; // null: no file
    };
    const Case cases[] = {
        {"ItsOwnLanguage", {{"ZelvaneEng.hlf", english}, {"ZelvaneRus.hlf", russian}}, u"Russian", u"Russian"},
        {"CaseIgnored", {{"ZelvaneEng.hlf", english}, {"ZelvaneRus.hlf", russian}}, u"rUSSIAN", u"Russian"},
        {"EnglishAsFallback", {{"ZelvaneRus.hlf", russian}, {"ZelvaneEng.hlf", english}}, u"Polish", u"English"},
        {"ElseTheLastByName", {{"ZelvaneGer.hlf", german}, {"ZelvaneRus.hlf", russian}}, u"Polish", u"Russian"},
        {"FilesWithoutHeaderSkipped", {{"ZelvaneZzz.hlf", "@Contents\n"}, {"ZelvaneGer.hlf", german}}, u"Polish",
         u"German"},
        {"ExtensionInAnyCase", {{"ZELVANEENG.HLF", english}}, u"English", u"English"},
        {"LanguageFilesAreNotHelp", {{"ZelvaneEng.lng", english}}, u"English", nullptr},
        {"EmptyFolder", {}, u"English", nullptr},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        for (const auto& [name, bytes] : c.Files)
            folder.Write(name, bytes);
        const std::optional<HelpFile> chosen = ChooseHelpFile(folder.Path(), c.Asked);
        ASSERT_EQ(chosen.has_value(), c.Chosen != nullptr) << c.Name;
        if (chosen) {
            EXPECT_EQ(chosen->Language, c.Chosen) << c.Name;
        }
    }
    EXPECT_FALSE(ChooseHelpFile(std::filesystem::path("/nonexistent-zelvane-folder"), u"English"));
}

} // namespace
