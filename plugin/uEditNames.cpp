#include "plugin/uEditNames.h"

#include "base/FileTime.h"
#include "base/Format.h"
#include "framework/FarEditor.h"
#include "platform/Platform.h"
#include "plugin/FileStream.h"
#include "plugin/uEditPlan.h"
#include "plugin/uFailureList.h"
#include "plugin/uJournal.h"
#include "plugin/uNameRule.h"
#include "plugin/uNamesFile.h"
#include "plugin/uPreview.h"
#include "plugin/uProgress.h"
#include "plugin/uRunBatch.h"
#include "plugin/uStrings.h"
#include "plugin/uSystem.h"
#include "plugin/uUndo.h"

#include <algorithm>
#include <optional>
#include <string>

namespace Zelvane {

namespace {

constexpr uint32_t Selected = static_cast<uint32_t>(Far3::PPIF_SELECTED);

// The names file opens modal and full screen, keeps neither history nor
// position, and is read as UTF-8 whatever it holds.
constexpr Far3::EDITOR_FLAGS NamesEditorFlags = Far3::EF_DISABLEHISTORY | Far3::EF_DISABLESAVEPOS;

// One file of the run, as the panel showed it (its name is kept apart).
struct TEditFile {
    int32_t Item = 0;
    uint64_t Size = 0;
    uint64_t LastWriteTime = 0;
};

// The run's files and, in the same order, their names and the names file
// that lists them.
struct TRunFiles {
    std::vector<TEditFile> Files;
    std::vector<String> Names;
    std::string Text;
};

// Where names are UTF-16 text (Windows), bytes of another encoding in a
// saved line are the editor's doing and never a name; where names are bytes
// (POSIX), such a line is the name of those very bytes.
#if defined(_WIN32)
constexpr bool NamesAreText = true;
#else
constexpr bool NamesAreText = false;
#endif

// The buttons of the questions, in the order they are shown.
enum class TConfirm { Rename = 0, Preview = 1, EditAgain = 2 };
constexpr intptr_t EditAgainAfterProblem = 0;

// A file of ours that goes when the object goes.
class TTemporaryFile {
public:
    explicit TTemporaryFile(String fileName) : Name(std::move(fileName)) {}
    ~TTemporaryFile() { Platform::DeleteFileW(Name.c_str()); }
    TTemporaryFile(const TTemporaryFile&) = delete;
    TTemporaryFile& operator=(const TTemporaryFile&) = delete;

    const String Name;
};

void WriteBytes(const String& fileName, const std::string& bytes)
{
    TFileStream stream(fileName, TFileStream::ModeCreate);
    stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}

std::string ReadBytes(const String& fileName)
{
    TFileStream stream(fileName, TFileStream::ModeOpenRead | TFileStream::ShareDenyNone);
    std::string bytes;
    char chunk[65536];
    while (const int32_t read = stream.Read(chunk, static_cast<int32_t>(sizeof chunk)))
        bytes.append(chunk, static_cast<size_t>(read));
    return bytes;
}

// The names file edited once, from `bytes`: what the user saved, or nothing
// when nothing was saved. The file is deleted on the way out.
std::optional<std::string> EditOnce(const std::string& bytes)
{
    const TTemporaryFile file(UniqueTempNameWithExt(TempDirectory(), u"zelvane", u".txt"));
    WriteBytes(file.Name, bytes);
    const intptr_t result = Tessel::TFarEditor::EditModal(file.Name, MessageText(TMessage::EditorTitle),
                                                          NamesEditorFlags, Far3::CodePage::Utf8);
    if (result != Far3::EEC_MODIFIED)
        return std::nullopt;
    return ReadBytes(file.Name);
}

bool IsFolder(const String& path)
{
    const Platform::DWORD attributes = Platform::GetFileAttributesW(path.c_str());
    return attributes != Platform::InvalidFileAttributes && (attributes & Platform::FileAttribute::Directory) != 0;
}

bool Exists(const String& path)
{
    return Platform::GetFileAttributesW(path.c_str()) != Platform::InvalidFileAttributes;
}

// The first changed line (counted from 1) holding a byte that is not UTF-8
// text, shown as its stand-in U+DC80..U+DCFF; 0 when there is none.
size_t FirstChangedLineNotUtf8(const std::vector<String>& oldNames, const std::vector<String>& lines)
{
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i] == oldNames[i])
            continue;
        const String& line = lines[i];
        for (size_t k = 0; k < line.size(); ++k) {
            const bool afterHigh = k > 0 && line[k - 1] >= 0xD800 && line[k - 1] <= 0xDBFF;
            if (line[k] >= 0xDC80 && line[k] <= 0xDCFF && !afterHigh)
                return i + 1;
        }
    }
    return 0;
}

