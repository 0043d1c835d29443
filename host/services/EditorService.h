// Far's Editor() and the bit of EditorControl plugins use: editor windows
// over files, numbered 0, 1, 2, ... in opening order, closed by the user
// (CloseEditor) or at exit, deleting the file when it was opened with
// EF_DELETEONCLOSE / EF_DELETEONLYFILEONCLOSE, as Far does.
//
// A non-modal editor that returns at once (EF_NONMODAL | EF_IMMEDIATERETURN)
// is handed to the front end and the call answers EEC_MODIFIED ("opened").
// Any other editor is run by the front end while the call waits: it answers
// EEC_MODIFIED when the file was saved while the window was open,
// EEC_NOT_MODIFIED otherwise, EEC_OPEN_ERROR for no name, a folder or a
// file that cannot be read. A missing file opens as a new, empty text.
#pragma once

#include "host/frontends/FrontEnd.h"
#include "host/services/MessageService.h"

#include <filesystem>
#include <optional>
#include <vector>

namespace Host {

class EditorService {
public:
    EditorService(FrontEnd& screen, MessageService& messages) : Screen(screen), Messages(messages) {}

    // Editor(); relative names are taken from `currentDirectory`.
    intptr_t Open(const EditorWindow& request, const std::filesystem::path& currentDirectory);
    intptr_t Control(intptr_t id, Far3::EDITOR_CONTROL_COMMANDS command, intptr_t param1, void* param2);

    // The user closes the editor; false when no such editor is open.
    bool Close(intptr_t id);
    // Closes every editor, as Far does at exit.
    void CloseAll();

    const std::vector<EditorWindow>& OpenEditors() const { return Windows; }

private:
    const EditorWindow* Find(intptr_t id) const;
    void DeleteFiles(const EditorWindow& editor) const;
    intptr_t Info(const EditorWindow& editor, Far3::EditorInfo* info) const;

    FrontEnd& Screen;
    MessageService& Messages;
    std::vector<EditorWindow> Windows; // in opening order: the last is topmost
    intptr_t NextId = 0;
};

} // namespace Host
