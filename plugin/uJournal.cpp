#include "plugin/uJournal.h"

#include "base/FileTime.h"
#include "base/Utf.h"
#include "base/Utf8Sequence.h"
#include "platform/Platform.h"
#include "plugin/uPluginConsts.h"

#include <algorithm>
#include <chrono>
#include <charconv>
#include <cstdio>
#include <iterator>

namespace Zelvane {

namespace {

constexpr std::string_view Signature = "Zelvane 3 undo journal\t1";
constexpr std::string_view FolderKey = "folder\t";
constexpr std::string_view TimeKey = "time\t";
constexpr std::string_view JournalLineEnd = "\r\n";
constexpr size_t EntryFields = 4;
// Pending entries go to disk in batches of about this many bytes.
constexpr size_t BatchBytes = 64 * 1024;

bool IsHighSurrogate(char16_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}

bool IsLowSurrogate(char16_t c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}

void AppendHex(std::string& text, unsigned value, int digits)
{
    constexpr char Digits[] = "0123456789ABCDEF";
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4)
        text += Digits[(value >> shift) & 0xF];
}

// Appends a field's text, as UTF-8, with nothing in it that could split a
// line or a field or that UTF-8 cannot carry. Straight into the line: a run
// writes one for every file it renames.
void AppendEscaped(std::string& out, Base::StringView text)
{
    // Printable ASCII other than '%' (most names) goes in as it is, written
    // straight into place up to the first character that needs more.
    const size_t start = out.size();
    out.resize(start + text.size());
    size_t i = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c < 0x20 || c >= 0x7F || c == u'%')
            break;
        out[start + i] = static_cast<char>(c);
    }
    out.resize(start + i);
    for (; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c < 0x20 || c == u'%' || c == 0x7F) {
            out += '%';
            AppendHex(out, c, 2);
        } else if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            Base::AppendUtf8(out, 0x10000 + ((static_cast<char32_t>(c) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
            out += "%u";
            AppendHex(out, c, 4);
        } else {
            Base::AppendUtf8(out, c);
        }
    }
}

std::optional<unsigned> HexValue(std::string_view digits)
{
    unsigned value = 0;
    for (const char c : digits) {
        if (c >= '0' && c <= '9')
            value = value * 16 + static_cast<unsigned>(c - '0');
        else if (c >= 'A' && c <= 'F')
            value = value * 16 + static_cast<unsigned>(c - 'A' + 10);
        else
            return std::nullopt;
    }
    return value;
}

// The text of an escaped field; nothing when it holds a control character
// or an escape that is not one. The field is well-formed UTF-8 already.
std::optional<String> Unescaped(std::string_view field)
{
    String text;
    size_t plainStart = 0;
    const auto takePlain = [&](size_t end) {
        text += Base::FromUtf8(field.substr(plainStart, end - plainStart));
    };
    for (size_t i = 0; i < field.size(); ++i) {
        const auto byte = static_cast<unsigned char>(field[i]);
        if (byte < 0x20 || byte == 0x7F)
            return std::nullopt;
        if (byte != '%')
            continue;
        takePlain(i);
        const bool wide = i + 1 < field.size() && field[i + 1] == 'u';
        const size_t digits = wide ? 4 : 2;
        const size_t start = i + (wide ? 2 : 1);
        if (field.size() - start < digits)
            return std::nullopt;
        const std::optional<unsigned> value = HexValue(field.substr(start, digits));
        if (!value)
            return std::nullopt;
        text += static_cast<char16_t>(*value);
        i = start + digits - 1;
        plainStart = i + 1;
    }
    takePlain(field.size());
    return text;
}

// A decimal number as the writer writes it: digits only, no leading zero,
// within 64 bits.
std::optional<uint64_t> Number(std::string_view field)
{
    if (field.empty() || field.size() > 20 || (field.size() > 1 && field[0] == '0'))
        return std::nullopt;
    uint64_t value = 0;
    for (const char c : field) {
        if (c < '0' || c > '9')
            return std::nullopt;
        const auto digit = static_cast<uint64_t>(c - '0');
        if (value > (UINT64_MAX - digit) / 10)
            return std::nullopt;
        value = value * 10 + digit;
    }
    return value;
}