// What the saved lines ask of each file: the new names through the name
// rule (an unchanged line keeps its file's name), and why a refused one is
// refused.
struct TNewNames {
    std::vector<TNewName> Names;
    std::vector<TPreviewReason> Refused; // per file: None unless refused
    size_t Changed = 0;                  // the files that do not keep their names
};

TNewNames DecideNewNames(const String& directory, const std::vector<String>& oldNames,
                         const std::vector<String>& lines)
{
    TNewNames result;
    result.Names.reserve(oldNames.size());
    result.Refused.assign(oldNames.size(), TPreviewReason::None);
    for (size_t i = 0; i < oldNames.size(); ++i) {
        TNewName decision;
        if (lines[i] == oldNames[i]) {
            decision.Action = TNewName::TAction::Keep;
        } else {
            decision = DecideNewName(oldNames[i], lines[i]);
            const size_t separator = decision.Target.rfind(u'\\');
            if (decision.Action == TNewName::TAction::Refuse) {
                result.Refused[i] = TPreviewReason::NameRefused;
            } else if (decision.Action == TNewName::TAction::Move && separator != String::npos &&
                       !IsFolder(directory + decision.Target.substr(0, separator))) {
                decision.Action = TNewName::TAction::Refuse;
                result.Refused[i] = TPreviewReason::FolderMissing;
            }
        }
        if (decision.Action != TNewName::TAction::Keep)
            ++result.Changed;
        result.Names.push_back(std::move(decision));
    }
    return result;
}

// The plan of the preview: a target held by a file outside the run is
// looked for, so that the preview names it.
TEditPlan PlanRenames(const String& directory, const std::vector<String>& oldNames, const TNewNames& newNames)
{
    return PlanEditRun(oldNames, newNames.Names, FileSystemNameKeyInto,
                       [&directory](const String& name) { return Exists(directory + name); });
}

// Why each file fails, in the preview's terms (None for the files that go).
std::vector<TPreviewReason> FailureReasons(const TEditPlan& plan, const TNewNames& newNames)
{
    std::vector<TPreviewReason> reasons(newNames.Names.size(), TPreviewReason::None);
    for (const TEditFailure& failure : plan.Failures) {
        TPreviewReason& reason = reasons[failure.File];
        switch (failure.Reason) {
        case TEditReason::Refused:
            reason = newNames.Refused[failure.File];
            break;
        case TEditReason::TargetExists:
            reason = TPreviewReason::TargetExists;
            break;
        case TEditReason::SameNewName:
            reason = TPreviewReason::SameNewName;
            break;
        case TEditReason::TargetStays:
            reason = TPreviewReason::TargetStays;
            break;
        case TEditReason::CycleCannotComplete:
            reason = TPreviewReason::CycleCannotComplete;
            break;
        case TEditReason::AmbiguousName:
            reason = TPreviewReason::AmbiguousName;
            break;
        }
    }
    return reasons;
}

void Preview(const String& directory, const std::vector<String>& oldNames, const std::vector<String>& lines,
             const TNewNames& newNames)
{
    const std::vector<TPreviewReason> reasons = FailureReasons(PlanRenames(directory, oldNames, newNames), newNames);
    std::vector<TPreviewLine> preview;
    preview.reserve(oldNames.size());
    for (size_t i = 0; i < oldNames.size(); ++i) {
        TPreviewLine& line = preview.emplace_back();
        line.OldName = oldNames[i];
        line.Reason = reasons[i];
        if (reasons[i] != TPreviewReason::None)
            line.NewName = lines[i];
        else if (newNames.Names[i].Action == TNewName::TAction::Keep)
            line.NewName = oldNames[i];
        else
            line.NewName = newNames.Names[i].Target;
    }
    ShowPreview(preview);
}

