#include "plugin/FileStream.h"

#include <filesystem>

namespace Zelvane {

namespace {

// The full name for messages; the name as given when it cannot be expanded.
// Nothing raised here may take the place of the error being reported: a
// name the path type cannot convert (a lone surrogate) raises.
String ExpandedFileName(const String& fileName)
{
    try {
        std::error_code error;
        const std::filesystem::path full = std::filesystem::absolute(std::filesystem::path(fileName), error);
        if (error)
            return fileName;
        return full.u16string();
    } catch (...) {
        return fileName;
    }
}

Platform::DWORD ShareModeOf(uint16_t mode)
{
    switch (mode & 0x00F0) {
    case TFileStream::ShareDenyWrite: return Platform::Share::Read;
    case TFileStream::ShareDenyRead: return Platform::Share::Write;
    case TFileStream::ShareDenyNone: return Platform::Share::Read | Platform::Share::Write;
    default: return 0;
    }
}

Platform::DWORD AccessOf(uint16_t mode)
{
    switch (mode & 0x0003) {
    case TFileStream::ModeOpenWrite: return Platform::Access::GenericWrite;
    case TFileStream::ModeOpenReadWrite: return Platform::Access::GenericRead | Platform::Access::GenericWrite;
    default: return Platform::Access::GenericRead;
    }
}

} // namespace

String LastSystemErrorText()
{
    return SystemErrorText(Platform::GetLastError());
}

String SystemErrorText(Platform::DWORD error)
{
    char16_t text[1024] = {};
    const Platform::DWORD length = Platform::FormatSystemMessage(error, text, 1024);
    return String(text, length);
}

TFileStream::TFileStream(const String& fileName, uint16_t mode) : Name(fileName)
{
    const bool creating = (mode & ModeCreate) == ModeCreate;
    if (creating) {
        Handle = Platform::CreateFileW(fileName.c_str(), Platform::Access::GenericRead | Platform::Access::GenericWrite,
                                       0, Platform::Disposition::CreateAlways, Platform::FileAttribute::Normal);
    } else {
        Handle = Platform::CreateFileW(fileName.c_str(), AccessOf(mode), ShareModeOf(mode),
                                       Platform::Disposition::OpenExisting, Platform::FileAttribute::Normal);
    }
    if (Handle == Platform::InvalidHandleValue) {
        const String reason = LastSystemErrorText();
        const String what = creating ? u"Cannot create file \"" : u"Cannot open file \"";
        const String message = what + ExpandedFileName(fileName) + u"\". " + reason;
        if (creating)
            throw Base::EFCreateError(message);
        throw EFOpenError(message);
    }
}

TFileStream::~TFileStream()
{
    Platform::CloseHandle(Handle);
}

void TFileStream::SetSize(int64_t newSize)
{
    // Checked first: a refused seek answers -1, which would pass for having
    // reached a size of -1 and cut the file at wherever it stands.
    if (newSize < 0)
        throw Base::EStreamError(u"Cannot set the size of \"" + Name + u"\" to a negative size.");
    if (Seek(newSize, Base::TSeekOrigin::Beginning) != newSize || !Platform::SetEndOfFile(Handle))
        throw Base::EStreamError(u"Cannot set the size of \"" + Name + u"\". " + LastSystemErrorText());
}

int32_t TFileStream::Read(void* buffer, int32_t count)
{
    if (count <= 0)
        return 0;
    Platform::DWORD read = 0;
    if (!Platform::ReadFile(Handle, buffer, static_cast<Platform::DWORD>(count), &read))
        return 0;
    return static_cast<int32_t>(read);
}

int32_t TFileStream::Write(const void* buffer, int32_t count)
{
    if (count <= 0)
        return 0;
    Platform::DWORD written = 0;
    if (!Platform::WriteFile(Handle, buffer, static_cast<Platform::DWORD>(count), &written))
        return 0;
    return static_cast<int32_t>(written);
}

int64_t TFileStream::Seek(int64_t offset, Base::TSeekOrigin origin)
{
    int64_t position = 0;
    if (!Platform::SetFilePointerEx(Handle, offset, &position, static_cast<Platform::DWORD>(origin)))
        return -1;
    return position;
}

} // namespace Zelvane
