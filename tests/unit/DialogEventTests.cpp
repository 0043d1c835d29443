// Host events through the dialog procedure: which control event each one
// raises, what the host gets back, and what goes to its default processing.
#include "DialogTestSupport.h"

#include "base/Exception.h"

#include <gtest/gtest.h>

#include <string>

using namespace Tessel;
using namespace TestSupport;
using TControl = TFarDialog::TControl;

namespace {

constexpr intptr_t Defaulted = ActiveDialog::Defaulted;

void* P(intptr_t value)
{
    return reinterpret_cast<void*>(value);
}

Far3::INPUT_RECORD Key(bool down)
{
    Far3::INPUT_RECORD input{};
    input.EventType = Far3::InputEvent::Key;
    input.Event.KeyEvent = {down, 1, 0x41, 0, u'a', 0x8};
    return input;
}

TEST(DialogEvents, DispatchToControlEvents)
{
    // Positions: 0 button, 1 check box, 2 radio button, 3 edit, 4 list box, 5 label.
    static Far3::INPUT_RECORD keyDown = Key(true), keyUp = Key(false), mouse{Far3::InputEvent::Mouse, {}};
    std::string calls; // what the handlers saw
    auto onKey = [&calls](bool handled) {
        return [&calls, handled](ActiveDialog& a) {
            a.Label->OnKeyDown = [&calls, handled](TControl&, uint16_t key, uint32_t state, bool& h) {
                calls += "key " + std::to_string(key) + " " + std::to_string(state);
                h = handled;
            };
        };
    };
    const struct {
        const char* Name;
        std::function<void(ActiveDialog&)> Setup;
        intptr_t Msg, Param1;
        void* Param2;
        intptr_t Result;
        std::string Calls;
    } cases[] = {
        {"button without handler", {}, Far3::DN_BTNCLICK, 0, nullptr, Defaulted, ""},
        {"button keeps the dialog open",
         [&](ActiveDialog& a) { a.Button->OnClick = [&](TControl&, bool& flag) { calls += "click"; flag = true; }; },
         Far3::DN_BTNCLICK, 0, nullptr, 1, "click"},
        {"button lets it close", [&](ActiveDialog& a) { a.Button->OnClick = [&](TControl&, bool&) { calls += "click"; }; },
         Far3::DN_BTNCLICK, 0, nullptr, 0, "click"},
        {"check box refuses",
         [&](ActiveDialog& a) {
             a.Checkbox->OnClick = [&](TControl&, int32_t state, bool& allow) {
                 calls += "state " + std::to_string(state);
                 allow = false;
             };
         },
         Far3::DN_BTNCLICK, 1, P(2), 0, "state 2"},
        {"check box, unknown state",
         [&](ActiveDialog& a) { a.Checkbox->OnClick = [&](TControl&, int32_t, bool&) { calls += "state"; }; },
         Far3::DN_BTNCLICK, 1, P(3), Defaulted, ""},
        {"radio selected", [&](ActiveDialog& a) { a.Radio->OnCheck = [&](TControl&, bool&) { calls += "check"; }; },
         Far3::DN_BTNCLICK, 2, P(1), 1, "check"},
        {"radio deselected, refused",
         [&](ActiveDialog& a) { a.Radio->OnUncheck = [&](TControl&, bool& allow) { calls += "uncheck"; allow = false; }; },
         Far3::DN_BTNCLICK, 2, P(0), 0, "uncheck"},
        {"radio selected without OnCheck",
         [&](ActiveDialog& a) { a.Radio->OnUncheck = [&](TControl&, bool&) { calls += "uncheck"; }; },
         Far3::DN_BTNCLICK, 2, P(1), Defaulted, ""},
        {"edit without handler", {}, Far3::DN_EDITCHANGE, 3, nullptr, 1, ""},
        {"edit refuses",
         [&](ActiveDialog& a) { a.Edit->SetOnChange([&](TControl&, bool& allow) { calls += "change"; allow = false; }); },
         Far3::DN_EDITCHANGE, 3, nullptr, 0, "change"},
        {"edit change for a label", {}, Far3::DN_EDITCHANGE, 5, nullptr, Defaulted, ""},
        {"focus arrives", [&](ActiveDialog& a) { a.Label->OnEnter = [&](TControl&) { calls += "enter"; }; },
         Far3::DN_GOTFOCUS, 5, nullptr, 0, "enter"},
        {"focus sent elsewhere", [](ActiveDialog& a) { a.Edit->OnExit = [&a](TControl&, TControl*& next) { next = a.Label; }; },
         Far3::DN_KILLFOCUS, 3, nullptr, 5, ""},
        {"focus leaves", [&](ActiveDialog& a) { a.Edit->OnExit = [&](TControl&, TControl*&) { calls += "exit"; }; },
         Far3::DN_KILLFOCUS, 3, nullptr, -1, "exit"},
        {"list item changes",
         [&](ActiveDialog& a) {
             a.List->OnChange = [&](TControl&, intptr_t item, bool&) { calls += "item " + std::to_string(item); };
         },
         Far3::DN_LISTCHANGE, 4, P(7), 1, "item 7"},
        {"key handled", onKey(true), Far3::DN_CONTROLINPUT, 5, &keyDown, 1, "key 65 8"},
        {"key left to the host", onKey(false), Far3::DN_CONTROLINPUT, 5, &keyDown, Defaulted, "key 65 8"},
        {"key released", onKey(true), Far3::DN_CONTROLINPUT, 5, &keyUp, Defaulted, ""},
        {"mouse", onKey(true), Far3::DN_CONTROLINPUT, 5, &mouse, Defaulted, ""},
        {"aborted key",
         [](ActiveDialog& a) {
             a.Label->OnKeyDown = [](TControl&, uint16_t, uint32_t, bool& h) { h = true; throw Base::EAbort(); };
         },
         Far3::DN_CONTROLINPUT, 5, &keyDown, Defaulted, ""},
        {"item outside the dialog", {}, Far3::DN_GOTFOCUS, 6, nullptr, Defaulted, ""},
        {"event the dialog leaves alone", {}, Far3::DN_DRAWDIALOG, 0, nullptr, Defaulted, ""},
    };
    for (const auto& c : cases) {
        ActiveDialog a;
        calls.clear();
        if (c.Setup)
            c.Setup(a);
        EXPECT_EQ(a.Dialogs.Send(c.Msg, c.Param1, c.Param2), c.Result) << c.Name;
        EXPECT_EQ(calls, c.Calls) << c.Name;
        EXPECT_EQ(a.Host.DefaultedMessages.size(), c.Result == Defaulted ? 1u : 0u) << c.Name;
    }
}

TEST(DialogEvents, InitDialogClearsTheUnchangedStateWhereAsked)
{
    ActiveDialog a;
    a.Dialog->ReleaseHandle();
    auto* first = a.Dialog->AddEdit(0, 9, 10, u"");
    auto* untouched = a.Dialog->AddEdit(0, 10, 10, u"");
    first->SetUnchanged(false);
    a.Edit->SetUnchanged(false);
    a.Dialog->Build();
    EXPECT_EQ(a.Dialogs.Send(Far3::DN_INITDIALOG, 0), Defaulted);
    const auto sent = a.Dialogs.Sent(Far3::DM_EDITUNCHANGEDFLAG);
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].Param1, a.Edit->GetIndex());
    EXPECT_EQ(sent[1].Param1, first->GetIndex());
    EXPECT_EQ(sent[1].Param2, nullptr);
    EXPECT_TRUE(untouched->GetUnchanged());
}

