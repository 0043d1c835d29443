#include "plugin/uPreview.h"

#include "base/Format.h"
#include "base/IntConvert.h"
#include "base/TextStore.h"
#include "framework/FarViewer.h"
#include "platform/Platform.h"
#include "plugin/FileStream.h"
#include "plugin/TextStream.h"
#include "plugin/uNameRule.h"
#include "plugin/uProgress.h"
#include "plugin/uStrings.h"
#include "plugin/uSystem.h"

#include <unordered_map>

namespace Zelvane {

namespace {

// The viewer of a preview is modal, keeps no history, and deletes the file
// (and only the file: never the temporary folder) when it closes.
constexpr Far3::VIEWER_FLAGS PreviewViewerFlags = Far3::VF_DELETEONLYFILEONCLOSE | Far3::VF_DISABLEHISTORY;

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
// a text store, with what the run has done to that name so far.
class TFolderNames {
public:
    TFolderNames(const String& directory, size_t runFiles) : Directory(directory)
    {
        if (directory.empty())
            return;
        // Room for the folder's names and the run's new ones without a rehash.
        States.reserve(2 * runFiles);
        // Names only: the listing needs no entry's size, date or attributes.
        Platform::ListFileNames(directory.c_str(), [this](const char16_t* name, const char16_t* shortName) {
            States.try_emplace(Keys.Keep(Key(name)), Present);
            // Windows also knows a file by its short name.
            if (shortName[0] != u'\0')
                States.try_emplace(Keys.Keep(Key(shortName)), Present);
        });
    }

    // Why `oldName` could not become `target` now; None when it could, and
    // then the names are as the rename leaves them.
    TPreviewReason Move(const String& oldName, const String& target)
    {
        if (Directory.empty())
            return TPreviewReason::FolderMissing;
        const String to = Key(target);
        const String from = Key(oldName);
        // The same name to the file system: only its letter case changes.
        if (to == from) {
            uint8_t& state = State(to);
            state = static_cast<uint8_t>((state & ~Freed) | Present | Taken);
            return TPreviewReason::None;
        }
        const auto found = States.find(Base::StringView(to));
        const uint8_t state = found == States.end() ? 0 : found->second;
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
        uint8_t& made = found != States.end() ? found->second : States.try_emplace(Keys.Keep(to), 0).first->second;
        made = static_cast<uint8_t>((made & ~Freed) | Present | Taken);
        uint8_t& left = State(from);
        left = static_cast<uint8_t>((left & ~Present) | Freed);
        return TPreviewReason::None;
    }

private:
    static constexpr uint8_t Present = 1; // there now
    static constexpr uint8_t Taken = 2;   // made by an earlier file of the run
    static constexpr uint8_t Freed = 4;   // given up by an earlier file of the run

    uint8_t StateOf(Base::StringView key) const
    {
        const auto found = States.find(key);
        return found == States.end() ? 0 : found->second;
    }

    // The state of `key`, made (nothing yet) when the key is new.
    uint8_t& State(Base::StringView key)
    {
        const auto found = States.find(key);
        if (found != States.end())
            return found->second;
        return States.emplace(Keys.Keep(key), uint8_t{0}).first->second;
    }

    String Directory;
    Base::TextStore Keys;
    std::unordered_map<Base::StringView, uint8_t> States;
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

std::vector<TPreviewLine> PreviewRun(const TRunInput& run)
{
    const auto total = static_cast<int32_t>(run.FileNames.size());
    const int32_t start = Base::StrToInt(run.StartingNumber);
    TTemplateError error;
    std::optional<TTemplate> nameTemplate = TTemplate::Compile(run.FileNameTemplate, run.StartingNumber.size(), error);
    if (!nameTemplate)
        throw ETemplateError(error);
    TRenamePlan plan(std::move(*nameTemplate), run.Directory, start, total);
    TFolderNames folder(run.Directory, run.FileNames.size());
    std::vector<TPreviewLine> lines;
    lines.reserve(run.FileNames.size());
    TProgress progress(TMessage::ProgressPreviewing, run.FileNames.size());
    for (size_t i = 0; i < run.FileNames.size(); ++i) {
        if (progress.Step(lines.size()))
            break;
        const String& oldName = run.FileNames[i];
        TPlanFile file;
        file.Name = oldName;
        if (i < run.FileTimes.size()) {
            file.Modified = run.FileTimes[i].Modified;
            file.Created = run.FileTimes[i].Created;
        }
        TPlannedFile planned = plan.Next(file);
        TPreviewLine line;
        line.OldName = oldName;
        line.Reason = planned.Reason;
        line.NewName = std::move(planned.Expanded);
        if (planned.GoesAhead()) {
            if (planned.Decision.Action == TNewName::TAction::Keep) {
                line.NewName = oldName;
            } else {
                // A move the folder refuses gives its counter value back, as in the run.
                line.Reason = folder.Move(oldName, planned.Decision.Target);
                if (line.Reason == TPreviewReason::None)
                    line.NewName = std::move(planned.Decision.Target);
                else
                    plan.GiveBack(planned);
            }
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

std::vector<String> PreviewText(const std::vector<TPreviewLine>& lines)
{
    int failing = 0;
    for (const TPreviewLine& line : lines)
        if (line.Reason != TPreviewReason::None)
            ++failing;
    const int total = static_cast<int>(lines.size());
    std::vector<String> text;
    text.reserve(lines.size() + 1);
    text.push_back(Base::Format(MessageText(TMessage::PreviewHeading), {total, total - failing, failing}));
    for (const TPreviewLine& line : lines) {
        String shown = QuotedName(line.OldName) + u" -> " + QuotedName(line.NewName);
        if (line.Reason != TPreviewReason::None)
            shown += u"  (" + MessageText(ReasonMessage(line.Reason)) + u")";
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
        for (const String& line : PreviewText(lines))
            stream->WriteLine(line);
        stream->Close();
    }
    if (!Tessel::TFarViewer::ViewFile(fileName, MessageText(TMessage::Title), 0, 0, -1, -1, PreviewViewerFlags,
                                      Far3::CodePage::Utf8))
        Platform::DeleteFileW(fileName.c_str());
}

} // namespace Zelvane