// Asks with the title, one line of text and the buttons; the button's index,
// or -1 when the box was closed without one.
intptr_t Ask(const String& text, std::initializer_list<TMessage> buttons, Far3::FARMESSAGEFLAGS flags)
{
    std::vector<String> items{MessageText(TMessage::Title), text};
    for (const TMessage button : buttons)
        items.push_back(MessageText(button));
    return Tessel::TFarModule::ShowMessage(items, static_cast<int>(items.size() - 1), flags,
                                           static_cast<int>(buttons.size()));
}

// A temporary name in the run's folder that no entry has now (only the name
// within the folder); empty when none can be found.
String TemporaryNameIn(const String& directory)
{
    const String full = UniqueTempName(directory, u"zelvane");
    const size_t separator = full.find_last_of(u"\\/");
    return separator == String::npos ? full : full.substr(separator + 1);
}

// The name of `name` in its folder as the file system spells it; empty when
// it names nothing.
String SpelledName(const String& directory, const String& name)
{
    Platform::WIN32_FIND_DATAW data{};
    const Platform::HANDLE found = Platform::FindFirstFileW((directory + name).c_str(), &data);
    if (found == Platform::InvalidHandleValue)
        return {};
    Platform::FindClose(found);
    return data.cFileName;
}

// The renames of one confirmed edit run, made step by step with the journal
// written ahead.
class TEditRun {
public:
    TEditRun(Tessel::TFarPanel& panel, String directory, const TRunFiles& run, const std::vector<String>& lines,
             const TNewNames& newNames)
        : Panel(panel), Directory(std::move(directory)), Files(run.Files), OldNames(run.Names), Lines(lines),
          NewNames(newNames),
          At(Files.size(), TWhere::Old),
          Failed(Files.size(), false), Reached(Files.size(), false), HasSteps(Files.size(), false)
    {
    }

    void Run()
    {
        // The journal is ours from before the first rename to the end, or
        // the run does not start.
        const String journalName = JournalFileName();
        const TJournalHold hold(journalName);
        if (hold.State() == TJournalHold::TState::Busy) {
            ShowJournalBusy();
            return;
        }
        TRunJournal journal(hold.State() == TJournalHold::TState::Held ? journalName : String(), Panel.Directory,
                            CurrentFileTime());
        if (!journal.Recording() && !AskToRenameUnrecorded())
            return;
        const bool recordedFromStart = journal.Recording();

        // Planned only now, with the journal held. A target held by a file
        // outside the run is not looked for: its no-replace rename fails,
        // and what waits for it fails after it, as planned.
        const TEditPlan plan =
            PlanEditRun(OldNames, NewNames.Names, FileSystemNameKeyInto, [](const String&) { return false; });
        Reasons = FailureReasons(plan, NewNames);
        for (const TEditFailure& failure : plan.Failures)
            Failed[failure.File] = true;
        Steps.reserve(plan.Steps.size());
        for (const TEditStep& step : plan.Steps) {
            HasSteps[step.File] = true;
            switch (step.Kind) {
            case TEditStepKind::Direct:
                Steps.push_back({step.File, TWhere::Old, TWhere::Target, step.CaseOnly});
                break;
            case TEditStepKind::ToTemporary:
                Steps.push_back({step.File, TWhere::Old, TWhere::Temporary, false});
                break;
            case TEditStepKind::FromTemporary:
                Steps.push_back({step.File, TWhere::Temporary, TWhere::Target, false});
                break;
            }
        }

        MakeSteps(journal, recordedFromStart);

        const bool journalWritten = journal.Finish();
        ListFailuresAndSelect();
        if (recordedFromStart && !journalWritten)
            ShowJournalNotWritten();
    }

private:
    // Where a file of the run is, or where a step takes it.
    enum class TWhere : uint8_t {
        Old,       // its old name
        Temporary, // its temporary name
        Target,    // its new name
        Spelled,   // its new name as a file system that kept the old case spells it
    };

    struct TStep {
        size_t File = 0;
        TWhere From = TWhere::Old;
        TWhere To = TWhere::Target;
        // Only the letter case changes: checked after the rename.
        bool CaseOnly = false;
    };

    // A step of the batch, with its entry in the journal when it is tried.
    struct TBatchStep {
        size_t Step = 0;
        uint64_t Entry = NoEntry;
    };

