#include "plugin/uPlugin.h"

#include "base/FileTime.h"
#include "base/IntConvert.h"
#include "platform/Platform.h"
#include "plugin/uEditNames.h"
#include "plugin/uEditPlan.h"
#include "plugin/uFailureList.h"
#include "plugin/uJournal.h"
#include "plugin/uNameRule.h"
#include "plugin/uOptionsUI.h"
#include "plugin/uPreview.h"
#include "plugin/uRenamePlan.h"
#include "plugin/uProgress.h"
#include "plugin/uRunBatch.h"
#include "plugin/uPluginConsts.h"
#include "plugin/uStrings.h"
#include "plugin/uSystem.h"
#include "plugin/uTemplate.h"
#include "plugin/uUndo.h"
#include "plugin/uZelvaneDialog.h"

#include <algorithm>
#include <unordered_set>

namespace Zelvane {

namespace {

constexpr uint32_t Selected = static_cast<uint32_t>(Far3::PPIF_SELECTED);

// One file of a batch, planned before the batch's intents are written.
struct TBatchFile {
    int32_t Item = 0;
    // Its place among the run's files.
    size_t Position = 0;
    TPlannedFile Planned;
    // Predicted: the file is renamed (or keeps its name).
    bool Succeeds = false;
    // Its intent in the journal, when a rename is tried.
    uint64_t Entry = NoEntry;
};

// The careful prediction a run makes once a rename has failed: whether a
// rename to `target` in `directory` will be made, given the names the
// batch's earlier renames take and free.
class TBatchNames {
public:
    bool LooksFree(const String& directory, const String& oldName, const String& target)
    {
        const String targetKey = FileSystemNameKey(target);
        if (Taken.count(targetKey) != 0)
            return false;
        if (targetKey == FileSystemNameKey(oldName) || Freed.count(targetKey) != 0)
            return true;
        return Platform::GetFileAttributesW((directory + target).c_str()) == Platform::InvalidFileAttributes;
    }

