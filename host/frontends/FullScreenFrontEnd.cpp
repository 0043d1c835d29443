#include "host/frontends/FullScreenFrontEnd.h"

#include "base/Int16Clamp.h"
#include "far3/FarKeysW.h"
#include "host/app/HostError.h"
#include "host/text/HostText.h"
#include "host/dialogs/DialogPainter.h"
#include "host/dialogs/MessageLayout.h"
#include "host/views/EditorView.h"
#include "host/views/HelpView.h"
#include "host/views/Palette.h"

#include <algorithm>

namespace Host {

namespace {

bool IsEditType(Far3::FARDIALOGITEMTYPES type)
{
    return type == Far3::DI_EDIT || type == Far3::DI_FIXEDIT || type == Far3::DI_PSWEDIT ||
           type == Far3::DI_COMBOBOX;
}

// Paints the dialog over the screen. Hotkeys are marked by their colour
// alone, as Far marks them: no underline.
void LayDialog(ScreenBuffer& screen, const DialogView& dialog)
{
    if (!dialog.Visible)
        return;
    CellGrid grid = screen.BlankGrid();
    PaintDialog(dialog, grid);
    screen.Overlay(grid);
}

// The text cursor as Far shows it: in the focused edit line, or inside the
// brackets of the focused check box or radio button.
std::optional<CursorSpot> EditCursor(const DialogView& dialog)
{
    if (!dialog.Visible || dialog.Focus < 0 || static_cast<size_t>(dialog.Focus) >= dialog.Items.size())
        return std::nullopt;
    const DialogItemView& item = dialog.Items[static_cast<size_t>(dialog.Focus)];
    if (!item.Visible)
        return std::nullopt;
    if (item.Type == Far3::DI_CHECKBOX || item.Type == Far3::DI_RADIOBUTTON)
        return CursorSpot{item.Left + 1, item.Top};
    if (!IsEditType(item.Type))
        return std::nullopt;
    const size_t first = std::min(item.FirstShown, item.Cursor);
    return CursorSpot{item.Left + static_cast<int>(item.Cursor - first), item.Top};
}

} // namespace

ConsoleEvent FullScreenFrontEnd::Read()
{
    if (Closed)
        return ConsoleEvent{ConsoleEvent::Kind::Closed, {}, 0, 0, {}, {}};
    ConsoleEvent event = Term.Read();
    Track(event);
    return event;
}

std::optional<KeyPress> FullScreenFrontEnd::TypedKey()
{
    while (!Closed) {
        const std::optional<ConsoleEvent> event = Term.Poll();
        if (!event)
            return std::nullopt;
        Track(*event);
        if (event->What == ConsoleEvent::Kind::Key)
            return event->Key;
    }
    return std::nullopt;
}

void FullScreenFrontEnd::Track(const ConsoleEvent& event)
{
    if (event.What == ConsoleEvent::Kind::Closed)
        Closed = true;
    if (event.What == ConsoleEvent::Kind::Mouse) {
        // The terminal names only the button that changed: the buttons held
        // are counted here, whichever window the event goes to.
        const uint32_t button =
            event.Mouse.Which == MouseReport::Button::Left ? Far3::MouseButton::Left : Far3::MouseButton::Right;
        if (event.Mouse.What == MouseReport::Action::Release)
            MouseButtons &= ~button;
        else
            MouseButtons |= button;
    }
}

void FullScreenFrontEnd::Refresh(std::optional<CursorSpot> cursor, const Painter& top)
{
    const ScreenSize size = Term.Size();
    ScreenBuffer screen(size.Width, size.Height, Palette::Console());
    if (Background)
        Background(screen);
    for (const DialogView& box : LooseBoxes)
        LayDialog(screen, box);
    for (const DialogView& dialog : OpenDialogs)
        LayDialog(screen, dialog);
    if (top)
        top(screen);
    Term.Show(screen, cursor);
}

intptr_t FullScreenFrontEnd::ShowMessage(const MessageBox& box)
{
    if (box.Buttons.empty()) {
        // A box drawn over the one before it without saving what was behind
        // (a progress box being updated) takes that box's place.
        if ((box.Flags & Far3::FMSG_KEEPBACKGROUND) != 0 && !LooseBoxes.empty())
            LooseBoxes.pop_back();
        LooseBoxes.push_back(MessageBoxView(box, *this));
        Refresh();
        return -1;
    }
    return RunMessageBox(box, *this);
}

void FullScreenFrontEnd::OpenEditor(const EditorWindow& editor)
{
    // A non-modal editor opened to return at once shows when the plugin
    // has returned; any other editor is shown now, until it is closed.
    if ((editor.Flags & Far3::EF_NONMODAL) && (editor.Flags & Far3::EF_IMMEDIATERETURN)) {
        Waiting.push_back(editor);
        return;
    }
    RunEditor(editor);
}

void FullScreenFrontEnd::RedrawAll()
{
    LooseBoxes.clear();
    Refresh();
}

void FullScreenFrontEnd::CloseEditor(intptr_t id)
{
    std::erase_if(Waiting, [id](const EditorWindow& editor) { return editor.Id == id; });
}

std::vector<EditorWindow> FullScreenFrontEnd::TakeWaitingEditors()
{
    std::vector<EditorWindow> editors;
    editors.swap(Waiting);
    return editors;
}

void FullScreenFrontEnd::DialogOpened(const DialogView& dialog)
{
    OpenDialogs.push_back(dialog);
}

DialogInput FullScreenFrontEnd::ReadDialogInput(const DialogView& dialog)
{
    if (OpenDialogs.empty())
        OpenDialogs.push_back(dialog);
    OpenDialogs.back() = dialog;
    if (Closed) {
        // Esc was already given; a dialog that refuses to close cannot be
        // answered any more.
        throw HostError("The terminal has gone away");
    }
    Refresh(EditCursor(dialog));
    for (;;) {
        const ConsoleEvent event = Read();
        switch (event.What) {
        case ConsoleEvent::Kind::Key:
            return DialogInput::Press(event.Key);
        case ConsoleEvent::Kind::Resize:
            return DialogInput::Resized(Term.Size());
        case ConsoleEvent::Kind::Closed:
            return DialogInput::Press(ParseKeyScript("<Esc>").front());
        case ConsoleEvent::Kind::Mouse:
            return DialogInput::MouseEvent(MouseRecord(event.Mouse));
        case ConsoleEvent::Kind::Paste:
            return DialogInput::Pasted(event.Text);
        }
    }
}

Far3::MOUSE_EVENT_RECORD FullScreenFrontEnd::MouseRecord(const MouseReport& report) const
{
    Far3::MOUSE_EVENT_RECORD record{};
    record.dwMousePosition = {Base::ClampToInt16(report.X), Base::ClampToInt16(report.Y)};
    record.dwButtonState = MouseButtons;
    record.dwControlKeyState = report.ControlState;
    record.dwEventFlags = report.What == MouseReport::Action::Move ? Far3::MouseFlag::Moved : 0;
    return record;
}

void FullScreenFrontEnd::DialogChanged(const DialogView& dialog)
{
    if (!OpenDialogs.empty())
        OpenDialogs.back() = dialog;
}

void FullScreenFrontEnd::OfferClipboard(std::u16string_view text)
{
    Term.OfferClipboard(text);
}

ListInput FullScreenFrontEnd::ReadListInput(const DialogView& dialog)
{
    // The dialog paints the list under its edit line.
    if (OpenDialogs.empty())
        OpenDialogs.push_back(dialog);
    OpenDialogs.back() = dialog;
    const KeyPress escape = ParseKeyScript("<Esc>").front();
    for (;;) {
        Refresh();
        const ConsoleEvent event = Read();
        if (event.What == ConsoleEvent::Kind::Closed)
            return {escape, -1};
        if (event.What == ConsoleEvent::Kind::Key)
            return {event.Key, -1};
    }
}

void FullScreenFrontEnd::DialogClosed(const DialogView&, intptr_t)
{
    if (!OpenDialogs.empty())
        OpenDialogs.pop_back();
}

intptr_t FullScreenFrontEnd::RunMenu(MenuBox& menu)
{
    for (;;) {
        Refresh(std::nullopt, [&menu](ScreenBuffer& screen) { PaintMenu(screen, menu); });
        const ConsoleEvent event = Read();
        if (event.What == ConsoleEvent::Kind::Closed)
            return -1;
        if (event.What != ConsoleEvent::Kind::Key)
            continue;
        const ScreenSize size = Term.Size();
        const MenuRect rect = MenuLayout(menu, size.Width, size.Height);
        switch (MenuKey(menu, event.Key, rect.Rows)) {
        case MenuAnswer::Choose: return static_cast<intptr_t>(menu.Selected);
        case MenuAnswer::Cancel: return -1;
        case MenuAnswer::Stay: break;
        }
    }
}

bool FullScreenFrontEnd::RunEditor(const EditorWindow& editor)
{
    if (!ExternalEditor.empty())
        return RunExternalEditor(editor);
    std::optional<EditorText> text = EditorText::Load(editor.FileName, editor.CodePage);
    if (!text) {
        ShowMessage({Far3::FMSG_WARNING, "Editor", {"Cannot open the file", editor.FileName.string()}, {"OK"}});
        return false;
    }
    EditorView* shown = nullptr;
    EditorView view(editor, std::move(*text),
                    [this, &shown](const MessageBox& box) { return AskOver(*shown, box); });
    shown = &view;
    RunView(view, false);
    return view.Saved();
}

void FullScreenFrontEnd::RunView(EditorView& view, bool closedByF3)
{
    for (;;) {
        const ScreenSize size = Term.Size();
        ScreenBuffer screen(size.Width, size.Height, Palette::EditorText());
        view.Paint(screen);
        Term.Show(screen, CursorSpot{view.CursorX(), view.CursorY()});
        const ConsoleEvent event = Read();
        if (event.What == ConsoleEvent::Kind::Closed)
            return;
        if (event.What == ConsoleEvent::Kind::Paste)
            view.Paste(event.Text);
        if (event.What != ConsoleEvent::Kind::Key)
            continue;
        // F3 leaves a viewer as it leaves Far's.
        if (closedByF3 && event.Key.VirtualKey == Far3::VirtualKey::F3 && event.Key.ControlState == 0)
            return;
        if (!view.Key(event.Key))
            return;
    }
}

intptr_t FullScreenFrontEnd::AskOver(EditorView& view, const MessageBox& box)
{
    // The box is run as a dialog over the editor window, which takes the
    // panels' place as the background for that time.
    Painter panels = std::move(Background);
    Background = [&view](ScreenBuffer& screen) {
        ScreenBuffer window(screen.Width(), screen.Height(), Palette::EditorText());
        view.Paint(window);
        screen = window;
    };
    const intptr_t answer = RunMessageBox(box, *this);
    Background = std::move(panels);
    return answer;
}

bool FullScreenFrontEnd::RunExternalEditor(const EditorWindow& editor)
{
    // Saved means the bytes changed: a rewrite of the same size within the
    // file system's time resolution (or a save that writes the same bytes
    // through a new file) would fool size, time and inode; the whole file is
    // read, and these files are short.
    const std::optional<std::string> before = ReadWholeFile(editor.FileName);
    const int status = Term.RunProgram(ExternalEditor, editor.FileName);
    const std::optional<std::string> after = ReadWholeFile(editor.FileName);
    if (status < 0 || status == 127)
        ShowMessage({Far3::FMSG_WARNING, "Editor", {"Cannot run the editor", ExternalEditor}, {"OK"}});
    return after.has_value() && after != before;
}

void FullScreenFrontEnd::ShowViewer(const ViewerWindow& viewer)
{
    EditorWindow window;
    window.FileName = viewer.FileName;
    window.Title = viewer.Title;
    window.Flags = viewer.Flags;
    window.CodePage = viewer.CodePage;
    EditorView view(window, ReadTextLines(viewer.FileName, viewer.CodePage));
    RunView(view, true);
    Refresh();
}

void FullScreenFrontEnd::ShowHelp(const HelpFile& help, const HelpTopic& topic)
{
    HelpView view(help, topic);
    for (;;) {
        const ScreenSize size = Term.Size();
        ScreenBuffer screen(size.Width, size.Height, Palette::Console());
        view.Paint(screen);
        Term.Show(screen, std::nullopt);
        const ConsoleEvent event = Read();
        if (event.What == ConsoleEvent::Kind::Closed)
            return;
        if (event.What == ConsoleEvent::Kind::Key && !view.Key(event.Key))
            return;
    }
}

} // namespace Host