    const String& NameOf(size_t file, TWhere where) const
    {
        switch (where) {
        case TWhere::Old:
            return OldNames[file];
        case TWhere::Temporary:
            return Temporary.empty() ? NoName : Temporary[file];
        case TWhere::Target:
            return NewNames.Names[file].Target;
        case TWhere::Spelled:
            break;
        }
        return Spelled.empty() ? NoName : Spelled[file];
    }

    // `names` with a name for every file of the run: made on first use, so
    // that a run with no cycle and no case to check takes no memory for them.
    std::vector<String>& PerFile(std::vector<String>& names)
    {
        if (names.empty())
            names.resize(Files.size());
        return names;
    }

    void MakeSteps(TRunJournal& journal, bool recordedFromStart)
    {
        const TOpenFolder folder(Directory);
        TRunStamps stamps(journal.Recording() ? Directory : String(),
                          std::vector<Base::StringView>(OldNames.begin(), OldNames.end()),
                          static_cast<size_t>(Panel.Count()));
        TProgress progress(TMessage::ProgressRenaming, Steps.size());
        uint64_t done = 0;
        bool stopAsked = false;
        // Inside a cycle (or a detour), between the step to a temporary
        // name and the one from it, the run is not stopped: no file is left
        // under a temporary name by Esc.
        bool inCycle = false;
        // Steps the run found it must still make (a detour, a way back from
        // a temporary name): they come next, even when the run is stopped.
        size_t mustFinish = 0;
        size_t batchSize = FirstBatch;
        std::vector<TBatchStep> batch;
        std::vector<TStep> inserted;
        String from;
        String to;
        for (size_t next = 0; next < Steps.size();) {
            // A cycle's steps all go into one batch, so a journal that fails
            // between batches never leaves a file under a temporary name.
            batch.clear();
            bool batchInCycle = false;
            for (size_t k = next;
                 k < Steps.size() && (!BatchIsFull(batch.size(), batchSize, journal.PendingBytes()) || batchInCycle);
                 ++k) {
                const TStep& step = Steps[k];
                TBatchStep& planned = batch.emplace_back();
                planned.Step = k;
                if (step.To == TWhere::Temporary) {
                    // Cycles are made one after the other, so one free name
                    // serves them all; a new one is found after a failure.
                    if (RunTemporary.empty())
                        RunTemporary = TemporaryNameIn(Directory);
                    PerFile(Temporary)[step.File] = RunTemporary;
                    batchInCycle = true;
                } else if (step.From == TWhere::Temporary && step.To == TWhere::Target) {
                    batchInCycle = false;
                }
                const String& oldName = NameOf(step.File, step.From);
                const String& newName = NameOf(step.File, step.To);
                if (!oldName.empty() && !newName.empty()) {
                    const TEditFile& file = Files[step.File];
                    planned.Entry = journal.Intend(oldName, newName, file.Size, file.LastWriteTime, false);
                }
            }
            // A step whose intent is not on the disk is not made: a journal
            // that fails mid-run stops the run here, and what it holds stays
            // undoable. (A run the user agreed to leave unrecorded goes on.)
            if (!journal.WriteAhead() && recordedFromStart)
                break;

            size_t made = 0;
            bool stopped = false;
            bool journalLost = false;
            inserted.clear();
            while (made < batch.size()) {
                if (!stopAsked && progress.Step(std::min<uint64_t>(done, Steps.size())))
                    stopAsked = true;
                if (stopAsked && !inCycle && mustFinish == 0 && inserted.empty()) {
                    stopped = true;
                    break;
                }
                const TBatchStep& planned = batch[made++];
                ++done;
                const TStep step = Steps[planned.Step];
                const size_t file = step.File;
                if (mustFinish > 0)
                    --mustFinish;
                if (step.To == TWhere::Temporary)
                    inCycle = true;
                else if (step.From == TWhere::Temporary)
                    inCycle = false;
                const String& newName = NameOf(file, step.To);
                bool renamed = false;
                // A step is made only while its file is where the step takes
                // it from: after a failed step, the file's later ones are not.
                if (planned.Entry != NoEntry && At[file] == step.From) {
                    const String& oldName = NameOf(file, step.From);
                    from.assign(Directory).append(oldName);
                    to.assign(Directory).append(newName);
                    // Until a rename is made the old journal stays in place,
                    // so a run that renames nothing leaves it.
                    if (!(journal.Recording() && !journal.InPlace() && IsTaken(from, to))) {
                        journal.BeforeRename();
                        if (recordedFromStart && !journal.Recording()) {
                            // The journal could not take the old one's place.
                            --made;
                            journalLost = true;
                            break;
                        }
                        renamed = Platform::MoveFileInFolderW(folder.Handle, from.c_str(), to.c_str(), oldName.c_str(),
                                                              newName.c_str()) != 0;
                    }
                    if (!renamed && Reasons[file] == TPreviewReason::None && Exists(to))
                        Reasons[file] = TPreviewReason::TargetExists;
                }
                Reached[file] = true;
                if (planned.Entry != NoEntry) {
                    if (renamed)
                        journal.Renamed(planned.Entry,
                                        stamps.AfterRename(folder.Handle, to, newName, file,
                                                           Files[file].Size, Files[file].LastWriteTime));
                    else
                        journal.NotDone(planned.Entry, 1);
                }
                if (renamed) {
                    At[file] = step.To;
                    if (step.CaseOnly)
                        CheckCase(file, inserted);
                } else {
                    Failed[file] = true;
                    if (step.To == TWhere::Temporary)
                        RunTemporary.clear();
                    // A file that went to its temporary name and could not
                    // go on is taken back to its own name.
                    if (At[file] == TWhere::Temporary)
                        inserted.push_back({file, TWhere::Temporary, TWhere::Old, false});
                }
            }
            // The rest of the batch is not made (now: it is planned anew).
            uint64_t firstLeft = NoEntry;
            uint64_t lastLeft = NoEntry;
            for (size_t k = made; k < batch.size(); ++k) {
                if (batch[k].Entry == NoEntry)
                    continue;
                if (firstLeft == NoEntry)
                    firstLeft = batch[k].Entry;
                lastLeft = batch[k].Entry;
            }
            if (firstLeft != NoEntry)
                journal.NotDone(firstLeft, lastLeft + 1 - firstLeft);
            journal.WriteOutcomes();
            if (journalLost || (stopped && inserted.empty()))
                break;
            next += made;
            mustFinish += inserted.size();
            Steps.insert(Steps.begin() + static_cast<ptrdiff_t>(next), inserted.begin(), inserted.end());
            batchSize = NextBatchSize(batchSize);
        }
    }