    void Rename(const String& oldName, const String& target)
    {
        Taken.insert(FileSystemNameKey(target));
        Freed.insert(FileSystemNameKey(oldName));
    }

private:
    std::unordered_set<String> Taken;
    std::unordered_set<String> Freed;
};

} // namespace

TPlugin::TPlugin() = default;

TPlugin::~TPlugin() = default;

Far3::GUID TPlugin::GetPluginGuid()
{
    return PluginGuid;
}

String TPlugin::GetPluginIdentity(String& description, String& author)
{
    description = u"Zelvane 3";
    author = u"The Zelvane developers, https://zelvane.example.org";
    return u"Zelvane3";
}

void TPlugin::GetMenus(Far3::PLUGIN_FLAGS& /*flags*/, TFarPluginMenu& pluginMenu, TFarPluginMenu& configMenu,
                       TFarPluginMenu& /*diskMenu*/, String& /*commandPrefix*/)
{
    pluginMenu.push_back({MessageText(TMessage::Title), PluginMenuGuid});
    pluginMenu.push_back({MessageText(TMessage::UndoMenuItem), UndoMenuGuid});
    pluginMenu.push_back({MessageText(TMessage::EditMenuItem), EditMenuGuid});
    configMenu.push_back({MessageText(TMessage::Title), ConfigMenuGuid});
}

Far3::HANDLE TPlugin::Open(int32_t /*openFrom*/, const Far3::GUID* guid, intptr_t /*data*/)
{
    if (guid != nullptr && *guid == UndoMenuGuid) {
        UndoLastRun();
        return nullptr;
    }
    // The options are read afresh at every start of the renamer.
    TOptions& options = GetOptions();
    options.Load();

    if (guid != nullptr && *guid == EditMenuGuid) {
        Tessel::TFarPanel panel(true, true);
        EditNames(panel, options.AllowRenameFileUnderCursor());
        panel.ApplySelection();
        return nullptr;
    }

    Tessel::TFarPanel panel(true, true);
    const intptr_t count =
        options.AllowRenameFileUnderCursor() ? panel.SelectedItemsNumber : CountSelected(panel);
    if (count <= 0) {
        const std::vector<String> items{MessageText(TMessage::Title), MessageText(TMessage::NothingToRename),
                                        MessageText(TMessage::Ok)};
        ShowMessage(items, 2, Far3::FMSG_WARNING, 1);
        return nullptr;
    }

    auto dialog = Tessel::TFarDialog::Create<TZelvaneDialog>();
    dialog->Options = &options;
    dialog->SavePattern = options.SavePatternSettings();
    dialog->OnConfirm = &TPlugin::TemplateCompiles;
    dialog->OnPreview = [this, &panel](const String& fileNameTemplate, const String& startingNumber) {
        PreviewFiles(panel, fileNameTemplate, startingNumber);
    };
    if (dialog->Execute()) {
        options.Save(false);
        RenameFiles(panel, dialog->SavePattern);
        panel.ApplySelection();
    }
    return nullptr;
}

bool TPlugin::Configure(const Far3::GUID* const* /*guid*/, intptr_t /*reserved*/)
{
    // The dialog works on values freshly read from the store.
    DiscardOptions();
    auto dialog = Tessel::TFarDialog::Create<TOptionsDialog>();
    dialog->Options = &GetOptions();
    if (!dialog->Execute())
        return false;
    GetOptions().Save(false);
    return true;
}

void TPlugin::Log(const String& /*text*/)
{
}

String TPlugin::GetStandardText(int kind)
{
    switch (kind) {
    case 0:
        return MessageText(TMessage::Title);
    case 1:
        return MessageText(TMessage::ExceptionCaption);
    case 2:
        return MessageText(TMessage::Ok);
    case 3:
        return MessageText(TMessage::Cancel);
    case 4:
        return MessageText(TMessage::Yes);
    case 5:
        return MessageText(TMessage::No);
    default:
        return TFarPlugin::GetStandardText(kind);
    }
}

TOptions& TPlugin::GetOptions()
{
    if (!Options) {
        Options = std::make_unique<TOptions>();
        Options->Load();
    }
    return *Options;
}

void TPlugin::DiscardOptions()
{
    Options.reset();
}

int32_t TPlugin::NextCounter(int32_t value)
{
    return NextCounterValue(value);
}

String TPlugin::PadNumber(const String& text)
{
    return PadTo(text, GetOptions().StartingNumberWidth());
}

String TPlugin::PadTo(const String& text, size_t width)
{
    return Zelvane::PadTo(text, width);
}

void TPlugin::ReplaceToken(String& text, const String& replacement, size_t& position, size_t tokenLength)
{
    const size_t n = replacement.size();
    if (n > tokenLength) {
        text.insert(position, n - tokenLength, u' ');
        tokenLength = n;
    }
    for (const char16_t c : replacement)
        text[position++] = c;
    if (n < tokenLength)
        text.erase(position, tokenLength - n);
}

String TPlugin::ExpandTemplate(Base::StringView fileName, int32_t counter, int32_t total)
{
    TOptions& options = GetOptions();
    return ExpandWith(options.FileNameTemplate(), options.StartingNumberWidth(), fileName, counter, total);
}

String TPlugin::ExpandWith(Base::StringView fileNameTemplate, size_t width, Base::StringView fileName,
                           int32_t counter, int32_t total)
{
    TTemplateError error;
    const std::optional<TTemplate> compiled = TTemplate::Compile(fileNameTemplate, width, error);
    if (!compiled)
        return String();
    TTemplateFile file;
    file.Name = fileName;
    String result;
    compiled->Expand(file, counter, total, result);
    return result;
}

int32_t TPlugin::CountSelected(const Tessel::TFarPanel& panel)
{
    int32_t count = 0;
    for (int32_t i = 0; i < panel.Count(); ++i)
        if (panel.GetItem(i).HasFlag(Selected))
            ++count;
    return count;
}

std::vector<String> TPlugin::RunFileNames(const Tessel::TFarPanel& panel)
{
    std::vector<String> names;
    for (int32_t i = 0; i < panel.Count(); ++i)
        if (panel.GetItem(i).HasFlag(Selected))
            names.emplace_back(panel.GetItem(i).FileName());
    if (names.empty() && GetOptions().AllowRenameFileUnderCursor() && panel.CurrentItem >= 0 &&
        panel.CurrentItem < panel.Count())
        names.emplace_back(panel.GetItem(static_cast<int32_t>(panel.CurrentItem)).FileName());
    return names;
}

std::vector<TRunFileTimes> TPlugin::RunFileTimes(const Tessel::TFarPanel& panel)
{
    std::vector<TRunFileTimes> times;
    const auto add = [&](const Tessel::TFarPanel::TItem& item) {
        times.push_back({Base::FileTimeValue(item.LastWriteTime), Base::FileTimeValue(item.CreationTime)});
    };
    for (int32_t i = 0; i < panel.Count(); ++i)
        if (panel.GetItem(i).HasFlag(Selected))
            add(panel.GetItem(i));
    if (times.empty() && GetOptions().AllowRenameFileUnderCursor() && panel.CurrentItem >= 0 &&
        panel.CurrentItem < panel.Count())
        add(panel.GetItem(static_cast<int32_t>(panel.CurrentItem)));
    return times;
}

bool TPlugin::TemplateCompiles(const String& fileNameTemplate)
{
    TTemplateError error;
    if (TTemplate::Compile(fileNameTemplate, 0, error))
        return true;
    ShowTemplateError(error);
    return false;
}

void TPlugin::PreviewFiles(const Tessel::TFarPanel& panel, const String& fileNameTemplate,
                           const String& startingNumber)
{
    // Trouble (a temporary folder that takes no file) is reported here and
    // leaves the dialog running.
    try {
        TRunInput run;
        run.Directory = FolderWithSeparator(NativePath(panel.Directory));
        run.FileNames = RunFileNames(panel);
        run.FileTimes = RunFileTimes(panel);
        run.FileNameTemplate = fileNameTemplate;
        run.StartingNumber = startingNumber;
        const std::vector<TPreviewLine> lines = PreviewRun(run);
        // A preview the user stopped shows nothing.
        if (lines.size() == run.FileNames.size())
            ShowPreview(lines);
    } catch (const ETemplateError& e) {
        ShowTemplateError(e.Error);
    } catch (const std::exception& e) {
        ReportException(e, u"Preview");
    }
}

bool TPlugin::RenameFiles(Tessel::TFarPanel& panel, bool rememberCounter)
{
    TOptions& options = GetOptions();
    int32_t total = CountSelected(panel);
    if (total == 0 && options.AllowRenameFileUnderCursor() && panel.CurrentItem >= 0 &&
        panel.CurrentItem < panel.Count()) {
        panel.GetItem(static_cast<int32_t>(panel.CurrentItem)).SetFlag(Selected, true);
        total = 1;
    }
    if (total <= 0)
        return false;

    const int32_t start = options.StartingNumberValue();
    // A template whose expression does not compile renames nothing.
    TTemplateError error;
    std::optional<TTemplate> nameTemplate =
        TTemplate::Compile(options.FileNameTemplate(), options.StartingNumberWidth(), error);
    if (!nameTemplate) {
        ShowTemplateError(error);
        return false;
    }

    // The journal is ours from before the first rename to the end, or the
    // run does not start.
    const String journalName = JournalFileName();
    const TJournalHold hold(journalName);
    if (hold.State() == TJournalHold::TState::Busy) {
        ShowJournalBusy();
        return false;
    }
    TRunJournal journal(hold.State() == TJournalHold::TState::Held ? journalName : String(), panel.Directory,
                        CurrentFileTime());
    if (!journal.Recording() && !AskToRenameUnrecorded())
        return false;
    const bool recordedFromStart = journal.Recording();

    bool result = true;

    // Without a directory the files cannot be found: joining their names to
    // an empty one would address the root of the file system instead.
    const String directory = FolderWithSeparator(NativePath(panel.Directory));
    const bool haveDirectory = !directory.empty();
    TRenamePlan plan(std::move(*nameTemplate), directory, start, total);

    std::vector<int32_t> items;
    items.reserve(static_cast<size_t>(total));
    for (int32_t i = 0; i < panel.Count(); ++i)
        if (panel.GetItem(i).HasFlag(Selected))
            items.push_back(i);

    const TOpenFolder folder(directory);
    std::vector<Base::StringView> names;
    names.reserve(items.size());
    for (const int32_t item : items)
        names.push_back(panel.GetItem(item).FileName());
    TRunStamps stamps(journal.Recording() ? directory : String(), std::move(names), static_cast<size_t>(panel.Count()));
    TFailureList failures(TMessage::FailureListHeading);
    TProgress progress(TMessage::ProgressRenaming, static_cast<uint64_t>(total));
    uint64_t done = 0;
    // The full names of each rename, built in the same two buffers for every file.
    String from;
    String to;
    std::vector<TBatchFile> batch;
    size_t batchSize = FirstBatch;
    // After a surprise, later batches are planned with a look at the disk.
    bool careful = false;
    // The counter as the files renamed so far left it.
    int32_t counter = start;
    for (size_t next = 0; next < items.size();) {
        // Plan: the counter a file takes depends on whether the files before
        // it are renamed, so the batch is planned on a prediction of that.
        batch.clear();
        TBatchNames names;
        plan.Replan(counter);
        for (size_t k = next; k < items.size() && !BatchIsFull(batch.size(), batchSize, journal.PendingBytes());
             ++k) {
            const auto& item = panel.GetItem(items[k]);
            TBatchFile& file = batch.emplace_back();
            file.Item = items[k];
            file.Position = k;
            file.Planned = plan.Next({item.FileName(), Base::FileTimeValue(item.LastWriteTime),
                                      Base::FileTimeValue(item.CreationTime)});
            if (!file.Planned.GoesAhead())
                continue;
            const TNewName& decision = file.Planned.Decision;
            file.Succeeds = decision.Action == TNewName::TAction::Keep;
            if (decision.Action == TNewName::TAction::Move && haveDirectory) {
                file.Succeeds = true;
                if (careful) {
                    const String oldName(item.FileName());
                    file.Succeeds = names.LooksFree(directory, oldName, decision.Target);
                    if (file.Succeeds)
                        names.Rename(oldName, decision.Target);
                }
                file.Entry = journal.Intend(item.FileName(), decision.Target, item.FileSize,
                                            Base::FileTimeValue(item.LastWriteTime), !file.Succeeds);
            }
            if (!file.Succeeds)
                plan.GiveBack(file.Planned);
        }
        // A rename whose intent is not on the disk is not made: a journal
        // that fails mid-run stops the run here, and what it holds stays
        // undoable. (A run the user agreed to leave unrecorded goes on.)
        if (!journal.WriteAhead() && recordedFromStart)
            break;

        // Rename, until a file does not go as predicted.
        size_t made = 0;
        bool stopped = false;
        while (made < batch.size()) {
            // Stopped by the user: the files not reached stay selected, and
            // are no failures.
            if (progress.Step(done++)) {
                stopped = true;
                break;
            }
            const TBatchFile& file = batch[made++];
            auto& item = panel.GetItem(file.Item);
            const TNewName& decision = file.Planned.Decision;
            bool renamed = file.Planned.GoesAhead() && decision.Action == TNewName::TAction::Keep;
            if (file.Entry != NoEntry) {
                from.assign(directory).append(item.FileName());
                to.assign(directory).append(decision.Target);
                // Until a rename is made the old journal stays in place, so
                // a run that renames nothing leaves it: a target that is
                // taken fails without a try while it is still there.
                if (journal.Recording() && !journal.InPlace() && IsTaken(from, to)) {
                    renamed = false;
                } else {
                    journal.BeforeRename();
                    if (recordedFromStart && !journal.Recording()) {
                        // The journal could not take the old one's place.
                        --made;
                        stopped = true;
                        break;
                    }
                    // The snapshot's names are nul-terminated.
                    renamed = Platform::MoveFileInFolderW(folder.Handle, from.c_str(), to.c_str(),
                                                          item.FileName().data(), decision.Target.c_str()) != 0;
                }
                if (renamed)
                    journal.Renamed(file.Entry, stamps.AfterRename(folder.Handle, to, decision.Target, file.Position,
                                                                   item.FileSize,
                                                                   Base::FileTimeValue(item.LastWriteTime)));
                else
                    journal.NotDone(file.Entry, 1);
            }
            if (renamed) {
                item.SetFlag(Selected, false);
                counter = NextCounter(file.Planned.Counter);
            } else {
                result = false;
                // Listed with the name its template gave; its counter value
                // goes to the next file.
                failures.Add(String(item.FileName()), file.Planned.Expanded);
            }
            if (renamed != file.Succeeds) {
                careful = true;
                break;
            }
        }
        // The rest of the batch was planned on a wrong prediction: its
        // intents are not made, and it is planned anew.
        if (made < batch.size()) {
            const auto planned = std::find_if(batch.begin() + static_cast<ptrdiff_t>(made), batch.end(),
                                              [](const TBatchFile& file) { return file.Entry != NoEntry; });
            const auto lastPlanned = std::find_if(batch.rbegin(), batch.rend(),
                                                  [](const TBatchFile& file) { return file.Entry != NoEntry; });
            if (planned != batch.end())
                journal.NotDone(planned->Entry, lastPlanned->Entry + 1 - planned->Entry);
        }
        journal.WriteOutcomes();
        next += made;
        if (stopped)
            break;
        batchSize = NextBatchSize(batchSize);
    }

    if (rememberCounter && counter != start) {
        options.SetStartingNumber(PadNumber(Base::IntToStr(counter)));
        options.SavedPatterns().Update(options.FileNameTemplate(), options.StartingNumber());
        options.Save(false);
    }

    const bool journalWritten = journal.Finish();
    failures.Show();
    if (recordedFromStart && !journalWritten)
        ShowJournalNotWritten();
    return result;
}

} // namespace Zelvane
