#include "host/frontends/LineFrontEnd.h"

#include "host/app/HostError.h"
#include "host/text/HostText.h"
#include "host/dialogs/DialogPainter.h"
#include "host/dialogs/MessageLayout.h"
#include "host/views/EditorView.h"

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>

namespace Host {

namespace {

int EnvironmentNumber(const char* name, int fallback)
{
    const char* value = std::getenv(name);
    if (!value)
        return fallback;
    int number = std::atoi(value);
    return number > 0 ? number : fallback;
}

} // namespace

intptr_t LineFrontEnd::ShowMessage(const MessageBox& box)
{
    // The box as Far draws it (separator lines included), then its buttons
    // by number.
    Out << "\n" << (box.Flags & Far3::FMSG_WARNING ? "(warning)\n" : "");
    for (const std::string& row : DialogText(MessageBoxView(box, *this)))
        Out << row << "\n";
    if (box.Buttons.empty())
        return -1;
    for (size_t i = 0; i < box.Buttons.size(); ++i)
        Out << (i == 0 ? "" : "  ") << "[" << i + 1 << "] " << Utf16ToUtf8(WithoutHotkeyMark(Utf8ToUtf16(box.Buttons[i])));
    Out << "\nButton number (Enter = 1, 0 = Esc): " << std::flush;
    std::string answer;
    if (!std::getline(In, answer))
        return -1;
    if (answer.empty())
        return 0;
    int number = std::atoi(answer.c_str());
    return number >= 1 && static_cast<size_t>(number) <= box.Buttons.size() ? number - 1 : -1;
}

void LineFrontEnd::OpenEditor(const EditorWindow& editor)
{
    Out << "\n=== Editor #" << editor.Id << ": " << (editor.Title.empty() ? editor.FileName.string() : editor.Title)
        << " (" << editor.FileName.string() << ") ===\n";
    ShowFile(editor.FileName);
    Out << "=== close it with: x " << editor.Id << " ===\n";
}

bool LineFrontEnd::RunEditor(const EditorWindow& editor)
{
    Out << "\n=== Editor #" << editor.Id << ": " << (editor.Title.empty() ? editor.FileName.string() : editor.Title)
        << " (" << editor.FileName.string() << ") ===\n";
    std::optional<EditorText> text = EditorText::Load(editor.FileName, editor.CodePage);
    if (!text) {
        Out << "Cannot open the file.\n";
        return false;
    }
    PrintText(*text);
    Out << "=== editor commands: t (the text that follows, up to a line \".\"), p print, w save, x close ===\n";
    bool saved = false;
    auto save = [&] {
        if (std::optional<std::string> failure = text->Save(editor.FileName)) {
            ShowMessage(SaveFailure(editor, *failure));
            return false;
        }
        saved = true;
        Out << "Saved.\n";
        return true;
    };
    std::string command;
    while (Out << "editor> " << std::flush, std::getline(In, command)) {
        if (command == "t") {
            // Every line typed ends with a line break; "." alone ends the
            // text, and ".." at a line's start stands for ".".
            std::string replacement;
            std::string line;
            while (std::getline(In, line) && line != ".")
                replacement += (line.starts_with("..") ? line.substr(1) : line) + "\n";
            text->Replace(Utf8ToUtf16(replacement));
        } else if (command == "p") {
            PrintText(*text);
        } else if (command == "w") {
            save();
        } else if (command == "x") {
            if (!text->Modified())
                return saved;
            switch (ShowMessage(SaveQuestion(editor))) {
            case 0:
                if (save())
                    return saved;
                break;
            case 1: return saved;
            default: break;
            }
        } else if (!command.empty()) {
            Out << "Unknown editor command; t, p, w or x.\n";
        }
    }
    // The script ended: the window closes without saving.
    return saved;
}

void LineFrontEnd::PrintText(const EditorText& text)
{
    // The empty line after a final line break is not printed.
    for (size_t i = 0; i < text.LineCount(); ++i)
        if (i + 1 < text.LineCount() || !text.Line(i).empty())
            Out << Utf16ToUtf8(text.Line(i)) << "\n";
}

void LineFrontEnd::ShowViewer(const ViewerWindow& viewer)
{
    Out << "\n=== Viewer: " << (viewer.Title.empty() ? viewer.FileName.string() : viewer.Title) << " ===\n";
    ShowFile(viewer.FileName);
    Out << "=== end of viewer ===\n";
}

void LineFrontEnd::CloseEditor(intptr_t id)
{
    Out << "Editor #" << id << " closed.\n";
}

std::optional<ScreenSize> LineFrontEnd::Screen()
{
    return ScreenSize{EnvironmentNumber("COLUMNS", 80), EnvironmentNumber("LINES", 25)};
}

void LineFrontEnd::DialogOpened(const DialogView&)
{
    PendingKeys.clear();
    TypedAhead.clear();
    Out << "\n(dialog: type text, or keys such as <Tab> <Shift+Tab> <Enter> <Esc> <Space> <BS> <Alt+X>"
           " <Ctrl+Down>; an empty line is <Enter>)\n";
}

DialogInput LineFrontEnd::ReadDialogInput(const DialogView& dialog)
{
    while (PendingKeys.empty()) {
        // A dialog larger than the screen shows only its part on the screen.
        const ScreenSize screen = *Screen();
        for (const std::string& row : DialogText(dialog, screen.Width, screen.Height))
            Out << row << "\n";
        if (dialog.Focus >= 0 && static_cast<size_t>(dialog.Focus) < dialog.Items.size())
            Out << "focus: item " << dialog.Focus << "\n";
        Out << "keys> " << std::flush;
        std::string line;
        if (!std::getline(In, line))
            return DialogInput::Press(ParseKeyScript("<Esc>").front());
        try {
            std::vector<KeyPress> keys = ParseKeyScript(line.empty() ? "<Enter>" : line);
            PendingKeys.assign(keys.begin(), keys.end());
        } catch (const HostError& error) {
            Out << error.what() << "\n";
        }
    }
    KeyPress key = PendingKeys.front();
    PendingKeys.pop_front();
    return DialogInput::Press(key);
}

ListInput LineFrontEnd::ReadListInput(const DialogView& dialog)
{
    const KeyPress escape = ParseKeyScript("<Esc>").front();
    // Keys left on the line that opened the list go to the list.
    while (PendingKeys.empty()) {
        // The list as rows: a date row before each day's entries, the
        // entries numbered, a tick on the locked ones, '>' at the cursor.
        const DialogView::HistoryListView& list = dialog.HistoryList;
        size_t number = 0;
        for (size_t row = 0; row < list.Rows.size(); ++row) {
            const DialogView::HistoryListView::Row& shown = list.Rows[row];
            if (shown.Separator) {
                Out << "  --- " << Utf16ToUtf8(shown.Text) << " ---\n";
                continue;
            }
            Out << (row == list.Selected ? "> " : "  ") << "[" << ++number << "] " << (shown.Locked ? "\xe2\x88\x9a " : "")
                << Utf16ToUtf8(shown.Text) << "\n";
        }
        Out << "Entry number (0 = none), or keys: " << std::flush;
        std::string line;
        if (!std::getline(In, line))
            return {escape, -1};
        if (!line.empty() && line.find_first_not_of("0123456789") == std::string::npos) {
            const int chosen = std::atoi(line.c_str());
            return {escape, chosen >= 1 ? chosen - 1 : -1};
        }
        try {
            std::vector<KeyPress> keys = ParseKeyScript(line.empty() ? "<Enter>" : line);
            PendingKeys.assign(keys.begin(), keys.end());
        } catch (const HostError& error) {
            Out << error.what() << "\n";
        }
    }
    const KeyPress key = PendingKeys.front();
    PendingKeys.pop_front();
    return {key, -1};
}

void LineFrontEnd::DialogClosed(const DialogView&, intptr_t exitCode)
{
    TypedAhead = std::move(PendingKeys);
    PendingKeys.clear();
    Out << "(dialog closed: " << exitCode << ")\n";
}

void LineFrontEnd::ShowHelp(const HelpFile& help, const HelpTopic& topic)
{
    Out << "\n=== Help - " << Utf16ToUtf8(help.ContentsTitle.empty() ? topic.Name : help.ContentsTitle) << " ===\n";
    for (const HelpLine& line : topic.Header)
        Out << Utf16ToUtf8(line.Text()) << "\n";
    if (!topic.Header.empty())
        Out << "---\n";
    for (const HelpLine& line : topic.Body)
        Out << Utf16ToUtf8(line.Text()) << "\n";
    Out << "=== end of help ===\n";
}

std::optional<KeyPress> LineFrontEnd::TypedKey()
{
    if (TypedAhead.empty())
        return std::nullopt;
    const KeyPress key = TypedAhead.front();
    TypedAhead.pop_front();
    return key;
}

void LineFrontEnd::ShowFile(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        Out << "(new file)\n";
        return;
    }
    std::string line;
    while (std::getline(in, line))
        Out << line << "\n";
}

} // namespace Host
