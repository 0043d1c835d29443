#include "plugin/uPreview.h"

#include "base/Format.h"
#include "base/IntConvert.h"
#include "framework/FarViewer.h"
#include "platform/Platform.h"
#include "plugin/FileStream.h"
#include "plugin/TextStream.h"
#include "plugin/uNameRule.h"
#include "plugin/uProgress.h"
#include "plugin/uStrings.h"
#include "plugin/uSystem.h"

#include <cstdint>
#include <functional>
#include <new>
#include <optional>
#include <vector>

namespace Zelvane {

namespace {

// The viewer of a preview is modal, keeps no history, and deletes the file
// (and only the file: never the temporary folder) when it closes.
constexpr Far3::VIEWER_FLAGS PreviewViewerFlags = Far3::VF_DELETEONLYFILEONCLOSE | Far3::VF_DISABLEHISTORY;

// The viewer's file has lines ending in CR LF, written some 64 KiB of text at a time.
constexpr Base::StringView LineBreak = u"\r\n";
constexpr size_t WriteChunkCharacters = 32768;

String Key(Base::StringView name)
{
    String key(name.size(), u'\0');
    Platform::FileNameKey(name.data(), name.size(), key.data());
    return key;
}

bool IsFolder(const String& path)
{
    const Platform::DWORD attributes = Platform::GetFileAttributesW(path.c_str());
    return attributes != Platform::InvalidFileAttributes && (attributes & Platform::FileAttribute::Directory) != 0;
}

// The names in the run's folder as the run leaves them file by file, keyed
// as the file system compares names. The folder is listed once; a new name
// that leads into a subfolder is looked up there. Every key is held once, in
// one long text, with what the run has done to that name so far, in a table
// of slots probed one after another: a look-up costs the slot (and, when the
// hashes match, the key's characters), and a new name no allocation of its
// own, which matters at a hundred thousand names.
//
// At that size the table and the keys are far larger than the processor's
// caches, and a look-up's time is the wait for memory. So the work that is
// known in advance is done in bulk with the memory asked for some names
// ahead: the folder's names go into the table after the listing, and each of
// the run's own files has its slot found once, before the first move. A
// move then reaches its file's slot directly, already on its way to the
// cache; only the new name is looked up as the run goes.
class TFolderNames {
public:
    TFolderNames(const String& directory, const std::vector<String>& runNames) : Directory(directory)
    {
        if (directory.empty())
            return;
        // Names only: the listing needs no entry's size, date or attributes.
        std::vector<TListed> listed;
        Platform::ListFileNames(directory.c_str(), [&](const char16_t* name, const char16_t* shortName) {
            listed.push_back(Listed(name));
            // Windows also knows a file by its short name.
            if (shortName[0] != u'\0')
                listed.push_back(Listed(shortName));
        });
        // Room without growing, so that a file's slot stays where it is
        // found: less than half full with the names listed and the run's
        // files, and never full with a new name for every file on top.
        size_t slots = 64;
        while (slots <= 2 * (listed.size() + runNames.size()))
            slots *= 2;
        Slots.resize(slots);
        for (size_t i = 0; i < listed.size(); ++i) {
            if (i + Ahead < listed.size())
                Prefetch(&Slots[listed[i + Ahead].Hash & Mask()]);
            const TListed& name = listed[i];
            Slots[Place(KeyAt(name.Text), name.Hash, name.Text)].State |= Present;
        }
        FindRunFiles(runNames);
    }

    // A move to `target` is checked next: its slot is asked for now, so that
    // the check finds it in the cache. Changes nothing.
    void Expect(const String& target)
    {
        if (Directory.empty())
            return;
        MakeKey(target, To);
        Prefetch(&Slots[HashOf(To) & Mask()]);
    }