void AppendNumber(std::string& out, uint64_t value)
{
    char digits[24];
    const auto written = std::to_chars(std::begin(digits), std::end(digits), value);
    out.append(digits, written.ptr);
}

bool HoldsZero(const String& text)
{
    return text.find(u'\0') != String::npos;
}

// A name of the panel: one name, never a path.
bool IsPanelName(const String& name)
{
    return !name.empty() && !HoldsZero(name) && name.find_first_of(u"\\/") == String::npos && name != u"." &&
           name != u"..";
}

// Cuts the next line (without its CR LF) off the front of `rest`; false
// when no whole line is left.
bool NextLine(std::string_view& rest, std::string_view& line)
{
    const size_t end = rest.find(JournalLineEnd);
    if (end == std::string_view::npos)
        return false;
    line = rest.substr(0, end);
    rest.remove_prefix(end + JournalLineEnd.size());
    return true;
}

std::vector<std::string_view> Fields(std::string_view line)
{
    std::vector<std::string_view> fields;
    size_t start = 0;
    while (true) {
        const size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start));
        if (tab == std::string_view::npos)
            return fields;
        start = tab + 1;
    }
}

std::optional<TJournalEntry> ParseEntry(std::string_view line)
{
    const std::vector<std::string_view> fields = Fields(line);
    if (fields.size() != EntryFields)
        return std::nullopt;
    std::optional<String> oldName = Unescaped(fields[0]);
    std::optional<String> newName = Unescaped(fields[1]);
    const std::optional<uint64_t> size = Number(fields[2]);
    const std::optional<uint64_t> time = Number(fields[3]);
    if (!oldName || !newName || !size || !time || !IsPanelName(*oldName) || newName->empty() ||
        HoldsZero(*newName) || newName->find(u'/') != String::npos)
        return std::nullopt;
    return TJournalEntry{std::move(*oldName), std::move(*newName), *size, *time};
}

String GuidText(const Far3::GUID& guid)
{
    char text[40];
    std::snprintf(text, sizeof text, "%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X",
                  static_cast<unsigned>(guid.Data1), guid.Data2, guid.Data3, guid.Data4[0], guid.Data4[1],
                  guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5], guid.Data4[6], guid.Data4[7]);
    return Base::FromUtf8(text);
}

// The folder the journal goes in, made when missing (with PluginsData).
void MakeJournalFolder(const String& fileName)
{
    const size_t last = fileName.find_last_of(u"\\/");
    const size_t parent = last == String::npos ? String::npos : fileName.find_last_of(u"\\/", last - 1);
    if (parent != String::npos)
        Platform::CreateDirectoryW(fileName.substr(0, parent).c_str());
    if (last != String::npos)
        Platform::CreateDirectoryW(fileName.substr(0, last).c_str());
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

} // namespace

std::string FormatJournalHeading(const String& folder, uint64_t time)
{
    std::string text(Signature);
    text += JournalLineEnd;
    text += FolderKey;
    AppendEscaped(text, folder);
    text += JournalLineEnd;
    text += TimeKey;
    AppendNumber(text, time);
    text += JournalLineEnd;
    return text;
}

void AppendJournalEntry(std::string& text, Base::StringView oldName, Base::StringView newName, uint64_t size,
                        uint64_t lastWriteTime)
{
    AppendEscaped(text, oldName);
    text += '\t';
    AppendEscaped(text, newName);
    text += '\t';
    AppendNumber(text, size);
    text += '\t';
    AppendNumber(text, lastWriteTime);
    text += JournalLineEnd;
}

std::string FormatJournalEntry(const TJournalEntry& entry)
{
    std::string line;
    AppendJournalEntry(line, entry.OldName, entry.NewName, entry.Size, entry.LastWriteTime);
    return line;
}

