#include "plugin/uPreview.h"

#include "base/Format.h"
#include "base/IntConvert.h"
#include "framework/FarViewer.h"
#include "platform/Platform.h"
#include "plugin/FileStream.h"
#include "plugin/TextStream.h"
#include "plugin/uNameRule.h"
#include "plugin/uPlugin.h"
#include "plugin/uProgress.h"
#include "plugin/uStrings.h"
#include "plugin/uSystem.h"

#include <unordered_set>

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
// that leads into a subfolder is looked up there.
class TFolderNames {
public:
    explicit TFolderNames(const String& directory) : Directory(directory)
    {
        if (directory.empty())
            return;
        // Names only: the listing needs no entry's size, date or attributes.
        Platform::ListFileNames(directory.c_str(), [this](const char16_t* name, const char16_t* shortName) {
            Present.insert(Key(name));
            // Windows also knows a file by its short name.
            if (shortName[0] != u'\0')
                Present.insert(Key(shortName));
        });
    }

    // Why `oldName` could not become `target` now; None when it could.
    TPreviewReason Check(const String& oldName, const String& target) const
    {
        if (Directory.empty())
            return TPreviewReason::FolderMissing;
        const String key = Key(target);
        // The same name to the file system: only its letter case changes.
        if (key == Key(oldName))
            return TPreviewReason::None;
        if (Taken.contains(key))
            return TPreviewReason::TakenEarlier;
        const size_t separator = target.rfind(u'\\');
        if (separator == String::npos)
            return Present.contains(key) ? TPreviewReason::TargetExists : TPreviewReason::None;
        // A name in a subfolder: the folder must be there, and not have
        // been renamed away by an earlier file.
        if (Freed.contains(Key(target.substr(0, target.find(u'\\')))) ||
            !IsFolder(Directory + target.substr(0, separator)))
            return TPreviewReason::FolderMissing;
        return Platform::GetFileAttributesW((Directory + target).c_str()) != Platform::InvalidFileAttributes
                   ? TPreviewReason::TargetExists
                   : TPreviewReason::None;
    }

    void Move(const String& oldName, const String& target)
    {
        const String from = Key(oldName);
        const String to = Key(target);
        Present.erase(from);
        Freed.insert(from);
        Freed.erase(to);
        Present.insert(to);
        Taken.insert(to);
    }

private:
    String Directory;
    std::unordered_set<String> Present; // there now
    std::unordered_set<String> Taken;   // made by an earlier file of the run
    std::unordered_set<String> Freed;   // given up by an earlier file of the run
};

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
    case TPreviewReason::None:
        break;
    }
    return TMessage::None;
}

} // namespace

std::vector<TPreviewLine> PreviewRun(const TRunInput& run)
{
    const auto total = static_cast<int32_t>(run.FileNames.size());
    const size_t width = run.StartingNumber.size();
    int32_t counter = Base::StrToInt(run.StartingNumber);
    TFolderNames folder(run.Directory);
    std::vector<TPreviewLine> lines;
    lines.reserve(run.FileNames.size());
    TProgress progress(TMessage::ProgressPreviewing, run.FileNames.size());
    for (const String& oldName : run.FileNames) {
        progress.Step(lines.size());
        TPreviewLine line;
        line.OldName = oldName;
        line.NewName = TPlugin::ExpandWith(run.FileNameTemplate, width, oldName, counter, total);
        const TNewName decision = DecideNewName(oldName, line.NewName);
        switch (decision.Action) {
        case TNewName::TAction::Keep:
            line.NewName = oldName;
            break;
        case TNewName::TAction::Refuse:
            line.Reason = TPreviewReason::NameRefused;
            break;
        case TNewName::TAction::Move:
            line.Reason = folder.Check(oldName, decision.Target);
            if (line.Reason == TPreviewReason::None) {
                folder.Move(oldName, decision.Target);
                line.NewName = decision.Target;
            }
            break;
        }
        // A failure gives its counter value back, as in the run.
        if (line.Reason == TPreviewReason::None)
            counter = static_cast<int32_t>(static_cast<uint32_t>(counter) + 1u);
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