    // Why the run's file `file` (its index in the run's names), named
    // `oldName`, could not become `target` now; None when it could, and then
    // the names are as the rename leaves them.
    TPreviewReason Move(size_t file, Base::StringView oldName, const String& target)
    {
        if (Directory.empty())
            return TPreviewReason::FolderMissing;
        if (file + Ahead < RunSlots.size())
            Prefetch(&Slots[RunSlots[file + Ahead]]);
        TSlot& left = Slots[RunSlots[file]];
        MakeKey(target, To);
        MakeKey(oldName, From);
        // The same name to the file system: only its letter case changes.
        if (To == From) {
            left.State = static_cast<uint8_t>((left.State & ~Freed) | Present | Taken);
            return TPreviewReason::None;
        }
        const uint64_t hash = HashOf(To);
        const size_t index = Find(To, hash);
        const uint8_t state = Slots[index].Held ? Slots[index].State : 0;
        if ((state & Taken) != 0)
            return TPreviewReason::TakenEarlier;
        const size_t separator = target.rfind(u'\\');
        if (separator == String::npos) {
            if ((state & Present) != 0)
                return TPreviewReason::TargetExists;
        } else {
            // A name in a subfolder: the folder must be there, and not have
            // been renamed away by an earlier file.
            if ((StateOf(Key(Base::StringView(target).substr(0, target.find(u'\\')))) & Freed) != 0 ||
                !IsFolder(Directory + target.substr(0, separator)))
                return TPreviewReason::FolderMissing;
            if (Platform::GetFileAttributesW((Directory + target).c_str()) != Platform::InvalidFileAttributes)
                return TPreviewReason::TargetExists;
        }
        TSlot& made = Slots[index];
        if (!made.Held)
            Hold(made, Keep(To), hash);
        made.State = static_cast<uint8_t>((made.State & ~Freed) | Present | Taken);
        left.State = static_cast<uint8_t>((left.State & ~Present) | Freed);
        return TPreviewReason::None;
    }

private:
    static constexpr uint8_t Present = 1; // there now
    static constexpr uint8_t Taken = 2;   // made by an earlier file of the run
    static constexpr uint8_t Freed = 4;   // given up by an earlier file of the run

    // How many names ahead the memory of a slot is asked for: enough to
    // cover the wait for memory with the work on the names in between.
    static constexpr size_t Ahead = 16;

    // A key and its state in eight bytes, so that the table of a large
    // folder takes few of the processor's cache lines and page entries: where
    // the key is in Texts, the top of its hash (a look-up reads another key's
    // characters only once in 65 536 times), and whether the slot is held.
    struct TSlot {
        uint32_t Text = 0;
        uint16_t Tag = 0;
        uint8_t State = 0;
        bool Held = false;
    };

    // A name of the listing: its key in Texts, and the key's hash.
    struct TListed {
        uint32_t Text;
        uint64_t Hash;
    };

    static uint64_t HashOf(Base::StringView key) { return std::hash<Base::StringView>{}(key); }
    static uint16_t TagOf(uint64_t hash) { return static_cast<uint16_t>(hash >> 48); }

    // Asks for the memory at `address` to be brought into the cache, without
    // waiting for it. Only a hint: what the table holds is the same without it.
    static void Prefetch(const void* address) { __builtin_prefetch(address); }

    static void MakeKey(Base::StringView name, String& key)
    {
        key.resize(name.size());
        Platform::FileNameKey(name.data(), name.size(), key.data());
    }

    size_t Mask() const { return Slots.size() - 1; }

    TListed Listed(const char16_t* name)
    {
        MakeKey(name, To);
        return {Keep(To), HashOf(To)};
    }

    // The index of the slot that holds `key`, or of the free slot where it belongs.
    size_t Find(Base::StringView key, uint64_t hash) const
    {
        const size_t mask = Mask();
        const uint16_t tag = TagOf(hash);
        for (size_t i = hash & mask;; i = (i + 1) & mask) {
            const TSlot& slot = Slots[i];
            if (!slot.Held || (slot.Tag == tag && KeyAt(slot.Text) == key))
                return i;
        }
    }

    uint8_t StateOf(Base::StringView key) const
    {
        const TSlot& slot = Slots[Find(key, HashOf(key))];
        return slot.Held ? slot.State : 0;
    }

    static void Hold(TSlot& slot, uint32_t text, uint64_t hash)
    {
        slot.Text = text;
        slot.Tag = TagOf(hash);
        slot.Held = true;
    }

