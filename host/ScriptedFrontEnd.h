// The user, played by a test: answers message boxes from a queue and keeps a
// record of everything shown, so a test can check what the user saw.
#pragma once

#include "host/FrontEnd.h"

#include <deque>
#include <initializer_list>
#include <string>
#include <vector>

namespace Host {

class ScriptedFrontEnd : public FrontEnd {
public:
    // An editor as shown, with the file's bytes read when it opened (the host
    // may delete the file when the editor closes).
    struct ShownEditor {
        EditorWindow Window;
        std::string Content;
        bool FileExisted = false;
        bool Closed = false;
    };

    // Answers for the coming message boxes, in order. When the queue is
    // empty a box is answered with DefaultAnswer.
    void QueueAnswer(intptr_t button) { Answers.push_back(button); }
    void QueueAnswers(std::initializer_list<intptr_t> buttons) { Answers.insert(Answers.end(), buttons); }
    size_t PendingAnswers() const { return Answers.size(); }
    intptr_t DefaultAnswer = 0;

    void SetScreen(std::optional<ScreenSize> size) { Size = size; }

    const std::vector<MessageBox>& Messages() const { return ShownMessages; }
    const std::vector<ShownEditor>& Editors() const { return ShownEditors; }
    void ClearRecord();

    intptr_t ShowMessage(const MessageBox& box) override;
    void OpenEditor(const EditorWindow& editor) override;
    void CloseEditor(intptr_t id) override;
    std::optional<ScreenSize> Screen() override { return Size; }

private:
    std::deque<intptr_t> Answers;
    std::vector<MessageBox> ShownMessages;
    std::vector<ShownEditor> ShownEditors;
    std::optional<ScreenSize> Size = ScreenSize{};
};

} // namespace Host
