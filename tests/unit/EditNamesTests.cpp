// Editing the names with a names file saved in another encoding than UTF-8
// (the editor's choice, or a program given as EDITOR): where names are
// UTF-16 text (Windows) a changed line holding such bytes is refused with
// its number and nothing is renamed; where names are bytes (POSIX) the line
// names those very bytes.
#include "FakeHost.h"
#include "FakePanel.h"
#include "TestFiles.h"
#include "framework/FarPanel.h"
#include "plugin/uEditNames.h"
#include "plugin/uMessages.h"
#include "plugin/uPlugin.h"
#include "plugin/uSystem.h"

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;
using Base::String;

TEST(EditNamesText, AChangedLineInAnotherEncodingIsRefusedOnlyWhereNamesAreText)
{
    TestSupport::TestFolder root;
    TestSupport::WriteBytes(root.Child("a.txt"), "a");
    TestSupport::WriteBytes(root.Child("b.txt"), "b");
    Zelvane::TPlugin plugin;
    TestSupport::FakeHost host(&plugin);
    host.Messages[static_cast<intptr_t>(Zelvane::TMessage::LineNotUtf8)] = u"line %d";
    TestSupport::FakePanel panel;
    panel.Items = {{u"a.txt", Far3::PPIF_SELECTED}, {u"b.txt", Far3::PPIF_SELECTED}};
    panel.SelectedItemsNumber = 2;
    panel.Directory = root.Name();
    panel.Attach(host);
    host.ConvertPath = [](Far3::CONVERTPATHMODES, const char16_t* source, char16_t* target, size_t size) {
        const String path = source;
        if (target != nullptr && size > 0) {
            const size_t n = std::min(path.size(), size - 1);
            path.copy(target, n);
            target[n] = 0;
        }
        return path.size() + 1;
    };
    // The user saves "é.txt" in Latin-1 once, and nothing the next time.
    int edits = 0;
    host.Editor = [&edits](const char16_t* name, const char16_t*, intptr_t, intptr_t, intptr_t, intptr_t,
                           Far3::EDITOR_FLAGS, intptr_t, intptr_t, uintptr_t) -> intptr_t {
        if (edits++ > 0)
            return Far3::EEC_NOT_MODIFIED;
        TestSupport::WriteBytes(fs::path(String(name)), "a.txt\r\n\xE9.txt\r\n");
        return Far3::EEC_MODIFIED;
    };
    // Rename in the question; Cancel where the text is refused.
    host.Message = [](const TestSupport::ShownMessage& box) -> intptr_t { return box.Buttons == 4 ? 0 : 1; };
    {
        Tessel::TFarPanel snapshot(true, true);
        Zelvane::EditNames(snapshot, false);
    }
    Zelvane::DeleteTemporaryNames();

    bool refused = false;
    for (const TestSupport::ShownMessage& box : host.ShownMessages)
        for (const String& item : box.Items)
            refused = refused || item == u"line 2";
#if defined(_WIN32)
    EXPECT_TRUE(refused);
    EXPECT_TRUE(fs::exists(root.Child("b.txt")));
#else
    EXPECT_FALSE(refused);
    EXPECT_EQ(TestSupport::ReadBytes(root.Path / std::string("\xE9.txt")), "b");
#endif
    EXPECT_EQ(TestSupport::ReadBytes(root.Child("a.txt")), "a");
    EXPECT_EQ(std::distance(fs::directory_iterator(root.Path), fs::directory_iterator()), 2);
}

} // namespace