    // The index of the slot of `key`, whose text is already kept at `text`;
    // held for it when the key is new.
    size_t Place(Base::StringView key, uint64_t hash, uint32_t text)
    {
        const size_t index = Find(key, hash);
        if (!Slots[index].Held)
            Hold(Slots[index], text, hash);
        return index;
    }

    // The slot of each of the run's files, in the run's order; a file the
    // listing did not show gets a slot of its own, holding nothing yet. The
    // memory is asked for in two steps: the slot where a name's search
    // starts, then the key that slot points to.
    void FindRunFiles(const std::vector<String>& runNames)
    {
        std::vector<uint64_t> hashes(runNames.size());
        for (size_t i = 0; i < runNames.size(); ++i) {
            MakeKey(runNames[i], From);
            hashes[i] = HashOf(From);
        }
        RunSlots.resize(runNames.size());
        const size_t mask = Mask();
        for (size_t i = 0; i < runNames.size(); ++i) {
            if (i + Ahead < runNames.size())
                Prefetch(&Slots[hashes[i + Ahead] & mask]);
            if (i + Ahead / 2 < runNames.size()) {
                const TSlot& first = Slots[hashes[i + Ahead / 2] & mask];
                if (first.Held)
                    Prefetch(&Texts[first.Text]);
            }
            MakeKey(runNames[i], From);
            const size_t index = Find(From, hashes[i]);
            if (!Slots[index].Held)
                Hold(Slots[index], Keep(From), hashes[i]);
            RunSlots[i] = static_cast<uint32_t>(index);
        }
    }

    // Every key in Texts: its length in two characters, then the key.
    uint32_t Keep(Base::StringView key)
    {
        const size_t at = Texts.size();
        if (at + 2 + key.size() > UINT32_MAX)
            throw std::bad_alloc();
        Texts += static_cast<char16_t>(key.size() & 0xFFFF);
        Texts += static_cast<char16_t>(key.size() >> 16);
        Texts += key;
        return static_cast<uint32_t>(at);
    }

    Base::StringView KeyAt(uint32_t at) const
    {
        const size_t size = static_cast<size_t>(Texts[at]) | (static_cast<size_t>(Texts[at + 1]) << 16);
        return Base::StringView(Texts).substr(at + 2, size);
    }

