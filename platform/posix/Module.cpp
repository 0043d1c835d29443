// Module name, version and message box for the POSIX build.
#include "platform/Platform.h"

#include "base/PosixNames.h"
#include "base/Utf.h"

#include <dlfcn.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace Platform {

namespace {

// The marker the build writes into the library, ahead of "major.minor.patch.tweak;".
// Kept in lower case here and raised at run time, so this code never carries
// the marker itself and cannot be mistaken for a stamp.
std::string StampMarker()
{
    std::string marker = "tessel_fileversion=";
    std::transform(marker.begin(), marker.end(), marker.begin(), [](unsigned char c) {
        return static_cast<char>(std::toupper(c));
    });
    return marker;
}

// Reads the stamped version of a file: true and the four parts when found.
bool ReadStamp(const std::string& path, DWORD parts[4])
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    const std::string content((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    const std::string marker = StampMarker();
    const auto at = content.find(marker);
    if (at == std::string::npos)
        return false;
    size_t pos = at + marker.size();
    for (int i = 0; i < 4; ++i) {
        DWORD value = 0;
        size_t digits = 0;
        while (pos < content.size() && content[pos] >= '0' && content[pos] <= '9' && digits < 6) {
            value = value * 10 + static_cast<DWORD>(content[pos] - '0');
            ++pos;
            ++digits;
        }
        if (digits == 0 || value > 0xFFFF)
            return false;
        parts[i] = value;
        const char expected = i < 3 ? '.' : ';';
        if (pos >= content.size() || content[pos] != expected)
            return false;
        ++pos;
    }
    return true;
}

// The stamp of the file last asked about, so the size query and the read
// that follows it (GetFileVersionInfoSizeW, then GetFileVersionInfoW) read
// the library file once between them.
bool CachedStamp(const char16_t* fileName, DWORD parts[4])
{
    static std::mutex guard;
    static std::string lastPath;
    static bool lastFound = false;
    static DWORD lastParts[4] = {};
    const std::optional<std::string> path = PosixNames::FromUtf16(fileName != nullptr ? fileName : u"");
    if (!path)
        return false;
    const std::lock_guard<std::mutex> lock(guard);
    if (*path != lastPath) {
        lastFound = ReadStamp(*path, lastParts);
        lastPath = *path;
    }
    std::copy(lastParts, lastParts + 4, parts);
    return lastFound;
}

constexpr DWORD FixedInfoSignature = 0xFEEF04BD;

} // namespace

int MessageBoxW(HANDLE /*owner*/, const char16_t* text, const char16_t* caption, UINT /*type*/)
{
    std::fprintf(stderr, "%s\n%s\n", Base::ToUtf8(caption ? caption : u"").c_str(),
                 Base::ToUtf8(text ? text : u"").c_str());
    std::fflush(stderr);
    return 1; // IDOK
}

DWORD GetModuleFileNameW(const void* addressInModule, char16_t* buffer, DWORD size)
{
    Dl_info info{};
    if (size == 0 || dladdr(addressInModule, &info) == 0 || info.dli_fname == nullptr)
        return 0;
    const Base::String name = PosixNames::ToUtf16(info.dli_fname);
    const DWORD count = std::min<DWORD>(static_cast<DWORD>(name.size()), size - 1);
    std::memcpy(buffer, name.data(), count * sizeof(char16_t));
    buffer[count] = 0;
    return count;
}

DWORD GetFileVersionInfoSizeW(const char16_t* fileName, DWORD* handle)
{
    if (handle != nullptr)
        *handle = 0;
    DWORD parts[4];
    return CachedStamp(fileName, parts) ? sizeof(VS_FIXEDFILEINFO) : 0;
}

BOOL GetFileVersionInfoW(const char16_t* fileName, DWORD /*handle*/, DWORD size, void* data)
{
    DWORD parts[4];
    if (data == nullptr || size < sizeof(VS_FIXEDFILEINFO) || !CachedStamp(fileName, parts))
        return 0;
    VS_FIXEDFILEINFO info{};
    info.dwSignature = FixedInfoSignature;
    info.dwStrucVersion = 0x10000;
    info.dwFileVersionMS = (parts[0] << 16) | parts[1];
    info.dwFileVersionLS = (parts[2] << 16) | parts[3];
    info.dwProductVersionMS = info.dwFileVersionMS;
    info.dwProductVersionLS = info.dwFileVersionLS;
    std::memcpy(data, &info, sizeof(info));
    return 1;
}

BOOL VerQueryValueW(const void* block, const char16_t* subBlock, void** buffer, UINT* length)
{
    if (block == nullptr || subBlock == nullptr || std::u16string_view(subBlock) != u"\\")
        return 0;
    const auto* info = static_cast<const VS_FIXEDFILEINFO*>(block);
    if (info->dwSignature != FixedInfoSignature)
        return 0;
    *buffer = const_cast<void*>(block);
    *length = sizeof(VS_FIXEDFILEINFO);
    return 1;
}

} // namespace Platform
