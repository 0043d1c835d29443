// The file calls and the last error: the real Windows API.
#include "platform/Platform.h"

#include "base/FileTime.h"
#include "platform/Faults.h"

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace Platform {

namespace {

LPCWSTR Wide(const char16_t* text)
{
    return reinterpret_cast<LPCWSTR>(text);
}

// Our record is Windows' own, field for field.
static_assert(sizeof(WIN32_FIND_DATAW) == sizeof(::WIN32_FIND_DATAW));
static_assert(offsetof(WIN32_FIND_DATAW, cFileName) == offsetof(::WIN32_FIND_DATAW, cFileName));

::WIN32_FIND_DATAW* Native(WIN32_FIND_DATAW* data)
{
    return reinterpret_cast<::WIN32_FIND_DATAW*>(data);
}

} // namespace

BOOL MoveFileW(const char16_t* existingName, const char16_t* newName)
{
    if (const ::DWORD error = Faults::Injected(Faults::TCall::Rename, existingName, newName)) {
        ::SetLastError(error);
        return 0;
    }
    return ::MoveFileW(Wide(existingName), Wide(newName));
}

BOOL MoveFileReplacingW(const char16_t* existingName, const char16_t* newName)
{
    return ::MoveFileExW(Wide(existingName), Wide(newName), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

DWORD GetTempPathW(DWORD bufferLength, char16_t* buffer)
{
    if (const ::DWORD error = Faults::Injected(Faults::TCall::TempPath, nullptr)) {
        ::SetLastError(error);
        return 0;
    }
    return ::GetTempPathW(bufferLength, reinterpret_cast<LPWSTR>(buffer));
}

UINT GetTempFileNameW(const char16_t* pathName, const char16_t* prefix, UINT unique, char16_t* tempFileName)
{
    if (const ::DWORD error = Faults::Injected(Faults::TCall::TempFileName, pathName)) {
        ::SetLastError(error);
        return 0;
    }
    return ::GetTempFileNameW(Wide(pathName), Wide(prefix), unique, reinterpret_cast<LPWSTR>(tempFileName));
}

BOOL DeleteFileW(const char16_t* fileName)
{
    if (const ::DWORD error = Faults::Injected(Faults::TCall::Delete, fileName)) {
        ::SetLastError(error);
        return 0;
    }
    return ::DeleteFileW(Wide(fileName));
}

DWORD GetFileAttributesW(const char16_t* fileName)
{
    if (const ::DWORD error = Faults::Injected(Faults::TCall::Attributes, fileName)) {
        ::SetLastError(error);
        return InvalidFileAttributes;
    }
    return ::GetFileAttributesW(Wide(fileName));
}

BOOL SetFileAttributesW(const char16_t* fileName, DWORD attributes)
{
    return ::SetFileAttributesW(Wide(fileName), attributes);
}

BOOL RemoveDirectoryW(const char16_t* pathName)
{
    return ::RemoveDirectoryW(Wide(pathName));
}

BOOL GetFileAttributesExW(const char16_t* fileName, WIN32_FILE_ATTRIBUTE_DATA* data)
{
    static_assert(sizeof(WIN32_FILE_ATTRIBUTE_DATA) == sizeof(::WIN32_FILE_ATTRIBUTE_DATA));
    if (const ::DWORD error = Faults::Injected(Faults::TCall::Attributes, fileName)) {
        ::SetLastError(error);
        return 0;
    }
    return ::GetFileAttributesExW(Wide(fileName), GetFileExInfoStandard, data);
}

BOOL CreateDirectoryW(const char16_t* pathName)
{
    if (const ::DWORD error = Faults::Injected(Faults::TCall::Create, pathName)) {
        ::SetLastError(error);
        return 0;
    }
    return ::CreateDirectoryW(Wide(pathName), nullptr);
}

HANDLE FindFirstFileW(const char16_t* fileName, WIN32_FIND_DATAW* findData)
{
    return ::FindFirstFileW(Wide(fileName), Native(findData));
}

BOOL FindNextFileW(HANDLE findFile, WIN32_FIND_DATAW* findData)
{
    return ::FindNextFileW(findFile, Native(findData));
}

BOOL FindClose(HANDLE findFile)
{
    return ::FindClose(findFile);
}

BOOL ListFileNames(const char16_t* directory, const FileNameVisitor& visit)
{
    if (directory == nullptr) {
        ::SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::u16string pattern = directory;
    if (!pattern.empty() && pattern.back() != u'\\' && pattern.back() != u'/')
        pattern += u'\\';
    pattern += u'*';
    ::WIN32_FIND_DATAW data{};
    const ::HANDLE find = ::FindFirstFileExW(Wide(pattern.c_str()), FindExInfoStandard, &data,
                                             FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE)
        return 0;
    do {
        const std::u16string_view name = reinterpret_cast<const char16_t*>(data.cFileName);
        if (name == u"." || name == u"..")
            continue;
        visit(reinterpret_cast<const char16_t*>(data.cFileName),
              reinterpret_cast<const char16_t*>(data.cAlternateFileName));
    } while (::FindNextFileW(find, &data));
    const ::DWORD error = ::GetLastError();
    ::FindClose(find);
    ::SetLastError(error);
    return error == ERROR_NO_MORE_FILES ? 1 : 0;
}

BOOL ListFileIndexes(const char16_t* directory, uint64_t* volume, const FileIndexVisitor& visit)
{
    if (directory == nullptr || volume == nullptr) {
        ::SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const ::HANDLE folder = ::CreateFileW(Wide(directory), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                          OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (folder == INVALID_HANDLE_VALUE)
        return 0;
    BY_HANDLE_FILE_INFORMATION information{};
    ::DWORD error = ERROR_SUCCESS;
    if (::GetFileInformationByHandle(folder, &information)) {
        *volume = information.dwVolumeSerialNumber;
        // Whole records, 8-byte aligned, as many as a large fetch takes.
        std::vector<std::uint64_t> buffer(8192);
        std::u16string name;
        while (::GetFileInformationByHandleEx(folder, FileIdBothDirectoryInfo, buffer.data(),
                                              static_cast<::DWORD>(buffer.size() * sizeof(buffer[0])))) {
            const auto* bytes = reinterpret_cast<const unsigned char*>(buffer.data());
            for (size_t at = 0;;) {
                const auto* entry = reinterpret_cast<const ::FILE_ID_BOTH_DIR_INFO*>(bytes + at);
                name.assign(reinterpret_cast<const char16_t*>(entry->FileName), entry->FileNameLength / 2);
                if (name != u"." && name != u"..")
                    visit(name.c_str(), static_cast<uint64_t>(entry->FileId.QuadPart));
                if (entry->NextEntryOffset == 0)
                    break;
                at += entry->NextEntryOffset;
            }
        }
        error = ::GetLastError();
        if (error == ERROR_NO_MORE_FILES)
            error = ERROR_SUCCESS;
    } else {
        error = ::GetLastError();
    }
    ::CloseHandle(folder);
    ::SetLastError(error);
    return error == ERROR_SUCCESS ? 1 : 0;
}

HANDLE CreateFileW(const char16_t* fileName, DWORD desiredAccess, DWORD shareMode, DWORD creationDisposition,
                   DWORD flagsAndAttributes)
{
    if (const ::DWORD error = Faults::Injected(Faults::TCall::Create, fileName)) {
        ::SetLastError(error);
        return InvalidHandleValue;
    }
    return ::CreateFileW(Wide(fileName), desiredAccess, shareMode, nullptr, creationDisposition, flagsAndAttributes,
                         nullptr);
}

BOOL ReadFile(HANDLE file, void* buffer, DWORD toRead, DWORD* read)
{
    return ::ReadFile(file, buffer, toRead, reinterpret_cast<LPDWORD>(read), nullptr);
}

BOOL WriteFile(HANDLE file, const void* buffer, DWORD toWrite, DWORD* written)
{
    if (const ::DWORD error = Faults::Injected(Faults::TCall::Write, nullptr)) {
        if (written != nullptr)
            *written = 0;
        ::SetLastError(error);
        return 0;
    }
    return ::WriteFile(file, buffer, toWrite, reinterpret_cast<LPDWORD>(written), nullptr);
}

BOOL SetFilePointerEx(HANDLE file, int64_t distance, int64_t* newPosition, DWORD moveMethod)
{
    LARGE_INTEGER move{};
    move.QuadPart = distance;
    LARGE_INTEGER reached{};
    const BOOL done = ::SetFilePointerEx(file, move, &reached, moveMethod);
    if (done && newPosition != nullptr)
        *newPosition = reached.QuadPart;
    return done;
}

BOOL SetEndOfFile(HANDLE file)
{
    return ::SetEndOfFile(file);
}

BOOL CloseHandle(HANDLE object)
{
    return ::CloseHandle(object);
}

BOOL GetFileIdentity(HANDLE file, FileIdentity* identity)
{
    BY_HANDLE_FILE_INFORMATION information{};
    if (identity == nullptr || !::GetFileInformationByHandle(file, &information))
        return 0;
    identity->Volume = information.dwVolumeSerialNumber;
    identity->Index = Base::JoinHalves(information.nFileIndexHigh, information.nFileIndexLow);
    return 1;
}

BOOL GetFileStampW(const char16_t* fileName, FileStamp* stamp)
{
    if (const ::DWORD error = Faults::Injected(Faults::TCall::Attributes, fileName)) {
        ::SetLastError(error);
        return 0;
    }
    if (stamp == nullptr) {
        ::SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const ::HANDLE file = ::CreateFileW(Wide(fileName), FILE_READ_ATTRIBUTES,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    BY_HANDLE_FILE_INFORMATION information{};
    const BOOL read = ::GetFileInformationByHandle(file, &information);
    const ::DWORD error = ::GetLastError();
    ::CloseHandle(file);
    if (!read) {
        ::SetLastError(error);
        return 0;
    }
    stamp->Identity.Volume = information.dwVolumeSerialNumber;
    stamp->Identity.Index = Base::JoinHalves(information.nFileIndexHigh, information.nFileIndexLow);
    stamp->Size = Base::JoinHalves(information.nFileSizeHigh, information.nFileSizeLow);
    stamp->LastWriteTime = Base::FileTimeValue(information.ftLastWriteTime);
    return 1;
}

HANDLE OpenFolderW(const char16_t* path)
{
    return ::CreateFileW(Wide(path), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

BOOL GetFileStampInFolderW(HANDLE /*folder*/, const char16_t* fullName, const char16_t* /*name*/, FileStamp* stamp)
{
    return GetFileStampW(fullName, stamp);
}

BOOL MoveFileInFolderW(HANDLE /*folder*/, const char16_t* existingName, const char16_t* newName,
                       const char16_t* /*name*/, const char16_t* /*newFolderName*/)
{
    return MoveFileW(existingName, newName);
}

BOOL FlushFileBuffers(HANDLE file)
{
    if (const ::DWORD error = Faults::Injected(Faults::TCall::Write, nullptr)) {
        ::SetLastError(error);
        return 0;
    }
    return ::FlushFileBuffers(file);
}

DWORD GetEnvironmentVariableW(const char16_t* name, char16_t* buffer, DWORD size)
{
    return ::GetEnvironmentVariableW(Wide(name), reinterpret_cast<LPWSTR>(buffer), size);
}

BOOL SetEnvironmentVariableW(const char16_t* name, const char16_t* value)
{
    return ::SetEnvironmentVariableW(Wide(name), value != nullptr ? Wide(value) : nullptr);
}

DWORD GetLastError()
{
    return ::GetLastError();
}

DWORD FormatSystemMessage(DWORD error, char16_t* buffer, DWORD size)
{
    DWORD length = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                                    reinterpret_cast<LPWSTR>(buffer), size, nullptr);
    while (length > 0 && (buffer[length - 1] == u'\r' || buffer[length - 1] == u'\n'))
        buffer[--length] = u'\0';
    return length;
}

} // namespace Platform
