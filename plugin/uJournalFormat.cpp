#include "plugin/uJournalFormat.h"

#include "base/Utf.h"
#include "base/Utf16.h"
#include "base/Utf8Sequence.h"

#include <algorithm>
#include <charconv>
#include <iterator>

namespace Zelvane {

namespace {

constexpr std::string_view Signature = "Zelvane 3 undo journal\t";
constexpr std::string_view FolderKey = "folder\t";
constexpr std::string_view TimeKey = "time\t";
constexpr std::string_view JournalLineEnd = "\r\n";
constexpr std::string_view RenameKey = "rename";
constexpr std::string_view TryKey = "try";
constexpr std::string_view RenamedKey = "renamed";
constexpr std::string_view FailedKey = "failed";
constexpr std::string_view UndoneKey = "undone";
constexpr size_t Version1Fields = 4;

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
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c < 0x20 || c == u'%' || c == 0x7F) {
            out += '%';
            AppendHex(out, c, 2);
        } else if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (Base::IsHighSurrogate(c) && i + 1 < text.size() && Base::IsLowSurrogate(text[i + 1])) {
            Base::AppendUtf8(out, Base::CombineSurrogates(c, text[i + 1]));
            ++i;
        } else if (Base::IsSurrogate(c)) {
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

// The names of a rename: an old name of the panel, a new name relative to
// the folder.
bool AreRenameNames(const String& oldName, const String& newName)
{
    return IsPanelName(oldName) && !newName.empty() && !HoldsZero(newName) && newName.find(u'/') == String::npos;
}

// A version 1 line: "<old><TAB><new><TAB><size><TAB><time>", a rename made.
std::optional<TJournalEntry> ParseVersion1Entry(std::string_view line)
{
    const std::vector<std::string_view> fields = Fields(line);
    if (fields.size() != Version1Fields)
        return std::nullopt;
    std::optional<String> oldName = Unescaped(fields[0]);
    std::optional<String> newName = Unescaped(fields[1]);
    const std::optional<uint64_t> size = Number(fields[2]);
    const std::optional<uint64_t> time = Number(fields[3]);
    if (!oldName || !newName || !size || !time || !AreRenameNames(*oldName, *newName))
        return std::nullopt;
    TJournalEntry entry;
    entry.OldName = std::move(*oldName);
    entry.NewName = std::move(*newName);
    entry.Size = *size;
    entry.LastWriteTime = *time;
    return entry;
}

// The entry a record names; null when there is none of that number.
TJournalEntry* EntryOf(TJournal& journal, std::string_view field)
{
    const std::optional<uint64_t> number = Number(field);
    if (!number || *number >= journal.Entries.size())
        return nullptr;
    return &journal.Entries[*number];
}

// Applies one record of `version` (2 or later) to `journal`; false when it
// is not one or does not fit the entry it names.
bool ApplyRecord(TJournal& journal, std::string_view line, uint64_t version)
{
    const std::vector<std::string_view> fields = Fields(line);
    const std::string_view kind = fields[0];
    if ((kind == RenameKey || kind == TryKey) && fields.size() == 5) {
        std::optional<String> oldName = Unescaped(fields[1]);
        std::optional<String> newName = Unescaped(fields[2]);
        const std::optional<uint64_t> size = Number(fields[3]);
        const std::optional<uint64_t> time = Number(fields[4]);
        if (!oldName || !newName || !size || !time || !AreRenameNames(*oldName, *newName))
            return false;
        TJournalEntry entry;
        entry.OldName = std::move(*oldName);
        entry.NewName = std::move(*newName);
        entry.Size = *size;
        entry.LastWriteTime = *time;
        entry.State = TEntryState::Intended;
        entry.Tried = kind == TryKey;
        journal.Entries.push_back(std::move(entry));
        return true;
    }
    // Size and time left out (version 3): the intent's.
    const bool shortOutcome = version >= 3 && fields.size() == 5;
    if (kind == RenamedKey && (fields.size() == 2 || fields.size() == 7 || shortOutcome)) {
        TJournalEntry* entry = EntryOf(journal, fields[1]);
        if (entry == nullptr || entry->State != TEntryState::Intended || entry->Undone)
            return false;
        if (fields.size() > 2) {
            const std::optional<uint64_t> volume = Number(fields[2]);
            const std::optional<uint64_t> index = Number(fields[3]);
            const std::optional<uint64_t> owner = Number(fields[4]);
            const std::optional<uint64_t> size = shortOutcome ? entry->Size : Number(fields[5]);
            const std::optional<uint64_t> time = shortOutcome ? entry->LastWriteTime : Number(fields[6]);
            if (!volume || !index || !owner || !size || !time)
                return false;
            entry->HasIdentity = true;
            entry->Identity = {*volume, *index};
            entry->Size = *size;
            entry->LastWriteTime = *time;
        }
        entry->State = TEntryState::Renamed;
        return true;
    }
    if (kind == FailedKey && fields.size() == 3) {
        const std::optional<uint64_t> first = Number(fields[1]);
        const std::optional<uint64_t> count = Number(fields[2]);
        if (!first || !count || *count == 0 || *first >= journal.Entries.size() ||
            *count > journal.Entries.size() - *first)
            return false;
        for (uint64_t i = *first; i < *first + *count; ++i) {
            TJournalEntry& entry = journal.Entries[i];
            if (entry.State != TEntryState::Intended || entry.Undone)
                return false;
            entry.State = TEntryState::NotDone;
        }
        return true;
    }
    if (kind == UndoneKey && fields.size() == 2) {
        TJournalEntry* entry = EntryOf(journal, fields[1]);
        if (entry == nullptr || entry->State == TEntryState::NotDone || entry->Undone)
            return false;
        entry->Undone = true;
        return true;
    }
    return false;
}

} // namespace

std::string FormatJournalHeading(const String& folder, uint64_t time)
{
    std::string text(Signature);
    AppendNumber(text, JournalVersion);
    text += JournalLineEnd;
    text += FolderKey;
    AppendEscaped(text, folder);
    text += JournalLineEnd;
    text += TimeKey;
    AppendNumber(text, time);
    text += JournalLineEnd;
    return text;
}

void AppendIntent(std::string& text, Base::StringView oldName, Base::StringView newName, uint64_t size,
                  uint64_t lastWriteTime, bool tried)
{
    text += tried ? TryKey : RenameKey;
    text += '\t';
    AppendEscaped(text, oldName);
    text += '\t';
    AppendEscaped(text, newName);
    text += '\t';
    AppendNumber(text, size);
    text += '\t';
    AppendNumber(text, lastWriteTime);
    text += JournalLineEnd;
}

void AppendRenamed(std::string& text, uint64_t entry, const Platform::FileIdentity* identity, uint64_t size,
                   uint64_t lastWriteTime, bool sameAsIntent)
{
    text += RenamedKey;
    text += '\t';
    AppendNumber(text, entry);
    if (identity != nullptr) {
        // The third number held the file's owner in older journals; it is
        // read and left aside, and written as 0.
        for (const uint64_t value : {identity->Volume, identity->Index, uint64_t{0}}) {
            text += '\t';
            AppendNumber(text, value);
        }
        if (!sameAsIntent) {
            for (const uint64_t value : {size, lastWriteTime}) {
                text += '\t';
                AppendNumber(text, value);
            }
        }
    }
    text += JournalLineEnd;
}

void AppendNotDone(std::string& text, uint64_t firstEntry, uint64_t count)
{
    text += FailedKey;
    text += '\t';
    AppendNumber(text, firstEntry);
    text += '\t';
    AppendNumber(text, count);
    text += JournalLineEnd;
}

void AppendUndone(std::string& text, uint64_t entry)
{
    text += UndoneKey;
    text += '\t';
    AppendNumber(text, entry);
    text += JournalLineEnd;
}

std::string FormatJournal(const TJournal& journal)
{
    std::string text = FormatJournalHeading(journal.Folder, journal.Time);
    for (size_t i = 0; i < journal.Entries.size(); ++i) {
        const TJournalEntry& entry = journal.Entries[i];
        // A made entry without an identity keeps its size and time in its
        // intent; one with an identity has them in its outcome.
        const bool inIntent = entry.State != TEntryState::Renamed || !entry.HasIdentity;
        AppendIntent(text, entry.OldName, entry.NewName, inIntent ? entry.Size : 0, inIntent ? entry.LastWriteTime : 0,
                     entry.Tried);
        if (entry.State == TEntryState::Renamed)
            AppendRenamed(text, i, entry.HasIdentity ? &entry.Identity : nullptr, entry.Size, entry.LastWriteTime);
        else if (entry.State == TEntryState::NotDone)
            AppendNotDone(text, i, 1);
        if (entry.Undone)
            AppendUndone(text, i);
    }
    return text;
}

std::optional<TJournal> ParseJournal(std::string_view bytes, uint32_t* version)
{
    std::string_view line;
    if (!NextLine(bytes, line) || !line.starts_with(Signature))
        return std::nullopt;
    const std::optional<uint64_t> number = Number(line.substr(Signature.size()));
    if (!number || *number == 0 || *number > JournalVersion)
        return std::nullopt;
    const bool current = *number >= FirstRecordVersion;
    // An append torn by a crash: the last line of a journal of records cut
    // short is read as never written.
    if (current && !bytes.empty() && !bytes.ends_with(JournalLineEnd)) {
        const size_t lastEnd = bytes.rfind(JournalLineEnd);
        bytes = lastEnd == std::string_view::npos ? std::string_view() : bytes.substr(0, lastEnd + JournalLineEnd.size());
    }
    if (!Base::IsValidUtf8(bytes))
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
        if (current) {
            if (!ApplyRecord(journal, line, *number))
                return std::nullopt;
            continue;
        }
        std::optional<TJournalEntry> entry = ParseVersion1Entry(line);
        if (!entry)
            return std::nullopt;
        journal.Entries.push_back(std::move(*entry));
    }
    if (version != nullptr)
        *version = static_cast<uint32_t>(*number);
    return journal;
}

} // namespace Zelvane
