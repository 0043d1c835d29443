// The Windows calls the system makes, behind one header. Two backends:
// Win32 (the real API) and Posix (an emulation that follows Windows' rules:
// "\" and "/" separate path parts, names are UTF-8 on disk, renames never
// replace, temporary files are created exclusively and never through links).
// Text is UTF-16 (char16_t); BOOL results are 0 for failure.
#pragma once

#include <cstddef>
#include <cstdint>

namespace Platform {

using HANDLE = void*;
using BOOL = int32_t;
using DWORD = uint32_t;
using UINT = uint32_t;

inline HANDLE const INVALID_HANDLE_VALUE = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1));
constexpr DWORD INVALID_FILE_ATTRIBUTES = 0xFFFFFFFF;
constexpr DWORD MAX_PATH = 260;

// ---------------------------------------------------------------- user interface

constexpr UINT MB_ICONERROR = 0x10;
constexpr UINT MB_TASKMODAL = 0x2000;

// Windows: the system message box. Posix: the caption and text go to standard error.
int MessageBoxW(HANDLE owner, const char16_t* text, const char16_t* caption, UINT type);

// ---------------------------------------------------------------- module and version

// The full path of the module that holds `addressInModule` (this library's code).
DWORD GetModuleFileNameW(const void* addressInModule, char16_t* buffer, DWORD size);

struct VS_FIXEDFILEINFO {
    DWORD dwSignature;
    DWORD dwStrucVersion;
    DWORD dwFileVersionMS;
    DWORD dwFileVersionLS;
    DWORD dwProductVersionMS;
    DWORD dwProductVersionLS;
    DWORD dwFileFlagsMask;
    DWORD dwFileFlags;
    DWORD dwFileOS;
    DWORD dwFileType;
    DWORD dwFileSubtype;
    DWORD dwFileDateMS;
    DWORD dwFileDateLS;
};

// Posix: the version is the one the build stamped into the library; a
// library built without one has no version block (size 0).
DWORD GetFileVersionInfoSizeW(const char16_t* fileName, DWORD* handle);
BOOL GetFileVersionInfoW(const char16_t* fileName, DWORD handle, DWORD size, void* data);
BOOL VerQueryValueW(const void* block, const char16_t* subBlock, void** buffer, UINT* length);

// ---------------------------------------------------------------- files

constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x1;
constexpr DWORD FILE_ATTRIBUTE_HIDDEN = 0x2;
constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;
constexpr DWORD FILE_ATTRIBUTE_ARCHIVE = 0x20;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;
constexpr DWORD FILE_ATTRIBUTE_REPARSE_POINT = 0x400;

BOOL MoveFileW(const char16_t* existingName, const char16_t* newName);
DWORD GetTempPathW(DWORD bufferLength, char16_t* buffer);
UINT GetTempFileNameW(const char16_t* pathName, const char16_t* prefix, UINT unique, char16_t* tempFileName);
BOOL DeleteFileW(const char16_t* fileName);
DWORD GetFileAttributesW(const char16_t* fileName);
BOOL SetFileAttributesW(const char16_t* fileName, DWORD attributes);
BOOL RemoveDirectoryW(const char16_t* pathName);

struct FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
};

struct WIN32_FIND_DATAW {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    DWORD dwReserved0;
    DWORD dwReserved1;
    char16_t cFileName[MAX_PATH];
    char16_t cAlternateFileName[14];
};

HANDLE FindFirstFileW(const char16_t* fileName, WIN32_FIND_DATAW* findData);
BOOL FindNextFileW(HANDLE findFile, WIN32_FIND_DATAW* findData);
BOOL FindClose(HANDLE findFile);

constexpr DWORD GENERIC_READ = 0x80000000;
constexpr DWORD GENERIC_WRITE = 0x40000000;
constexpr DWORD FILE_SHARE_READ = 0x1;
constexpr DWORD FILE_SHARE_WRITE = 0x2;
constexpr DWORD CREATE_NEW = 1;
constexpr DWORD CREATE_ALWAYS = 2;
constexpr DWORD OPEN_EXISTING = 3;
constexpr DWORD OPEN_ALWAYS = 4;
constexpr DWORD TRUNCATE_EXISTING = 5;

// Posix: creation never follows a link at the last name and makes 0600 files.
HANDLE CreateFileW(const char16_t* fileName, DWORD desiredAccess, DWORD shareMode, DWORD creationDisposition,
                   DWORD flagsAndAttributes);
BOOL ReadFile(HANDLE file, void* buffer, DWORD toRead, DWORD* read);
BOOL WriteFile(HANDLE file, const void* buffer, DWORD toWrite, DWORD* written);
constexpr DWORD FILE_BEGIN = 0;
constexpr DWORD FILE_CURRENT = 1;
constexpr DWORD FILE_END = 2;
BOOL SetFilePointerEx(HANDLE file, int64_t distance, int64_t* newPosition, DWORD moveMethod);
BOOL SetEndOfFile(HANDLE file);
BOOL CloseHandle(HANDLE object);

DWORD GetLastError();
// The system's text for an error code, without a trailing line break.
DWORD FormatSystemMessage(DWORD error, char16_t* buffer, DWORD size);

// ---------------------------------------------------------------- code pages

constexpr UINT CP_ACP = 0;
constexpr UINT CP_OEMCP = 1;
constexpr UINT CP_UTF8 = 65001;
constexpr DWORD MB_ERR_INVALID_CHARS = 0x8;

// Posix: ANSI is Windows-1252, OEM is code page 437; unmapped characters become '?'.
int WideCharToMultiByte(UINT codePage, DWORD flags, const char16_t* wide, int wideCount, char* multiByte,
                        int multiByteSize, const char* defaultChar, BOOL* usedDefaultChar);
int MultiByteToWideChar(UINT codePage, DWORD flags, const char* multiByte, int multiByteCount, char16_t* wide,
                        int wideSize);
BOOL CharToOemBuffA(const char* source, char* destination, DWORD length);

} // namespace Platform
