#include "host/services/MessageService.h"
#include "tests/support/ScriptedFrontEnd.h"
#include "host/frontends/LineFrontEnd.h"

#include <gtest/gtest.h>

#include <iterator>
#include <sstream>

using namespace Host;

namespace {

struct MessageCase {
    const char* Name;
    uint64_t Flags;
    std::vector<const char16_t*> Items;
    intptr_t Buttons;
    std::vector<std::string> Lines;
    std::vector<std::string> ButtonLabels;
};

// Cases print as their name in test listings.
void PrintTo(const MessageCase& c, std::ostream* out)
{
    *out << c.Name;
}

class MessageBoxes : public testing::TestWithParam<MessageCase> {};

TEST_P(MessageBoxes, AreBuiltFromTheItems)
{
    ScriptedFrontEnd user;
    MessageService service(user);
    const MessageCase& c = GetParam();
    user.QueueAnswer(0);
    intptr_t answer = service.Message(c.Flags, c.Items.data(), c.Items.size(), c.Buttons);
    ASSERT_EQ(user.Messages().size(), 1u);
    const MessageBox& box = user.Messages()[0];
    EXPECT_EQ(box.Title, "Title");
    EXPECT_EQ(box.Lines, c.Lines);
    EXPECT_EQ(box.Buttons, c.ButtonLabels);
    EXPECT_EQ(box.Flags, c.Flags);
    EXPECT_EQ(answer, c.ButtonLabels.empty() ? -1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Items, MessageBoxes,
    testing::Values(
        MessageCase{"OwnButtons", 0, {u"Title", u"Line", u"&Yes", u"&No"}, 2, {"Line"}, {"&Yes", "&No"}},
        MessageCase{"StandardSetIgnoresCount", Far3::FMSG_MB_YESNOCANCEL, {u"Title", u"A", u"B"}, 1, {"A", "B"},
                    {"Yes", "No", "Cancel"}},
        MessageCase{"NoButtons", Far3::FMSG_WARNING, {u"Title", u"Working"}, 0, {"Working"}, {}},
        MessageCase{"NullItemIsEmpty", 0, {u"Title", nullptr, u"Ok"}, 1, {""}, {"Ok"}},
        MessageCase{"MoreButtonsThanItems", 0, {u"Title", u"Ok"}, 5, {}, {"Ok"}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(MessageService, AllInOneSplitsOneText)
{
    ScriptedFrontEnd user;
    MessageService service(user);
    const char16_t* text = u"Title\nFirst\nSecond\nOK\n";
    user.QueueAnswer(0);
    EXPECT_EQ(service.Message(Far3::FMSG_ALLINONE, reinterpret_cast<const char16_t* const*>(text), 0, 1), 0);
    ASSERT_EQ(user.Messages().size(), 1u);
    EXPECT_EQ(user.Messages()[0].Lines, (std::vector<std::string>{"First", "Second"}));
    EXPECT_EQ(user.Messages()[0].Buttons, std::vector<std::string>{"OK"});
}

TEST(MessageService, AnswersOutsideTheButtonsAndShortItemListsGiveMinusOne)
{
    ScriptedFrontEnd user;
    MessageService service(user);
    const char16_t* one[] = {u"Title"};
    EXPECT_EQ(service.Message(0, one, 1, 0), -1);
    EXPECT_TRUE(user.Messages().empty()) << "fewer than two items: nothing shown";

    const char16_t* items[] = {u"Title", u"Text", u"A", u"B"};
    user.QueueAnswers({1, -1, 7});
    EXPECT_EQ(service.Message(0, items, 4, 2), 1);
    EXPECT_EQ(service.Message(0, items, 4, 2), -1);
    EXPECT_EQ(service.Message(0, items, 4, 2), -1);
    user.DefaultAnswer = 1;
    EXPECT_EQ(service.Message(0, items, 4, 2), 1) << "an empty queue gives the default answer";
}

} // namespace

namespace {

// The line mode prints a box as Far draws it: "\x01" and "\x02" lines are
// single and double separators joining the frame, a caption centred on
// them; no control character reaches the output.
TEST(MessageService, LineModeDrawsSeparatorLinesAsFarDoes)
{
    std::istringstream input("1\n");
    std::ostringstream output;
    LineFrontEnd user(input, output);
    MessageService service(user);
    const char16_t* items[] = {u"Hello", u"A line above the rest", u"\x01", u"\x02", u"\x02" u"Caption", u"&OK"};
    EXPECT_EQ(service.Message(0, items, std::size(items), 1), 0);
    const std::string shown = output.str();
    EXPECT_NE(shown.find("╟────"), std::string::npos) << shown;
    EXPECT_NE(shown.find("─╢"), std::string::npos) << shown;
    EXPECT_NE(shown.find("╠═══"), std::string::npos) << shown;
    EXPECT_NE(shown.find("═ Caption ═"), std::string::npos) << shown;
    EXPECT_NE(shown.find("═══════╣"), std::string::npos) << shown;
    EXPECT_NE(shown.find("║ A line above the rest ║"), std::string::npos) << shown;
    EXPECT_NE(shown.find("{ OK }"), std::string::npos) << shown;
    EXPECT_NE(shown.find("[1] OK"), std::string::npos) << shown;
    EXPECT_EQ(shown.find('\x01'), std::string::npos) << shown;
    EXPECT_EQ(shown.find('\x02'), std::string::npos) << shown;
}

} // namespace