std::optional<TJournal> ParseJournal(std::string_view bytes)
{
    if (!Base::IsValidUtf8(bytes))
        return std::nullopt;
    std::string_view line;
    if (!NextLine(bytes, line) || line != Signature)
        return std::nullopt;
    TJournal journal;
    if (!NextLine(bytes, line) || !line.starts_with(FolderKey))
        return std::nullopt;
    std::optional<String> folder = Unescaped(line.substr(FolderKey.size()));
    if (!folder || folder->empty() || HoldsZero(*folder))
        return std::nullopt;
    journal.Folder = std::move(*folder);
    if (!NextLine(bytes, line) || !line.starts_with(TimeKey))
        return std::nullopt;
    const std::optional<uint64_t> time = Number(line.substr(TimeKey.size()));
    if (!time)
        return std::nullopt;
    journal.Time = *time;
    while (!bytes.empty()) {
        if (!NextLine(bytes, line))
            return std::nullopt;
        std::optional<TJournalEntry> entry = ParseEntry(line);
        if (!entry)
            return std::nullopt;
        journal.Entries.push_back(std::move(*entry));
    }
    return journal;
}

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
    return profile + u"PluginsData" + separator + GuidText(PluginGuid) + separator + u"last-run.txt";
}

uint64_t CurrentFileTime()
{
    return Base::FileTimeFromUnixTime(Base::UnixTimeOf(std::chrono::system_clock::now())).value_or(0);
}

TJournalWriter::TJournalWriter(String fileName, String folder, uint64_t time)
    : FileName(std::move(fileName)), Folder(std::move(folder)), Time(time)
{
}

TJournalWriter::~TJournalWriter()
{
    if (File != nullptr) {
        Flush();
        Close();
    }
}

void TJournalWriter::Add(Base::StringView oldName, Base::StringView newName, uint64_t size, uint64_t lastWriteTime)
{
    if (Failed)
        return;
    if (File == nullptr && !Open())
        return;
    AppendJournalEntry(Pending, oldName, newName, size, lastWriteTime);
    if (Pending.size() >= BatchBytes)
        Flush();
}

bool TJournalWriter::Finish()
{
    if (File != nullptr) {
        Flush();
        Close();
    }
    return !Failed;
}

bool TJournalWriter::Open()
{
    if (FileName.empty()) {
        Failed = true;
        return false;
    }
    MakeJournalFolder(FileName);
    const Platform::HANDLE file = Platform::CreateFileW(FileName.c_str(), Platform::Access::GenericWrite,
                                                        Platform::Share::Read, Platform::Disposition::CreateAlways,
                                                        Platform::FileAttribute::Normal);
    if (file == Platform::InvalidHandleValue) {
        Failed = true;
        return false;
    }
    File = file;
    Pending = FormatJournalHeading(Folder, Time);
    return true;
}

void TJournalWriter::Flush()
{
    if (File == nullptr || Pending.empty())
        return;
    if (!WriteAll(File, Pending)) {
        Fail();
        return;
    }
    Pending.clear();
}

void TJournalWriter::Fail()
{
    Close();
    Platform::DeleteFileW(FileName.c_str());
    Pending.clear();
    Failed = true;
}

void TJournalWriter::Close()
{
    if (File != nullptr)
        Platform::CloseHandle(File);
    File = nullptr;
}

TJournalRead ReadJournalFile(const String& fileName, TJournal& journal)
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
    std::optional<TJournal> parsed = readWhole ? ParseJournal(bytes) : std::nullopt;
    if (!parsed)
        return TJournalRead::Damaged;
    journal = std::move(*parsed);
    return TJournalRead::Read;
}

bool ReplaceJournalFile(const String& fileName, const TJournal& journal)
{
    if (journal.Entries.empty())
        return Platform::DeleteFileW(fileName.c_str()) || IsMissing(Platform::GetLastError());
    std::string bytes = FormatJournalHeading(journal.Folder, journal.Time);
    for (const TJournalEntry& entry : journal.Entries)
        bytes += FormatJournalEntry(entry);
    const Platform::HANDLE file = Platform::CreateFileW(fileName.c_str(), Platform::Access::GenericWrite,
                                                        Platform::Share::Read, Platform::Disposition::CreateAlways,
                                                        Platform::FileAttribute::Normal);
    if (file == Platform::InvalidHandleValue) {
        Platform::DeleteFileW(fileName.c_str());
        return false;
    }
    const bool written = WriteAll(file, bytes);
    Platform::CloseHandle(file);
    if (!written)
        Platform::DeleteFileW(fileName.c_str());
    return written;
}

} // namespace Zelvane