    // After a change of letter case only: where the file system kept the
    // old spelling, the file goes through a temporary name.
    void CheckCase(size_t file, std::vector<TStep>& inserted)
    {
        const String& target = NewNames.Names[file].Target;
        String spelled = SpelledName(Directory, target);
        if (spelled.empty() || spelled == target)
            return;
        PerFile(Spelled)[file] = std::move(spelled);
        At[file] = TWhere::Spelled;
        inserted.push_back({file, TWhere::Spelled, TWhere::Temporary, false});
        inserted.push_back({file, TWhere::Temporary, TWhere::Target, false});
    }

    void ListFailuresAndSelect()
    {
        TFailureList failures(TMessage::FailureListHeading);
        for (size_t i = 0; i < Files.size(); ++i) {
            auto& item = Panel.GetItem(Files[i].Item);
            // Files the run did not reach (stopped) stay selected, and are
            // no failures.
            const bool notReached = HasSteps[i] && !Reached[i];
            item.SetFlag(Selected, Failed[i] || notReached);
            if (Failed[i])
                failures.Add(NameOf(i, At[i]), Lines[i], MessageText(ReasonMessage(Reasons[i])));
        }
        failures.Show();
    }

    Tessel::TFarPanel& Panel;
    const String Directory;
    const std::vector<TEditFile>& Files;
    const std::vector<String>& OldNames;
    const std::vector<String>& Lines;
    const TNewNames& NewNames;
    std::vector<TStep> Steps;
    // The temporary name the cycles go through now.
    String RunTemporary;
    // Per file: where it is, its temporary name and spelling (when it has
    // them; both empty until a file has one), whether it failed and why,
    // whether the run reached it, and whether it has anything to do.
    const String NoName;
    std::vector<TWhere> At;
    std::vector<String> Temporary;
    std::vector<String> Spelled;
    std::vector<bool> Failed;
    std::vector<bool> Reached;
    std::vector<bool> HasSteps;
    std::vector<TPreviewReason> Reasons;
};

