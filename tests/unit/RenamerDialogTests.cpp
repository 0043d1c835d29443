// The rename and options dialogs where the stand-in host cannot take them:
// a host that refuses to create a dialog.
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

} // namespace
