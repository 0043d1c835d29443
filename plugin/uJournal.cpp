#include "plugin/uJournal.h"

#include "base/FileTime.h"
#include "base/GuidText.h"
#include "base/Utf.h"
#include "plugin/uPluginConsts.h"

#include <algorithm>
#include <chrono>

namespace Zelvane {

namespace {

// An undo's progress goes to disk in pieces of about this many bytes.
constexpr size_t UndoProgressBytes = 64 * 1024;

// The folder the journal goes in, made when missing (with PluginsData).
void MakeJournalFolder(const String& fileName)
{
    const size_t last = fileName.find_last_of(u"\\/");
    const size_t parent = last == String::npos || last == 0 ? String::npos : fileName.find_last_of(u"\\/", last - 1);
    if (parent != String::npos)
        Platform::CreateDirectoryW(fileName.substr(0, parent).c_str());
    if (last != String::npos)
        Platform::CreateDirectoryW(fileName.substr(0, last).c_str());
}

// A file beside the journal: its name with another extension.
String Beside(const String& fileName, const char16_t* extension)
{
    const size_t dot = fileName.rfind(u'.');
    return fileName.substr(0, dot) + extension;
}

bool WriteAll(Platform::HANDLE file, std::string_view bytes)
{
    while (!bytes.empty()) {
        const auto chunk = static_cast<Platform::DWORD>(std::min<size_t>(bytes.size(), 1u << 30));
        Platform::DWORD written = 0;
        if (!Platform::WriteFile(file, bytes.data(), chunk, &written) || written == 0)
            return false;
        bytes.remove_prefix(written);
    }
    return true;
}

bool IsMissing(Platform::DWORD error)
{
    constexpr Platform::DWORD FileNotFound = 2;
    constexpr Platform::DWORD PathNotFound = 3;
    return error == FileNotFound || error == PathNotFound;
}

Platform::HANDLE CreateForWriting(const String& fileName)
{
    return Platform::CreateFileW(fileName.c_str(), Platform::Access::GenericWrite, Platform::Share::Read,
                                 Platform::Disposition::CreateAlways, Platform::FileAttribute::Normal);
}

// `bytes` as the whole of a new file under the temporary name, flushed,
// then in the place of `fileName`.
bool WriteWhole(const String& fileName, std::string_view bytes)
{
    const String temporary = Beside(fileName, u".new");
    const Platform::HANDLE file = CreateForWriting(temporary);
    if (file == Platform::InvalidHandleValue)
        return false;
    const bool written = WriteAll(file, bytes) && Platform::FlushFileBuffers(file);
    Platform::CloseHandle(file);
    if (!written || !Platform::MoveFileReplacingW(temporary.c_str(), fileName.c_str())) {
        Platform::DeleteFileW(temporary.c_str());
        return false;
    }
    return true;
}

} // namespace

String JournalFileName()
{
    const char16_t* const variable = u"FARLOCALPROFILE";
    const Platform::DWORD needed = Platform::GetEnvironmentVariableW(variable, nullptr, 0);
    if (needed <= 1)
        return {};
    String profile(needed, u'\0');
    const Platform::DWORD length = Platform::GetEnvironmentVariableW(variable, profile.data(), needed);
    if (length == 0 || length >= needed)
        return {};
    profile.resize(length);
    // Joined with the separator the profile's own path uses, so the name
    // reads as one path where it is shown.
    const char16_t separator = profile.find(u'/') != String::npos && profile.find(u'\\') == String::npos ? u'/' : u'\\';
    if (profile.back() != separator)
        profile += separator;
    return profile + u"PluginsData" + separator + Base::FromUtf8(Base::GuidText(PluginGuid)) + separator + u"last-run.txt";
}

uint64_t CurrentFileTime()
{
    return Base::FileTimeFromUnixTime(Base::UnixTimeOf(std::chrono::system_clock::now())).value_or(0);
}

std::optional<TFileStamp> ReadFileStamp(const String& fileName)
{
    Platform::FileStamp stamp;
    if (!Platform::GetFileStampW(fileName.c_str(), &stamp))
        return std::nullopt;
    return TFileStamp{stamp.Identity, stamp.Size, stamp.LastWriteTime};
}

std::optional<TFileStamp> ReadFileStamp(Platform::HANDLE folder, const String& fileName, const String& name)
{
    Platform::FileStamp stamp;
    if (!Platform::GetFileStampInFolderW(folder, fileName.c_str(), name.c_str(), &stamp))
        return std::nullopt;
    return TFileStamp{stamp.Identity, stamp.Size, stamp.LastWriteTime};
}

TJournalHold::TJournalHold(const String& journalFileName)
{
    if (journalFileName.empty())
        return;
    MakeJournalFolder(journalFileName);
    // Never deleted: a lock file that goes away between two openers would
    // let both hold it.
    const String lockName = Beside(journalFileName, u".lock");
    const Platform::HANDLE file = Platform::CreateFileW(lockName.c_str(), Platform::Access::GenericWrite, 0,
                                                        Platform::Disposition::OpenAlways,
                                                        Platform::FileAttribute::Normal);
    if (file != Platform::InvalidHandleValue) {
        File = file;
        Current = TState::Held;
        return;
    }
    constexpr Platform::DWORD SharingViolation = 32;
    constexpr Platform::DWORD LockViolation = 33;
    const Platform::DWORD error = Platform::GetLastError();
    Current = error == SharingViolation || error == LockViolation ? TState::Busy : TState::Lost;
}

TJournalHold::~TJournalHold()
{
    if (File != nullptr)
        Platform::CloseHandle(File);
}

TRunJournal::TRunJournal(String fileName, const String& folder, uint64_t time) : FileName(std::move(fileName))
{
    Failed = true;
    if (FileName.empty())
        return;
    MakeJournalFolder(FileName);
    TemporaryName = Beside(FileName, u".new");
    const Platform::HANDLE file = CreateForWriting(TemporaryName);
    if (file == Platform::InvalidHandleValue)
        return;
    Failed = false;
    File = file;
    Pending = FormatJournalHeading(folder, time);
    if (!Write(true))
        GiveUp();
}

TRunJournal::~TRunJournal()
{
    // Cut short by an exception: every intent without an outcome is one the
    // run never reached, as each rename's outcome is noted right after it.
    if (File != nullptr && Settled < Entries)
        NotDone(Settled, Entries - Settled);
    Finish();
}

uint64_t TRunJournal::Intend(Base::StringView oldName, Base::StringView newName, uint64_t size,
                             uint64_t lastWriteTime, bool tried)
{
    if (File != nullptr) {
        AppendIntent(Pending, oldName, newName, size, lastWriteTime, tried);
        // Every earlier intent has its outcome: a new batch begins.
        if (Settled == Entries) {
            Batch.clear();
            BatchStart = Entries;
        }
        Batch.push_back({size, lastWriteTime});
    }
    return Entries++;
}

bool TRunJournal::WriteAhead()
{
    if (File == nullptr)
        return false;
    if (!Write(true)) {
        GiveUp();
        return false;
    }
    return true;
}

void TRunJournal::TakePlace()
{
    // What is written is on the disk already; the rest follows in place.
    Close();
    if (!Platform::MoveFileReplacingW(TemporaryName.c_str(), FileName.c_str())) {
        GiveUp();
        return;
    }
    Placed = true;
    const Platform::HANDLE file = Platform::CreateFileW(FileName.c_str(), Platform::Access::GenericWrite,
                                                        Platform::Share::Read, Platform::Disposition::OpenExisting,
                                                        Platform::FileAttribute::Normal);
    if (file == Platform::InvalidHandleValue) {
        GiveUp();
        return;
    }
    File = file;
    if (!Platform::SetFilePointerEx(File, 0, nullptr, Platform::SeekOrigin::End))
        GiveUp();
}

void TRunJournal::Renamed(uint64_t entry, const std::optional<TFileStamp>& stamp)
{
    Settled = entry + 1;
    if (File == nullptr)
        return;
    if (stamp) {
        const bool inBatch = entry >= BatchStart && entry - BatchStart < Batch.size();
        const bool sameAsIntent = inBatch && Batch[entry - BatchStart].Size == stamp->Size &&
                                  Batch[entry - BatchStart].LastWriteTime == stamp->LastWriteTime;
        AppendRenamed(Pending, entry, &stamp->Identity, stamp->Size, stamp->LastWriteTime, sameAsIntent);
    } else
        AppendRenamed(Pending, entry, nullptr, 0, 0);
}

void TRunJournal::NotDone(uint64_t firstEntry, uint64_t count)
{
    Settled = firstEntry + count;
    if (File != nullptr)
        AppendNotDone(Pending, firstEntry, count);
}

void TRunJournal::WriteOutcomes()
{
    if (File != nullptr && !Write(false))
        GiveUp();
}

bool TRunJournal::Finish()
{
    if (File != nullptr) {
        if (!Placed) {
            // Nothing was renamed: the old journal stays.
            Pending.clear();
            Close();
            Platform::DeleteFileW(TemporaryName.c_str());
        } else if (!Write(true)) {
            GiveUp();
        } else {
            Close();
        }
    }
    return !Failed;
}

bool TRunJournal::Write(bool flush)
{
    if (!Pending.empty() && !WriteAll(File, Pending))
        return false;
    Pending.clear();
    return !flush || Platform::FlushFileBuffers(File);
}

void TRunJournal::GiveUp()
{
    Close();
    // A journal in its place holds what the run made so far, its intents on
    // the disk before each rename: it stays, for undo (a line cut short at
    // its end reads as the whole lines before it). One that never took its
    // place holds nothing that was made.
    if (!Placed)
        Platform::DeleteFileW(TemporaryName.c_str());
    Pending.clear();
    Failed = true;
}

void TRunJournal::Close()
{
    if (File != nullptr)
        Platform::CloseHandle(File);
    File = nullptr;
}

TJournalRead ReadJournalFile(const String& fileName, TJournal& journal, uint32_t* version)
{
    if (fileName.empty())
        return TJournalRead::Missing;
    const Platform::HANDLE file =
        Platform::CreateFileW(fileName.c_str(), Platform::Access::GenericRead, Platform::Share::Read,
                              Platform::Disposition::OpenExisting, Platform::FileAttribute::Normal);
    if (file == Platform::InvalidHandleValue)
        return IsMissing(Platform::GetLastError()) ? TJournalRead::Missing : TJournalRead::Damaged;
    std::string bytes;
    bool readWhole = true;
    std::string chunk(1 << 20, '\0');
    while (true) {
        Platform::DWORD read = 0;
        if (!Platform::ReadFile(file, chunk.data(), static_cast<Platform::DWORD>(chunk.size()), &read)) {
            readWhole = false;
            break;
        }
        if (read == 0)
            break;
        bytes.append(chunk.data(), read);
    }
    Platform::CloseHandle(file);
    std::optional<TJournal> parsed = readWhole ? ParseJournal(bytes, version) : std::nullopt;
    if (!parsed)
        return TJournalRead::Damaged;
    journal = std::move(*parsed);
    return TJournalRead::Read;
}

bool ReplaceJournalFile(const String& fileName, const TJournal& journal)
{
    return WriteWhole(fileName, FormatJournal(journal));
}

bool DeleteJournalFile(const String& fileName)
{
    return Platform::DeleteFileW(fileName.c_str()) || IsMissing(Platform::GetLastError());
}

TUndoJournal::TUndoJournal(const String& fileName)
{
    const Platform::HANDLE file =
        Platform::CreateFileW(fileName.c_str(), Platform::Access::GenericWrite, Platform::Share::Read,
                              Platform::Disposition::OpenExisting, Platform::FileAttribute::Normal);
    if (file == Platform::InvalidHandleValue) {
        Failed = true;
        return;
    }
    File = file;
    if (!Platform::SetFilePointerEx(File, 0, nullptr, Platform::SeekOrigin::End))
        Failed = true;
}

TUndoJournal::~TUndoJournal()
{
    Finish();
}

void TUndoJournal::Undone(uint64_t entry)
{
    if (Failed)
        return;
    AppendUndone(Pending, entry);
    if (Pending.size() >= UndoProgressBytes)
        Write();
}

bool TUndoJournal::Finish()
{
    Write();
    if (File != nullptr)
        Platform::CloseHandle(File);
    File = nullptr;
    return !Failed;
}

void TUndoJournal::Write()
{
    if (!Failed && !Pending.empty() && !WriteAll(File, Pending))
        Failed = true;
    Pending.clear();
}

} // namespace Zelvane
