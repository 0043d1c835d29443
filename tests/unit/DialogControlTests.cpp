// Controls: what they write into their records, and what they tell and ask
// the host dialog once it exists.
#include "DialogTestSupport.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace Tessel;
using namespace TestSupport;
using TControl = TFarDialog::TControl;

namespace {

TEST(DialogControls, ExtentsWhileComposing)
{
    const struct {
        const char* Name;
        std::function<TControl*(TFarDialog&)> Make;
        std::tuple<intptr_t, intptr_t, intptr_t, intptr_t> Rect; // X1, Y1, X2, Y2 of the record
        int32_t PreferredWidth;
    } cases[] = {
        {"button", [](TFarDialog& d) { return d.AddButton(10, 7, u"&OK"); }, {10, 7, 0, 7}, 7},
        {"label", [](TFarDialog& d) { return d.AddLabel(5, 2, 20, u"&Hello", taLeft); }, {5, 2, 24, 2}, 5},
        {"doubled ampersand", [](TFarDialog& d) { return d.AddLabel(5, 2, 20, u"a&&b", taRight); }, {5, 2, 24, 2}, 3},
        {"shown ampersand, placed three rows high",
         [](TFarDialog& d) {
             auto* label = d.AddLabel(0, 0, 0, u"&Hello", taCenter);
             label->SetShowAmpersand(true);
             label->SetBounds(5, 2, 20, 3);
             return label;
         },
         {5, 2, 24, 2}, 6},
        {"separator", [](TFarDialog& d) { return d.AddSeparator(4); }, {0, 4, 0, 4}, 0},
        {"frame", [](TFarDialog& d) { return d.AddDoubleBox(5, 2, 20, 3, u"T"); }, {5, 2, 24, 4}, 1},
        {"list box", [](TFarDialog& d) { return static_cast<TTestDialog&>(d).AddListbox(12); }, {0, 0, 9, 11}, 10},
    };
    for (const auto& c : cases) {
        FakeHost host;
        auto dialog = TFarDialog::Create<TTestDialog>();
        TControl* control = c.Make(*dialog);
        const Far3::FarDialogItem& item = control->GetItem();
        EXPECT_EQ(std::tie(item.X1, item.Y1, item.X2, item.Y2), c.Rect) << c.Name;
        EXPECT_EQ(control->GetPreferredWidth(), c.PreferredWidth) << c.Name;
    }

    FakeHost host;
    auto dialog = TFarDialog::Create<TTestDialog>();
    constexpr auto Alignments = Far3::DIF_LEFTTEXT | Far3::DIF_CENTERTEXT | Far3::DIF_RIGHTTEXT;
    auto* label = dialog->AddLabel(0, 0, 10, u"x", taCenter);
    label->SetAlignment(taRight);
    EXPECT_EQ(label->GetFlags() & Alignments, Far3::DIF_RIGHTTEXT);
    auto* edit = dialog->AddEdit(0, 0, 10, u"abc");
    edit->SetHistory(u"Names");
    edit->SetHistory(u"");
    EXPECT_EQ(edit->GetItem().History, nullptr);
    EXPECT_EQ(edit->GetFlags() & Far3::DIF_HISTORY, 0u);
}

TEST(DialogControls, ActiveControlsChangeRecordAndHost)
{
    const struct {
        const char* Name;
        std::function<TControl*(ActiveDialog&)> Act; // returns the control it changed
        intptr_t Msg;
        intptr_t Param2; // -1: a pointer
        std::function<bool(ActiveDialog&)> Check;
    } cases[] = {
        {"check", [](ActiveDialog& a) { a.Checkbox->SetChecked(true); return a.Checkbox; }, Far3::DM_SETCHECK, 1,
         [](ActiveDialog& a) { return a.Checkbox->GetItem().Selected == 1 && a.Checkbox->GetChecked(); }},
        {"disable", [](ActiveDialog& a) { a.Edit->SetEnabled(false); return a.Edit; }, Far3::DM_ENABLE, 0,
         [](ActiveDialog& a) {
             return (a.Edit->GetItem().Flags & a.HostItem(a.Edit).Record.Flags & Far3::DIF_DISABLE) != 0 &&
                    !a.Edit->GetEnabled();
         }},
        {"focus", [](ActiveDialog& a) { a.Edit->SetFocused(true); return a.Edit; }, Far3::DM_SETFOCUS, 0,
         [](ActiveDialog& a) { return (a.HostItem(a.Edit).Record.Flags & Far3::DIF_FOCUS) != 0; }},
        {"unchanged", [](ActiveDialog& a) { a.Edit->SetUnchanged(true); return a.Edit; },
         Far3::DM_EDITUNCHANGEDFLAG, 1, [](ActiveDialog& a) { return a.Edit->GetUnchanged(); }},
        {"bounds", [](ActiveDialog& a) { a.Label->SetTop(3); return a.Label; }, Far3::DM_SETITEMPOSITION, -1,
         [](ActiveDialog& a) { return a.HostItem(a.Label).Record.Y1 == 3 && a.Label->GetItem().Y1 == 3; }},
        {"text", [](ActiveDialog& a) { a.Label->SetText(u"New"); return a.Label; }, Far3::DM_SETTEXT, -1,
         [](ActiveDialog& a) { return a.HostItem(a.Label).Text == u"New" && a.Label->GetText() == u"New"; }},
        {"history", [](ActiveDialog& a) { a.Edit->SetHistory(u"Names"); return a.Edit; }, Far3::DM_SETDLGITEM, -1,
         [](ActiveDialog& a) {
             return a.HostItem(a.Edit).History == u"Names" &&
                    (a.HostItem(a.Edit).Record.Flags & Far3::DIF_HISTORY) != 0;
         }},
        {"default", [](ActiveDialog& a) { a.Button->SetDefault(true); return a.Button; }, Far3::DM_SETDLGITEM, -1,
         [](ActiveDialog& a) { return (a.Button->GetFlags() & Far3::DIF_DEFAULTBUTTON) != 0; }},
    };
    for (const auto& c : cases) {
        ActiveDialog a;
        TControl* control = c.Act(a);
        const auto sent = a.Dialogs.Sent(c.Msg);
        ASSERT_EQ(sent.size(), 1u) << c.Name;
        EXPECT_EQ(sent[0].Param1, control->GetIndex()) << c.Name;
        if (c.Param2 >= 0) {
            EXPECT_EQ(reinterpret_cast<intptr_t>(sent[0].Param2), c.Param2) << c.Name;
        }
        EXPECT_TRUE(c.Check(a)) << c.Name;
    }
}

TEST(DialogControls, ActiveControlsReadTheHost)
{
    ActiveDialog a;
    a.HostItem(a.Label).Record.Flags |= Far3::DIF_HIDDEN;
    EXPECT_NE(a.Label->GetFlags() & Far3::DIF_HIDDEN, 0u);
    EXPECT_FALSE(a.Label->GetVisible());
    a.HostItem(a.Edit).Text = u"user text";
    EXPECT_EQ(a.Edit->GetText(), u"user text");
    a.HostItem(a.Label).Text.clear();
    EXPECT_EQ(a.Label->GetText(), u"");
    EXPECT_EQ(a.Dialogs.Sent(Far3::DM_GETTEXT).size(), 3u) << "an empty text needs no second message";

    // Refusals: reading falls back to the record, a refused write leaves the record changed.
    a.Dialogs.Refused = {Far3::DM_GETDLGITEM, Far3::DM_GETITEMPOSITION};
    EXPECT_EQ(a.Label->GetFlags() & Far3::DIF_HIDDEN, 0u);
    a.HostItem(a.Label).Record.Y1 = 9;
    EXPECT_EQ(a.Label->GetTop(), 2);
    a.Dialogs.Refused = {Far3::DM_SETDLGITEM};
    a.Label->SetFlags(a.Label->GetItem().Flags | Far3::DIF_WORDWRAP);
    EXPECT_NE(a.Label->GetItem().Flags & Far3::DIF_WORDWRAP, 0u);
    EXPECT_EQ(a.HostItem(a.Label).Record.Flags & Far3::DIF_WORDWRAP, 0u);
    a.Label->SetFocused(false);
    EXPECT_TRUE(a.Dialogs.Sent(Far3::DM_SETFOCUS).empty());
}

TEST(DialogControls, HostItemTypeMustMatch)
{
    ActiveDialog a;
    EXPECT_EQ(MessageOf<EFarDialogError>([&] {
                  a.Edit->UpdateHostItem([](Far3::FarDialogItem& item) { item.Type = Far3::DI_TEXT; });
              }),
              u"Can't modify control type");
    a.HostItem(a.Edit).Record.Type = Far3::DI_FIXEDIT;
    EXPECT_EQ(MessageOf<EFarDialogError>([&] { a.Edit->GetFlags(); }), u"Control type mismatch");
    EXPECT_EQ(MessageOf<EFarDialogError>([&] { a.Edit->SetReadOnly(true); }), u"Control type mismatch");
}

} // namespace
