// The rename and options dialogs where the stand-in host cannot take them:
// a host that refuses to create a dialog, and one that closes the rename
// dialog with OK whatever OK's state.
#include "DialogTestSupport.h"
#include "FakeHost.h"

#include "framework/FarErrors.h"
#include "plugin/uOptionsUI.h"
#include "plugin/uPlugin.h"
#include "plugin/uZelvaneDialog.h"

#include <gtest/gtest.h>

namespace {

using namespace Zelvane;

template <typename Dialog>
std::u16string BuildFailure(TOptions& options)
{
    auto dialog = Tessel::TFarDialog::Create<Dialog>();
    dialog->Options = &options;
    try {
        dialog->Execute();
    } catch (const Tessel::EFarDialogError& e) {
        return e.Message();
    }
    return u"(nothing raised)";
}

TEST(RenamerDialogs, AHostThatRefusesTheDialogIsReportedWithTheDialogsClass)
{
    TPlugin plugin;
    TestSupport::FakeHost host(&plugin); // DialogInit is refused
    TOptions options;
    EXPECT_EQ(BuildFailure<TOptionsDialog>(options), u"Failed to build dialog TOptionsDialog");
    EXPECT_EQ(BuildFailure<TZelvaneDialog>(options), u"Failed to build dialog TZelvaneDialog");
    EXPECT_FALSE(options.FileNameTemplate().empty());
}

// OK taken with unusable input confirms nothing: the options keep what they
// held, so the caller neither renames nor saves.
TEST(RenamerDialogs, OkOnUnusableInputIsCancel)
{
    struct Case {
        const char* What;
        std::u16string Template;
        std::u16string Number;
        bool Confirmed;
    };
    const Case cases[] = {
        {"empty template", u"", u"1", false},
        {"number not a number", u"a%#", u"1a", false},
        {"negative number", u"a%#", u"-1", false},
        {"number beyond 2147483647", u"a%#", u"2147483648", false},
        {"empty number", u"a%#", u"", false},
        {"usable", u"b%#.%e", u"007", true},
    };
    for (const Case& c : cases) {
        TPlugin plugin;
        TestSupport::FakeHost host(&plugin);
        TestSupport::FakeDialogHost dialogs(host);
        TOptions options;
        const std::u16string templateBefore = options.FileNameTemplate();
        const std::u16string numberBefore = options.StartingNumber();
        auto dialog = Tessel::TFarDialog::Create<TZelvaneDialog>();
        dialog->Options = &options;
        dialogs.OnRun = [&] {
            // The user's input, then OK (the default button), enabled or not.
            std::vector<size_t> edits;
            intptr_t ok = -1;
            for (size_t i = 0; i < dialogs.Items.size(); ++i) {
                const Far3::FarDialogItem& record = dialogs.Items[i].Record;
                if (record.Type == Far3::DI_EDIT || record.Type == Far3::DI_FIXEDIT)
                    edits.push_back(i);
                if (record.Type == Far3::DI_BUTTON && (record.Flags & Far3::DIF_DEFAULTBUTTON) && ok < 0)
                    ok = static_cast<intptr_t>(i);
            }
            if (edits.size() >= 2) {
                dialogs.Items[edits[0]].Text = c.Template;
                dialogs.Items[edits[1]].Text = c.Number;
            }
            return ok;
        };
        EXPECT_EQ(dialog->Execute(), c.Confirmed) << c.What;
        EXPECT_EQ(options.FileNameTemplate(), c.Confirmed ? c.Template : templateBefore) << c.What;
        EXPECT_EQ(options.StartingNumber(), c.Confirmed ? c.Number : numberBefore) << c.What;
    }
}

} // namespace
