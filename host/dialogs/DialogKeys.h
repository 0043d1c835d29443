// What a key does in a running dialog, in Far's order: DN_INPUT (when
// asked for), the keyboard move, DN_CONTROLINPUT to the procedure, then the
// host's own action: the open completion list, hotkeys (DN_HOTKEY), Enter,
// Esc and F10, Tab and the arrows (the focus), F1 (DN_HELP), Space and the
// numpad on check boxes, and editing in an edit (DN_EDITCHANGE). A paste
// arrives as the Shift+Ins that makes it in Far. Part of HostDialog (one
// thread); it keeps whether the procedure asked for DN_INPUT.
#pragma once

#include "far3/Plugin3.h"
#include "host/text/KeyScript.h"

#include <cstddef>
#include <string>

namespace Host {

class HostDialog;

class DialogKeys {
public:
    explicit DialogKeys(HostDialog& dialog) : Dialog(dialog) {}

    // `notify`: a key the user pressed; false for one DM_KEY hands in,
    // which skips DN_CONTROLINPUT but not DN_INPUT.
    void Key(const KeyPress& key, bool notify);
    void Paste(const std::u16string& text);
    // A button pressed by a hotkey or the mouse: the whole Enter path, so a
    // procedure that takes Enter away takes these presses away too; a check
    // box clicked by the mouse goes the Space path the same way.
    void PressThroughEnter(size_t button);
    void ToggleThroughSpace(size_t check);
    // DN_INPUT alone, when asked for: true when the procedure swallowed the
    // event or closed the dialog.
    bool InputNotifyTook(const Far3::INPUT_RECORD& record);
    // DM_SETINPUTNOTIFY: 0 or 1 sets it; returns the previous setting.
    intptr_t SetInputNotify(intptr_t value);

private:
    void EditKey(size_t index, const KeyPress& key);
    // DN_INPUT (when asked for) and DN_CONTROLINPUT for a key aimed at item
    // `index`; true when the procedure took the key or closed the dialog.
    bool ProcedureTookKey(size_t index, const Far3::INPUT_RECORD& record);
    bool ControlInputTook(size_t index, const Far3::INPUT_RECORD& record);
    // While DM_SHOWDIALOG hides the dialog, or the focused item is hidden,
    // keys reach the procedure but the dialog does nothing with them.
    bool IgnoresKeys() const;
    // `key` is the hotkey character in upper case; true when an item has it.
    bool Hotkey(char16_t key, const Far3::INPUT_RECORD& record);

    HostDialog& Dialog;
    bool InputNotify = false;
};

} // namespace Host
