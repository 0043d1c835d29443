// The Windows calls the system makes, behind one header. Two backends:
// Win32 (the real API) and Posix (an emulation that follows Windows' rules:
// "\" and "/" separate path parts, names are UTF-8 on disk, renames never
// replace, temporary files are created exclusively and never through links).
// Text is UTF-16 (char16_t); BOOL results are 0 for failure.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

namespace Platform {

using HANDLE = void*;
using BOOL = int32_t;
using DWORD = uint32_t;
using UINT = uint32_t;

// None of our names is one that <windows.h> defines as a macro, so this
// header compiles whichever of the two is included first.
inline HANDLE const InvalidHandleValue = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1));
constexpr DWORD InvalidFileAttributes = 0xFFFFFFFF;
constexpr DWORD MaxPath = 260;

// ---------------------------------------------------------------- user interface

namespace MessageBoxStyle {
inline constexpr UINT IconError = 0x10;
inline constexpr UINT TaskModal = 0x2000;
} // namespace MessageBoxStyle

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

namespace FileAttribute {
inline constexpr DWORD ReadOnly = 0x1;
inline constexpr DWORD Hidden = 0x2;
inline constexpr DWORD Directory = 0x10;
inline constexpr DWORD Archive = 0x20;
inline constexpr DWORD Normal = 0x80;
inline constexpr DWORD ReparsePoint = 0x400;
} // namespace FileAttribute

BOOL MoveFileW(const char16_t* existingName, const char16_t* newName);
// A rename that replaces a file at the new name (MoveFileExW with
// MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH), for a file that is
// written whole under a temporary name and then takes the place of the
// old one. Posix: rename(), then the folder flushed, so the new name lasts.
BOOL MoveFileReplacingW(const char16_t* existingName, const char16_t* newName);
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
    char16_t cFileName[MaxPath];
    char16_t cAlternateFileName[14];
};

// What GetFileAttributesExW reports about one file or folder.
struct WIN32_FILE_ATTRIBUTE_DATA {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
};

// The attributes, times and size of one name, without listing its folder
// (GetFileExInfoStandard). A link reports itself, as Windows reports a
// reparse point: its own times and size 0, whether or not it leads
// anywhere (the stand-in host's panels show it so); a folder has size 0.
BOOL GetFileAttributesExW(const char16_t* fileName, WIN32_FILE_ATTRIBUTE_DATA* data);
// Creates one folder (not its parents); fails when the name is taken.
// Posix: mode 0700, as the folders of a private profile.
BOOL CreateDirectoryW(const char16_t* pathName);

HANDLE FindFirstFileW(const char16_t* fileName, WIN32_FIND_DATAW* findData);
BOOL FindNextFileW(HANDLE findFile, WIN32_FIND_DATAW* findData);
BOOL FindClose(HANDLE findFile);

// The names in the folder `directory` (with or without a separator at the
// end), "." and ".." left out, for a caller that needs nothing else of the
// entries: `visit` gets each name and its short name where the file system
// keeps one (else an empty text); both only for the call. Windows:
// FindFirstFileExW in large fetches; Posix: the listing alone, without the
// stat of every entry that FindFirstFileW makes. False, with the error for
// GetLastError, when the folder cannot be listed.
using FileNameVisitor = std::function<void(const char16_t* name, const char16_t* shortName)>;
BOOL ListFileNames(const char16_t* directory, const FileNameVisitor& visit);

// The file index of every entry of the folder `directory` from its listing
// alone, for a caller that needs the identities of many of its files at
// once: `visit` gets each name ("." and ".." left out; only for the call)
// with what FileIdentity::Index holds for it, and `volume` what
// FileIdentity::Volume holds for the files in the folder. Windows:
// GetFileInformationByHandleEx (FileIdBothDirectoryInfo) on the folder;
// Posix: the listing's inode numbers and the folder's device, without a
// stat of every entry. Some file systems number a listing otherwise than
// their files (an overlay without inode translation): a caller compares one
// with GetFileStampW before it trusts the rest. False, with the error for
// GetLastError, when the folder cannot be listed.
using FileIndexVisitor = std::function<void(const char16_t* name, uint64_t index)>;
BOOL ListFileIndexes(const char16_t* directory, uint64_t* volume, const FileIndexVisitor& visit);

