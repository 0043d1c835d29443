#include "plugin/uPlugin.h"

#include "base/IntConvert.h"
#include "platform/Platform.h"
#include "plugin/uFailureList.h"
#include "plugin/uJournal.h"
#include "plugin/uNameRule.h"
#include "plugin/uOptionsUI.h"
#include "plugin/uPreview.h"
#include "plugin/uRenamePlan.h"
#include "plugin/uProgress.h"
#include "plugin/uPluginConsts.h"
#include "plugin/uStrings.h"
#include "plugin/uSystem.h"
#include "plugin/uTemplate.h"
#include "plugin/uUndo.h"
#include "plugin/uZelvaneDialog.h"

namespace Zelvane {

namespace {

constexpr uint32_t Selected = static_cast<uint32_t>(Far3::PPIF_SELECTED);

uint64_t FileTimeValue(const Far3::FILETIME& time)
{
    return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

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
        times.push_back({FileTimeValue(item.LastWriteTime), FileTimeValue(item.CreationTime)});
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
        run.Directory = NativePath(panel.Directory);
        if (!run.Directory.empty() && run.Directory.back() != u'\\')
            run.Directory += u'\\';
        run.FileNames = RunFileNames(panel);
        run.FileTimes = RunFileTimes(panel);
        run.FileNameTemplate = fileNameTemplate;
        run.StartingNumber = startingNumber;
        ShowPreview(PreviewRun(run));
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
    bool result = true;

    // Without a directory the files cannot be found: joining their names to
    // an empty one would address the root of the file system instead.
    String directory = NativePath(panel.Directory);
    const bool haveDirectory = !directory.empty();
    if (haveDirectory && directory.back() != u'\\')
        directory += u'\\';
    TRenamePlan plan(std::move(*nameTemplate), directory, start, total);

    TFailureList failures(TMessage::FailureListHeading);
    TJournalWriter journal(JournalFileName(), panel.Directory, CurrentFileTime());
    TProgress progress(TMessage::ProgressRenaming, static_cast<uint64_t>(total));
    uint64_t done = 0;
    // The full names of each rename, built in the same two buffers for every file.
    String from;
    String to;
    for (int32_t i = 0; i < panel.Count(); ++i) {
        auto& item = panel.GetItem(i);
        if (!item.HasFlag(Selected))
            continue;
        progress.Step(done++);
        const Base::StringView oldName = item.FileName();
        const TPlannedFile planned =
            plan.Next({oldName, FileTimeValue(item.LastWriteTime), FileTimeValue(item.CreationTime)});
        const TNewName& decision = planned.Decision;
        bool renamed = planned.GoesAhead() && decision.Action == TNewName::TAction::Keep;
        if (planned.GoesAhead() && decision.Action == TNewName::TAction::Move && haveDirectory) {
            from.assign(directory).append(oldName);
            to.assign(directory).append(decision.Target);
            renamed = Platform::MoveFileW(from.c_str(), to.c_str()) != 0;
            if (renamed)
                journal.Add(oldName, decision.Target, item.FileSize, FileTimeValue(item.LastWriteTime));
        }
        if (renamed) {
            item.SetFlag(Selected, false);
        } else {
            result = false;
            if (planned.GoesAhead())
                plan.GiveBack(planned);
            failures.Add(String(oldName), planned.Expanded);
        }
    }

    const int32_t counter = plan.Counter();
    if (rememberCounter && counter != start) {
        options.SetStartingNumber(PadNumber(Base::IntToStr(counter)));
        options.SavedPatterns().Update(options.FileNameTemplate(), options.StartingNumber());
        options.Save(false);
    }

    const bool journalWritten = journal.Finish();
    failures.Show();
    if (!journalWritten)
        ShowJournalNotWritten();
    return result;
}

} // namespace Zelvane
