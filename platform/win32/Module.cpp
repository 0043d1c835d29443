// Module name, version and message box: the real Windows calls.
#include "platform/Platform.h"

#include <windows.h>

namespace Platform {

int MessageBoxW(HANDLE owner, const char16_t* text, const char16_t* caption, UINT type)
{
    return ::MessageBoxW(static_cast<HWND>(owner), reinterpret_cast<LPCWSTR>(text),
                         reinterpret_cast<LPCWSTR>(caption), type);
}

DWORD GetModuleFileNameW(const void* addressInModule, char16_t* buffer, DWORD size)
{
    HMODULE module = nullptr;
    if (!::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                              static_cast<LPCWSTR>(addressInModule), &module))
        return 0;
    return ::GetModuleFileNameW(module, reinterpret_cast<LPWSTR>(buffer), size);
}

DWORD GetFileVersionInfoSizeW(const char16_t* fileName, DWORD* handle)
{
    return ::GetFileVersionInfoSizeW(reinterpret_cast<LPCWSTR>(fileName), reinterpret_cast<LPDWORD>(handle));
}

BOOL GetFileVersionInfoW(const char16_t* fileName, DWORD handle, DWORD size, void* data)
{
    return ::GetFileVersionInfoW(reinterpret_cast<LPCWSTR>(fileName), handle, size, data);
}

BOOL VerQueryValueW(const void* block, const char16_t* subBlock, void** buffer, UINT* length)
{
    return ::VerQueryValueW(block, reinterpret_cast<LPCWSTR>(subBlock), buffer, length);
}

} // namespace Platform