TEST(DialogEvents, ConsoleResizeLaysTheDialogOutAgain)
{
    ActiveDialog a;
    std::vector<std::pair<int16_t, int16_t>> coords; // of DM_RESIZEDIALOG and DM_MOVEDIALOG
    a.Host.SendDlgMessage = [&, inner = a.Host.SendDlgMessage](Far3::HANDLE h, intptr_t msg, intptr_t p1, void* p2) {
        if (msg == Far3::DM_RESIZEDIALOG || msg == Far3::DM_MOVEDIALOG)
            coords.emplace_back(static_cast<Far3::COORD*>(p2)->X, static_cast<Far3::COORD*>(p2)->Y);
        return inner(h, msg, p1, p2);
    };
    Far3::COORD console{100, 30};
    EXPECT_EQ(a.Dialogs.Send(Far3::DN_RESIZECONSOLE, 0, &console), 1);
    EXPECT_EQ(coords, (std::vector<std::pair<int16_t, int16_t>>{{96, 26}, {-1, -1}}));
    EXPECT_EQ(a.Dialogs.Sent(Far3::DM_ENABLEREDRAW).size(), 2u);
    EXPECT_EQ(a.Dialogs.Sent(Far3::DM_REDRAW).size(), 1u);

    // A console too small for the dialog leaves it one column wide instead of failing.
    Far3::COORD tiny{4, 30};
    EXPECT_EQ(a.Dialogs.Send(Far3::DN_RESIZECONSOLE, 0, &tiny), 1);
    EXPECT_EQ(coords.at(2), (std::pair<int16_t, int16_t>{1, 26}));
    EXPECT_TRUE(a.Dialogs.Sent(Far3::DM_CLOSE).empty());

    // A re-layout that fails ends the run, with the redraw unlocked again.
    a.Dialog->OnSetSize = [] { throw EFarDialogError(u"no room"); };
    a.Dialogs.Send(Far3::DN_RESIZECONSOLE, 0, &console);
    const auto redraws = a.Dialogs.Sent(Far3::DM_ENABLEREDRAW);
    ASSERT_EQ(redraws.size(), 6u);
    EXPECT_EQ(redraws.back().Param1, 1);
    EXPECT_EQ(a.Dialogs.Sent(Far3::DM_CLOSE).size(), 1u);
    TFarDialog::TButton* button = nullptr;
    EXPECT_EQ(MessageOf<EFarDialogError>([&] { a.Dialog->Execute(button); }), u"no room");
}

} // namespace
