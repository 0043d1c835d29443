#include "host/ScriptedFrontEnd.h"

#include <fstream>
#include <iterator>

namespace Host {

void ScriptedFrontEnd::ClearRecord()
{
    ShownMessages.clear();
    ShownEditors.clear();
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

void ScriptedFrontEnd::CloseEditor(intptr_t id)
{
    for (ShownEditor& shown : ShownEditors)
        if (shown.Window.Id == id)
            shown.Closed = true;
}

} // namespace Host
