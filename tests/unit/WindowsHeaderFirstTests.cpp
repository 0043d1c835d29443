// Our declarations of the host interface and of the Windows calls compile
// after <windows.h>, and every value we declare is Windows' own.
#if defined(_WIN32)
#include <windows.h>
#endif

#include "far3/FarKeysW.h"
#include "far3/Plugin3.h"
#include "platform/Platform.h"

#include <gtest/gtest.h>

#include <cstdint>

#if defined(_WIN32)
TEST(WindowsHeader, OurValuesAreWindowsOwn)
{
    struct Case {
        const char* name;
        uint64_t ours;
        uint64_t windows;
    };
    const Case cases[] = {
        {"MaxPath", Platform::MaxPath, MAX_PATH},
        {"InvalidFileAttributes", Platform::InvalidFileAttributes, INVALID_FILE_ATTRIBUTES},
        {"IconError", Platform::MessageBoxStyle::IconError, MB_ICONERROR},
        {"TaskModal", Platform::MessageBoxStyle::TaskModal, MB_TASKMODAL},
        {"ReadOnly", Platform::FileAttribute::ReadOnly, FILE_ATTRIBUTE_READONLY},
        {"Hidden", Platform::FileAttribute::Hidden, FILE_ATTRIBUTE_HIDDEN},
        {"Directory", Platform::FileAttribute::Directory, FILE_ATTRIBUTE_DIRECTORY},
        {"Archive", Platform::FileAttribute::Archive, FILE_ATTRIBUTE_ARCHIVE},
        {"Normal", Platform::FileAttribute::Normal, FILE_ATTRIBUTE_NORMAL},
        {"ReparsePoint", Platform::FileAttribute::ReparsePoint, FILE_ATTRIBUTE_REPARSE_POINT},
        {"GenericRead", Platform::Access::GenericRead, GENERIC_READ},
        {"GenericWrite", Platform::Access::GenericWrite, GENERIC_WRITE},
        {"ShareRead", Platform::Share::Read, FILE_SHARE_READ},
        {"ShareWrite", Platform::Share::Write, FILE_SHARE_WRITE},
        {"CreateNew", Platform::Disposition::CreateNew, CREATE_NEW},
        {"CreateAlways", Platform::Disposition::CreateAlways, CREATE_ALWAYS},
        {"OpenExisting", Platform::Disposition::OpenExisting, OPEN_EXISTING},
        {"OpenAlways", Platform::Disposition::OpenAlways, OPEN_ALWAYS},
        {"TruncateExisting", Platform::Disposition::TruncateExisting, TRUNCATE_EXISTING},
        {"SeekBegin", Platform::SeekOrigin::Begin, FILE_BEGIN},
        {"SeekCurrent", Platform::SeekOrigin::Current, FILE_CURRENT},
        {"SeekEnd", Platform::SeekOrigin::End, FILE_END},
        {"Ansi", Platform::CodePage::Ansi, CP_ACP},
        {"Oem", Platform::CodePage::Oem, CP_OEMCP},
        {"Utf8", Platform::CodePage::Utf8, CP_UTF8},
        {"ErrorInvalidChars", Platform::MultiByteFlag::ErrorInvalidChars, MB_ERR_INVALID_CHARS},
        {"Far3 Utf8", Far3::CodePage::Utf8, CP_UTF8},
        {"Far3 Directory", Far3::FileAttribute::Directory, FILE_ATTRIBUTE_DIRECTORY},
        {"Far3 ReparsePoint", Far3::FileAttribute::ReparsePoint, FILE_ATTRIBUTE_REPARSE_POINT},
        {"Key event", Far3::InputEvent::Key, KEY_EVENT},
        {"Mouse event", Far3::InputEvent::Mouse, MOUSE_EVENT},
        {"Buffer size event", Far3::InputEvent::WindowBufferSize, WINDOW_BUFFER_SIZE_EVENT},
        {"Escape", Far3::VirtualKey::Escape, VK_ESCAPE},
        {"Left Ctrl", Far3::ControlKey::LeftCtrl, LEFT_CTRL_PRESSED},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.ours, c.windows) << c.name;
    EXPECT_EQ(Platform::InvalidHandleValue, INVALID_HANDLE_VALUE);
    EXPECT_EQ(Far3::InvalidHandleValue, INVALID_HANDLE_VALUE);
}
#endif
