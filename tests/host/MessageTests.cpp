#include "host/MessageService.h"
#include "host/ScriptedFrontEnd.h"

#include <gtest/gtest.h>

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
