// Our declarations of the host interface and of the Windows calls leave
// <windows.h> usable when they come first: no name of ours is one of its macros.
#include "far3/FarKeysW.h"
#include "far3/Plugin3.h"
#include "platform/Platform.h"

#if defined(_WIN32)
#include <windows.h>

#include <gtest/gtest.h>

TEST(WindowsHeader, IncludedAfterOurs)
{
    EXPECT_EQ(Platform::MaxPath, static_cast<Platform::DWORD>(MAX_PATH));
    EXPECT_EQ(Far3::InputEvent::Key, KEY_EVENT);
}
#endif
