#include "tests/support/ScriptedFrontEnd.h"

#include "host/app/HostError.h"
#include "host/text/EditorText.h"
#include "host/text/HostText.h"

#include <fstream>
#include <iterator>

namespace Host {

void ScriptedFrontEnd::ClearRecord()
{
    ShownMessages.clear();
    ShownEditors.clear();
    ShownDialogs.clear();
    Running.clear();
    ShownHelps.clear();
}

void ScriptedFrontEnd::QueueKeys(std::string_view script)
{
    for (const KeyPress& key : ParseKeyScript(script))
        Steps.emplace_back(key);
}

void ScriptedFrontEnd::QueueResize(ScreenSize size)
{
    Steps.emplace_back(size);
}

void ScriptedFrontEnd::QueueCheck(std::function<void(const DialogView&)> check)
{
    Steps.emplace_back(std::move(check));
}

void ScriptedFrontEnd::QueuePaste(std::u16string text)
{
    Steps.emplace_back(std::in_place_type<Paste>, Paste{std::move(text)});
}

void ScriptedFrontEnd::QueueMouse(const Far3::MOUSE_EVENT_RECORD& mouse)
{
    Steps.emplace_back(mouse);
}

void ScriptedFrontEnd::QueueClick(int x, int y, uint32_t button)
{
    const Far3::COORD at{static_cast<int16_t>(x), static_cast<int16_t>(y)};
    QueueMouse(Far3::MOUSE_EVENT_RECORD{at, button, 0, 0});
    QueueMouse(Far3::MOUSE_EVENT_RECORD{at, 0, 0, 0});
}

void ScriptedFrontEnd::QueueListChoice(intptr_t entry)
{
    Steps.emplace_back(ListChoice{entry});
}

void ScriptedFrontEnd::DialogOpened(const DialogView& dialog)
{
    ShownDialog shown;
    shown.Opened = dialog;
    shown.Closed = dialog;
    ShownDialogs.push_back(std::move(shown));
    Running.push_back(ShownDialogs.size() - 1);
}

DialogInput ScriptedFrontEnd::ReadDialogInput(const DialogView& dialog)
{
    if (!Steps.empty())
        EscapesAfterTheScript = 0;
    while (!Steps.empty()) {
        Step step = std::move(Steps.front());
        Steps.pop_front();
        if (auto* check = std::get_if<std::function<void(const DialogView&)>>(&step)) {
            (*check)(dialog);
        } else if (auto* key = std::get_if<KeyPress>(&step)) {
            return DialogInput::Press(*key);
        } else if (auto* size = std::get_if<ScreenSize>(&step)) {
            Size = *size;
            return DialogInput::Resized(*size);
        } else if (auto* paste = std::get_if<Paste>(&step)) {
            return DialogInput::Pasted(std::move(paste->Text));
        } else if (auto* mouse = std::get_if<Far3::MOUSE_EVENT_RECORD>(&step)) {
            return DialogInput::MouseEvent(*mouse);
        }
        // A list choice with no list open is dropped.
    }
    OutOfInput = true;
    // A dialog that still will not close after this many Escs (it refuses
    // to close, or it ignores keys while it or its focused item is hidden)
    // would wait for the user for ever.
    constexpr int EscapesBeforeGivingUp = 100;
    if (++EscapesAfterTheScript > EscapesBeforeGivingUp)
        throw HostError("The key script ran out and the dialog does not close");
    return DialogInput::Press(ParseKeyScript("<Esc>").front());
}

ListInput ScriptedFrontEnd::ReadListInput(const DialogView& dialog)
{
    const KeyPress escape = ParseKeyScript("<Esc>").front();
    if (dialog.HistoryList.JustOpened && !Running.empty()) {
        std::vector<std::string> entries;
        for (const DialogView::HistoryListView::Row& row : dialog.HistoryList.Rows)
            if (!row.Separator)
                entries.push_back(Utf16ToUtf8(row.Text));
        ShownDialogs[Running.back()].Lists.push_back(std::move(entries));
    }
    while (!Steps.empty()) {
        if (auto* check = std::get_if<std::function<void(const DialogView&)>>(&Steps.front())) {
            const auto run = std::move(*check);
            Steps.pop_front();
            run(dialog);
        } else if (auto* key = std::get_if<KeyPress>(&Steps.front())) {
            const KeyPress pressed = *key;
            Steps.pop_front();
            return {pressed, -1};
        } else if (auto* choice = std::get_if<ListChoice>(&Steps.front())) {
            const intptr_t entry = choice->Entry;
            Steps.pop_front();
            return {escape, entry};
        } else {
            // A resize or a paste is for the dialog: the list closes first.
            return {escape, -1};
        }
    }
    return {escape, -1};
}

void ScriptedFrontEnd::DialogClosed(const DialogView& dialog, intptr_t exitCode)
{
    if (Running.empty())
        return;
    ShownDialog& shown = ShownDialogs[Running.back()];
    shown.Closed = dialog;
    shown.ExitCode = exitCode;
    shown.Finished = true;
    Running.pop_back();
}

void ScriptedFrontEnd::ShowHelp(const HelpFile& help, const HelpTopic& topic)
{
    ShownHelp shown{help.Language, topic.Name, {}};
    for (const HelpLine& line : topic.Header)
        shown.Lines.push_back(line.Text());
    for (const HelpLine& line : topic.Body)
        shown.Lines.push_back(line.Text());
    ShownHelps.push_back(std::move(shown));
}

intptr_t ScriptedFrontEnd::ShowMessage(const MessageBox& box)
{
    ShownMessages.push_back(box);
    if (box.Buttons.empty())
        return -1;
    if (Answers.empty())
        return DefaultAnswer;
    intptr_t answer = Answers.front();
    Answers.pop_front();
    return answer;
}

void ScriptedFrontEnd::OpenEditor(const EditorWindow& editor)
{
    ShownEditor shown;
    shown.Window = editor;
    std::ifstream file(editor.FileName, std::ios::binary);
    if (file) {
        shown.FileExisted = true;
        shown.Content.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
    ShownEditors.push_back(std::move(shown));
}

bool ScriptedFrontEnd::RunEditor(const EditorWindow& editor)
{
    OpenEditor(editor);
    if (EditorSessions.empty())
        return false;
    const EditorSession session = EditorSessions.front();
    EditorSessions.pop_front();
    std::optional<EditorText> text = EditorText::Load(editor.FileName, editor.CodePage);
    if (!text)
        return false;
    text->Replace(Utf8ToUtf16(session.Text));
    if (!session.Save || text->Save(editor.FileName))
        return false;
    ShownEditors.back().Saved = text->Bytes();
    return true;
}

void ScriptedFrontEnd::ShowViewer(const ViewerWindow& viewer)
{
    std::ifstream file(viewer.FileName, std::ios::binary);
    ShownViewers.push_back({viewer, std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>())});
}

void ScriptedFrontEnd::CloseEditor(intptr_t id)
{
    for (ShownEditor& shown : ShownEditors)
        if (shown.Window.Id == id)
            shown.Closed = true;
}

void ScriptedFrontEnd::QueueTypedKeys(std::string_view script)
{
    for (const KeyPress& key : ParseKeyScript(script))
        TypedKeys.push_back(key);
}

std::optional<KeyPress> ScriptedFrontEnd::TypedKey()
{
    if (TypedKeys.empty())
        return std::nullopt;
    const KeyPress key = TypedKeys.front();
    TypedKeys.pop_front();
    return key;
}

} // namespace Host