namespace Access {
inline constexpr DWORD GenericRead = 0x80000000;
inline constexpr DWORD GenericWrite = 0x40000000;
} // namespace Access
namespace Share {
inline constexpr DWORD Read = 0x1;
inline constexpr DWORD Write = 0x2;
inline constexpr DWORD Delete = 0x4;
} // namespace Share
namespace Disposition {
inline constexpr DWORD CreateNew = 1;
inline constexpr DWORD CreateAlways = 2;
inline constexpr DWORD OpenExisting = 3;
inline constexpr DWORD OpenAlways = 4;
inline constexpr DWORD TruncateExisting = 5;
} // namespace Disposition

namespace FileFlag {
// Opens a link itself instead of what it leads to.
inline constexpr DWORD OpenReparsePoint = 0x00200000;
} // namespace FileFlag

// Posix: creation never follows a link at the last name and makes 0600
// files; only plain files are opened.
HANDLE CreateFileW(const char16_t* fileName, DWORD desiredAccess, DWORD shareMode, DWORD creationDisposition,
                   DWORD flagsAndAttributes);
BOOL ReadFile(HANDLE file, void* buffer, DWORD toRead, DWORD* read);
BOOL WriteFile(HANDLE file, const void* buffer, DWORD toWrite, DWORD* written);
namespace SeekOrigin {
inline constexpr DWORD Begin = 0;
inline constexpr DWORD Current = 1;
inline constexpr DWORD End = 2;
} // namespace SeekOrigin
BOOL SetFilePointerEx(HANDLE file, int64_t distance, int64_t* newPosition, DWORD moveMethod);
BOOL SetEndOfFile(HANDLE file);
// Posix: a handle that is not open (never given out, or closed already)
// is refused with ERROR_INVALID_HANDLE, as on Windows.
BOOL CloseHandle(HANDLE object);

// What tells an open file from every other file while it exists. Windows:
// the volume serial number and the file index; Posix: the device and the
// inode.
struct FileIdentity {
    uint64_t Volume = 0;
    uint64_t Index = 0;

    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};
BOOL GetFileIdentity(HANDLE file, FileIdentity* identity);

// A file's identity with its size and last-write time (FILETIME as one
// number), read by name: of a link, the link itself. Windows: opened for
// its attributes only, then GetFileInformationByHandle; Posix: lstat.
struct FileStamp {
    FileIdentity Identity;
    uint64_t Size = 0;
    uint64_t LastWriteTime = 0;
};
BOOL GetFileStampW(const char16_t* fileName, FileStamp* stamp);

// A folder held open so that the stamps of the files in it are read by
// their names relative to it (GetFileStampInFolderW), as a run reads one
// after every rename: on Posix the kernel then walks one name instead of
// the whole path. Closed with CloseHandle; InvalidHandleValue on failure.
// Windows: the folder opened for its attributes.
HANDLE OpenFolderW(const char16_t* path);
// The stamp of `name` (relative to `folder`; "\" separates subfolders)
// whose full name is `fullName`. Windows reads it by the full name; Posix
// relative to the folder, or by the full name when `folder` is not one.
BOOL GetFileStampInFolderW(HANDLE folder, const char16_t* fullName, const char16_t* name, FileStamp* stamp);
// MoveFileW of `existingName` to `newName` (full names), both in `folder`,
// where they are `name` and `newFolderName`: the same rules and results.
// Posix: renamed relative to the folder when both are plain names (no
// separator, no trailing dot or blank, not "." or ".."), so the kernel
// walks two names instead of two whole paths; anything else, and any rename
// that does not go through at once, goes by the full names. Windows: by the
// full names.
BOOL MoveFileInFolderW(HANDLE folder, const char16_t* existingName, const char16_t* newName, const char16_t* name,
                       const char16_t* newFolderName);

// Writes what the system holds of the file's data to the medium
// (FlushFileBuffers; Posix: fdatasync).
BOOL FlushFileBuffers(HANDLE file);

// Deletes a directory with everything in it; a link, at any level, goes as a
// link and is never followed, so nothing outside the tree is touched. Posix:
// level by level relative to open directory descriptors, so a folder swapped
// for a link between listing and removal cannot steer the removal elsewhere.
// True when the directory is gone; false leaves what could not go.
BOOL DeleteTree(const char16_t* directory);

