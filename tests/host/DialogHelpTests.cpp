// F1 in a dialog of the stand-in host: the dialog procedure's answer to
// DN_HELP names the topic, which comes from the plugin's help file; a
// missing file or topic is reported, and the dialog runs on either way.
#include "host/text/HostText.h"
#include "tests/support/ScriptedFrontEnd.h"
#include "host/services/DialogService.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

using namespace Host;

namespace {

constexpr Far3::GUID PluginGuid{0x1, 0x2, 0x3, {4, 5, 6, 7, 8, 9, 10, 11}};

// DN_HELP's answer: the topic given (or null); everything else by default.
const char16_t* HelpAnswer = nullptr;
bool AnswerHelp = false;
DialogService* Service = nullptr;

intptr_t Proc(Far3::HANDLE dialog, intptr_t msg, intptr_t param1, void* param2)
{
    if (msg == Far3::DN_HELP && AnswerHelp)
        return reinterpret_cast<intptr_t>(HelpAnswer);
    return Service->DefProc(dialog, msg, param1, param2);
}

TEST(DialogHelp, F1ShowsTheTopicTheProcedureAnswersOrSaysWhatIsMissing)
{
    struct Case {
        const char* Name;
        const char16_t* DialogTopic;
        bool Answers;                 // the procedure answers DN_HELP itself
        const char16_t* Answer;
        bool HelpFileThere;
        const char16_t* Shown;        // the topic shown; null: none
        std::vector<std::string> Box; // the lines of the box shown instead
    };
    const Case cases[] = {
        {"TheDialogsTopic", u"Main", false, nullptr, true, u"Main", {}},
        {"CaseIgnored", u"main", false, nullptr, true, u"Main", {}},
        {"TheProceduresChoice", u"Main", true, u"Second", true, u"Second", {}},
        {"ProcedureSaysNone", u"Main", true, nullptr, true, nullptr, {}},
        {"NoTopic", nullptr, false, nullptr, true, nullptr, {}},
        {"TopicMissing", u"Missing", false, nullptr, true, nullptr, {"Help topic not found:", "Missing"}},
        {"FileMissing", u"Main", false, nullptr, false, nullptr, {"Help file not found for the topic:", "Main"}},
    };
    for (const Case& c : cases) {
        HostTests::TempFolder folder;
        if (c.HelpFileThere)
            folder.Write("PluginEng.hlf", ".Language=English,English\n@Main\n$ #Main#\n text\n@Second\n more\n");
        ScriptedFrontEnd user;
        MemoryHistoryStore history;
        DialogService service(user, history);
        Service = &service;
        service.SetPlugin(PluginGuid);
        service.SetHelp(folder.Path(), u"English");
        AnswerHelp = c.Answers;
        HelpAnswer = c.Answer;

        std::vector<Far3::FarDialogItem> items(2);
        items[0].Type = Far3::DI_DOUBLEBOX;
        items[0].X1 = 3, items[0].Y1 = 1, items[0].X2 = 36, items[0].Y2 = 4;
        items[1].Type = Far3::DI_EDIT;
        items[1].X1 = 5, items[1].Y1 = 2, items[1].X2 = 33, items[1].Y2 = 2;
        items[1].Data = u"typed";
        const Far3::HANDLE dialog =
            service.Init(&PluginGuid, nullptr, -1, -1, 40, 6, c.DialogTopic, items.data(), items.size(), 0, Proc, nullptr);
        ASSERT_NE(dialog, Far3::InvalidHandleValue) << c.Name;
        user.QueueKeys("<End>x<F1>y<Enter>");
        EXPECT_EQ(service.Run(dialog), 1) << c.Name;
        // The dialog took the keys before and after F1.
        EXPECT_EQ(user.Dialogs().back().Closed.Item(1).Text, u"typedxy") << c.Name;

        ASSERT_EQ(user.Helps().size(), c.Shown ? 1u : 0u) << c.Name;
        if (c.Shown) {
            EXPECT_EQ(user.Helps()[0].Topic, c.Shown) << c.Name;
        }
        if (c.Box.empty()) {
            EXPECT_TRUE(user.Messages().empty()) << c.Name;
        } else {
            ASSERT_EQ(user.Messages().size(), 1u) << c.Name;
            EXPECT_EQ(user.Messages()[0].Lines, c.Box) << c.Name;
            EXPECT_EQ(user.Messages()[0].Title, "Help") << c.Name;
            EXPECT_TRUE(user.Messages()[0].Flags & Far3::FMSG_WARNING) << c.Name;
        }
        service.Free(dialog);
        Service = nullptr;
    }
}

} // namespace