// The run's files in panel order, each whose name fits on a line of the
// names file; the item under the cursor is selected when it stands in for an
// empty selection.
TRunFiles RunFiles(Tessel::TFarPanel& panel, bool underCursor)
{
    TRunFiles files;
    files.Files.reserve(static_cast<size_t>(panel.Count()));
    files.Names.reserve(static_cast<size_t>(panel.Count()));
    StartNamesFile(files.Text);
    const auto add = [&files, &panel](int32_t at) {
        const auto& item = panel.GetItem(at);
        if (AppendNameLine(item.FileName(), files.Text)) {
            files.Files.push_back({at, item.FileSize, Base::FileTimeValue(item.LastWriteTime)});
            files.Names.emplace_back(item.FileName());
        }
    };
    bool anySelected = false;
    for (int32_t i = 0; i < panel.Count(); ++i) {
        if (panel.GetItem(i).HasFlag(Selected)) {
            anySelected = true;
            add(i);
        }
    }
    if (!anySelected && underCursor && panel.CurrentItem >= 0 && panel.CurrentItem < panel.Count()) {
        const auto at = static_cast<int32_t>(panel.CurrentItem);
        if (panel.GetItem(at).FileName() != u"..") {
            panel.GetItem(at).SetFlag(Selected, true);
            add(at);
        }
    }
    return files;
}

} // namespace

void EditNames(Tessel::TFarPanel& panel, bool underCursor)
{
    TRunFiles run = RunFiles(panel, underCursor);
    const std::vector<String>& oldNames = run.Names;
    // Without a folder the files cannot be found: joining their names to an
    // empty one would address the root of the file system instead.
    const String directory = FolderWithSeparator(Tessel::TFarModule::NativePath(panel.Directory));
    if (oldNames.empty() || directory.empty()) {
        Ask(MessageText(TMessage::NothingToRename), {TMessage::Ok}, Far3::FMSG_WARNING);
        return;
    }
    std::string text = std::move(run.Text);

    while (true) {
        const std::optional<std::string> saved = EditOnce(text);
        if (!saved)
            return;
        // "Edit again" starts from the text as it was saved.
        text = *saved;
        const TNamesText read = ReadNamesText(text);
        const std::vector<String>& lines = read.Lines;
        String problem;
        if (lines.size() != oldNames.size()) {
            problem = Base::Format(MessageText(TMessage::LineCountDiffers),
                                   {static_cast<long long>(lines.size()), static_cast<long long>(oldNames.size())});
        } else if (NamesAreText && read.FirstLineNotUtf8 != 0) {
            if (const size_t line = FirstChangedLineNotUtf8(oldNames, lines))
                problem = Base::Format(MessageText(TMessage::LineNotUtf8), {static_cast<long long>(line)});
        }
        if (!problem.empty()) {
            if (Ask(problem, {TMessage::EditAgain, TMessage::Cancel}, Far3::FMSG_WARNING) == EditAgainAfterProblem)
                continue;
            return;
        }
        const TNewNames newNames = DecideNewNames(directory, oldNames, lines);
        if (newNames.Changed == 0)
            return;
        const String question = Base::Format(MessageText(TMessage::EditQuestion),
                                             {static_cast<long long>(newNames.Changed),
                                              static_cast<long long>(oldNames.size())});
        while (true) {
            const intptr_t answer = Ask(question,
                                        {TMessage::RenameButton, TMessage::PreviewButton, TMessage::EditAgain,
                                         TMessage::Cancel},
                                        Far3::FMSG_NONE);
            if (answer == static_cast<intptr_t>(TConfirm::Preview)) {
                Preview(directory, oldNames, lines, newNames);
                continue;
            }
            if (answer == static_cast<intptr_t>(TConfirm::Rename)) {
                TEditRun(panel, directory, run, lines, newNames).Run();
                return;
            }
            if (answer == static_cast<intptr_t>(TConfirm::EditAgain))
                break;
            return;
        }
    }
}

} // namespace Zelvane