    String Directory;
    String Texts;
    std::vector<TSlot> Slots; // a power of two of them, never all held
    std::vector<uint32_t> RunSlots; // the slot of each of the run's files
    String To;   // the keys of the move being checked, kept to spare an
    String From; // allocation per file
};

} // namespace

TMessage ReasonMessage(TPreviewReason reason)
{
    switch (reason) {
    case TPreviewReason::TargetExists:
        return TMessage::ReasonTargetExists;
    case TPreviewReason::TakenEarlier:
        return TMessage::ReasonTakenEarlier;
    case TPreviewReason::NameRefused:
        return TMessage::ReasonNameRefused;
    case TPreviewReason::FolderMissing:
        return TMessage::ReasonFolderMissing;
    case TPreviewReason::NoDateTaken:
        return TMessage::ReasonNoDateTaken;
    case TPreviewReason::NoDate:
        return TMessage::ReasonNoDate;
    case TPreviewReason::SameNewName:
        return TMessage::ReasonSameNewName;
    case TPreviewReason::TargetStays:
        return TMessage::ReasonTargetStays;
    case TPreviewReason::CycleCannotComplete:
        return TMessage::ReasonCycleCannotComplete;
    case TPreviewReason::AmbiguousName:
        return TMessage::ReasonAmbiguousName;
    case TPreviewReason::None:
        break;
    }
    return TMessage::None;
}

namespace {

// The heading: how many files, how many are renamed, how many fail.
String PreviewHeading(const std::vector<TPreviewLine>& lines)
{
    int failing = 0;
    for (const TPreviewLine& line : lines)
        if (line.Reason != TPreviewReason::None)
            ++failing;
    const int total = static_cast<int>(lines.size());
    return Base::Format(MessageText(TMessage::PreviewHeading), {total, total - failing, failing});
}

// A file's line, `"old" -> "new"`, and for a failure two blanks and the
// reason in parentheses; added to `text` without a line break.
void AppendPreviewLine(String& text, const TPreviewLine& line)
{
    AppendQuotedName(text, line.OldName);
    text += u" -> ";
    AppendQuotedName(text, line.NewName);
    if (line.Reason != TPreviewReason::None) {
        text += u"  (";
        text += MessageText(ReasonMessage(line.Reason));
        text += u')';
    }
}

// What the plan reads of the run's file `i`.
TPlanFile PlanFile(const TRunInput& run, size_t i)
{
    TPlanFile file;
    file.Name = run.FileNames[i];
    if (i < run.FileTimes.size()) {
        file.Modified = run.FileTimes[i].Modified;
        file.Created = run.FileTimes[i].Created;
    }
    return file;
}

} // namespace

std::vector<TPreviewLine> PreviewRun(const TRunInput& run)
{
    const auto total = static_cast<int32_t>(run.FileNames.size());
    const int32_t start = Base::StrToInt(run.StartingNumber);
    TTemplateError error;
    std::optional<TTemplate> nameTemplate = TTemplate::Compile(run.FileNameTemplate, run.StartingNumber.size(), error);
    if (!nameTemplate)
        throw ETemplateError(error);
    TRenamePlan plan(std::move(*nameTemplate), run.Directory, start, total);
    TFolderNames folder(run.Directory, run.FileNames);
    std::vector<TPreviewLine> lines;
    lines.reserve(run.FileNames.size());
    TProgress progress(TMessage::ProgressPreviewing, run.FileNames.size());
    // The file after the one being checked, planned while the memory for
    // that one's new name is on its way; planned again when the check gives
    // the counter value back.
    std::optional<TPlannedFile> ahead;
    for (size_t i = 0; i < run.FileNames.size(); ++i) {
        if (progress.Step(lines.size()))
            break;
        const String& oldName = run.FileNames[i];
        TPlannedFile planned = ahead ? std::move(*ahead) : plan.Next(PlanFile(run, i));
        ahead.reset();
        TPreviewLine line;
        line.OldName = oldName;
        line.Reason = planned.Reason;
        line.NewName = std::move(planned.Expanded);
        if (planned.GoesAhead()) {
            if (planned.Decision.Action == TNewName::TAction::Keep) {
                line.NewName = oldName;
            } else {
                folder.Expect(planned.Decision.Target);
                if (i + 1 < run.FileNames.size())
                    ahead = plan.Next(PlanFile(run, i + 1));
                // A move the folder refuses gives its counter value back, as in the run.
                line.Reason = folder.Move(i, oldName, planned.Decision.Target);
                if (line.Reason == TPreviewReason::None) {
                    line.NewName = std::move(planned.Decision.Target);
                } else {
                    plan.GiveBack(planned);
                    ahead.reset();
                }
            }
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

std::vector<String> PreviewText(const std::vector<TPreviewLine>& lines)
{
    std::vector<String> text;
    text.reserve(lines.size() + 1);
    text.push_back(PreviewHeading(lines));
    for (const TPreviewLine& line : lines) {
        String shown;
        AppendPreviewLine(shown, line);
        text.push_back(std::move(shown));
    }
    return text;
}

void ShowPreview(const std::vector<TPreviewLine>& lines)
{
    const String fileName = UniqueTempNameWithExt(TempDirectory(), u"zelvane", u".txt");
    {
        auto stream = TTextStream::Create(fileName, TFileStream::ModeCreate);
        stream->SetEncoding(TEncoding::Utf8);
        // The lines go to the file in pieces of many lines each, so that a
        // preview of a hundred thousand files costs its characters, not a
        // conversion and a write per line.
        String text = PreviewHeading(lines);
        text += LineBreak;
        for (const TPreviewLine& line : lines) {
            AppendPreviewLine(text, line);
            text += LineBreak;
            if (text.size() >= WriteChunkCharacters) {
                stream->WriteString(text);
                text.clear();
            }
        }
        stream->WriteString(text);
        stream->Close();
    }
    if (!Tessel::TFarViewer::ViewFile(fileName, MessageText(TMessage::Title), 0, 0, -1, -1, PreviewViewerFlags,
                                      Far3::CodePage::Utf8))
        Platform::DeleteFileW(fileName.c_str());
}

} // namespace Zelvane