// Writes to `key` (room for `length` units) the form in which the file
// system compares the name `name` of `length` units: two names are one file
// name exactly when their keys are equal. Windows: the invariant upper case,
// as NTFS and FAT compare names without regard to case; Posix: the name
// itself, since names become bytes one to one and compare byte for byte.
void FileNameKey(const char16_t* name, size_t length, char16_t* key);

DWORD GetLastError();
// The system's text for an error code, without a trailing line break.
DWORD FormatSystemMessage(DWORD error, char16_t* buffer, DWORD size);

// ---------------------------------------------------------------- console input

// The console's input queue, where a long piece of work looks for Esc
// between its steps as Far does. The records are laid out as Windows lays
// them out.
inline constexpr DWORD StdInputHandle = static_cast<DWORD>(-10);
namespace InputEventType {
inline constexpr uint16_t Key = 0x1;
} // namespace InputEventType
inline constexpr uint16_t VirtualKeyEscape = 0x1B;

struct KEY_EVENT_RECORD {
    BOOL bKeyDown;
    uint16_t wRepeatCount;
    uint16_t wVirtualKeyCode;
    uint16_t wVirtualScanCode;
    char16_t UnicodeChar;
    DWORD dwControlKeyState;
};

struct INPUT_RECORD {
    uint16_t EventType;
    union {
        KEY_EVENT_RECORD KeyEvent;
        uint8_t Raw[16];
    } Event;
};
static_assert(sizeof(INPUT_RECORD) == 20);

// Windows: the process's standard handle. Posix: StdInputHandle gives a
// handle for the console input the program that loaded us plays (below);
// any other value gives InvalidHandleValue.
HANDLE GetStdHandle(DWORD which);
// Copies up to `length` waiting records without taking them (PeekConsoleInputW);
// `*read` is 0 when none waits. ReadConsoleInputW takes them; the caller only
// asks for as many as a peek found, so it never waits. Posix: the program
// that loaded us plays the console when it exports the C functions
// ZelvaneHostPeekConsoleInput and ZelvaneHostReadConsoleInput (the stand-in
// host does), of the same signature as these less the handle; without them
// there is no console, and both fail with ERROR_INVALID_HANDLE.
BOOL PeekConsoleInputW(HANDLE console, INPUT_RECORD* buffer, DWORD length, DWORD* read);
BOOL ReadConsoleInputW(HANDLE console, INPUT_RECORD* buffer, DWORD length, DWORD* read);
// ---------------------------------------------------------------- time

// A calendar time to the second, in the local time of this machine.
struct LocalTime {
    int Year = 0, Month = 0, Day = 0, Hour = 0, Minute = 0, Second = 0;
};

// The local calendar time of a file time (a FILETIME's 100 ns steps from
// 1601-01-01 UTC), as the file manager shows a file's dates. Windows:
// FileTimeToLocalFileTime and FileTimeToSystemTime; Posix: localtime_r.
// False for 0 (no time) and for a time that has no calendar date.
BOOL FileTimeToLocalTime(uint64_t fileTime, LocalTime* local);

// ---------------------------------------------------------------- environment

// The value of an environment variable of this process: its length without
// the terminating zero when it fits into `size` units, else the size it
// needs with the zero; 0 when the variable is not set. Posix: the value's
// bytes map to text as file names do (base/PosixNames.h).
DWORD GetEnvironmentVariableW(const char16_t* name, char16_t* buffer, DWORD size);
// Sets a variable of this process; a null `value` removes it.
BOOL SetEnvironmentVariableW(const char16_t* name, const char16_t* value);

// ---------------------------------------------------------------- code pages

namespace CodePage {
inline constexpr UINT Ansi = 0;
inline constexpr UINT Oem = 1;
inline constexpr UINT Utf8 = 65001;
} // namespace CodePage
namespace MultiByteFlag {
inline constexpr DWORD ErrorInvalidChars = 0x8;
} // namespace MultiByteFlag

// Posix: ANSI is Windows-1252, OEM is code page 437; unmapped characters become '?'.
int WideCharToMultiByte(UINT codePage, DWORD flags, const char16_t* wide, int wideCount, char* multiByte,
                        int multiByteSize, const char* defaultChar, BOOL* usedDefaultChar);
int MultiByteToWideChar(UINT codePage, DWORD flags, const char* multiByte, int multiByteCount, char16_t* wide,
                        int wideSize);
BOOL CharToOemBuffA(const char* source, char* destination, DWORD length);

} // namespace Platform
