// Code-page conversions: the real Windows API.
#include "platform/Platform.h"

#include <windows.h>

namespace Platform {

int WideCharToMultiByte(UINT codePage, DWORD flags, const char16_t* wide, int wideCount, char* multiByte,
                        int multiByteSize, const char* defaultChar, BOOL* usedDefaultChar)
{
    ::BOOL used = FALSE;
    const int result = ::WideCharToMultiByte(codePage, flags, reinterpret_cast<LPCWCH>(wide), wideCount, multiByte,
                                             multiByteSize, defaultChar, usedDefaultChar != nullptr ? &used : nullptr);
    if (usedDefaultChar != nullptr)
        *usedDefaultChar = used;
    return result;
}

int MultiByteToWideChar(UINT codePage, DWORD flags, const char* multiByte, int multiByteCount, char16_t* wide,
                        int wideSize)
{
    return ::MultiByteToWideChar(codePage, flags, multiByte, multiByteCount, reinterpret_cast<LPWSTR>(wide),
                                 wideSize);
}

BOOL CharToOemBuffA(const char* source, char* destination, DWORD length)
{
    return ::CharToOemBuffA(source, destination, length);
}

} // namespace Platform
