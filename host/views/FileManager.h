// zelvane-host's full-screen application: Far's panels over real folders
// and its keys, with the plugin reached through its menus.
//
//   Up/Down, PgUp/PgDn, Home/End   move the cursor
//   Insert, Shift+Up/Down           select or deselect the item and move on
//   Gray + / - / *  (or + - *)      select all files, none, invert
//   Enter                           go into the folder (or up with "..")
//   F4                              edit the file under the cursor
//   Ctrl+R                          re-read the folder
//   F11                             the plugins menu ("Plugin commands")
//   Alt+Shift+F9                    the plugins' configuration menu
//   F10                             quit
//
// After a plugin returns, the panels re-read their folders (as Far does
// after a file operation), keeping the selection and the cursor by name,
// and the editors the plugin opened are shown one after another.
#pragma once

#include "host/app/StandInHost.h"
#include "host/frontends/FullScreenFrontEnd.h"

namespace Host {

class FileManager {
public:
    // Neither is owned; `screen` must be the front end `host` talks to.
    FileManager(StandInHost& host, FullScreenFrontEnd& screen);
    FileManager(const FileManager&) = delete;
    FileManager& operator=(const FileManager&) = delete;
    ~FileManager();

    // Runs until F10, or until the terminal goes away.
    void Run();
    // Handles one key as the panels do; false when it ends the program.
    bool HandleKey(const KeyPress& key);
    void Paint(ScreenBuffer& screen);

private:
    size_t ItemRows() const;
    void MoveCursor(long long delta);
    void ToggleAndMove(long long delta);
    void SelectFiles(int how);
    void EnterItem();
    void EditItem();
    void PluginsMenu();
    void ConfigurationMenu();
    void AfterPlugin();
    void ShowError(const std::string& title, const std::string& text);

    StandInHost& Host;
    FullScreenFrontEnd& Screen;
    size_t ActiveTop = 0;
};

} // namespace Host
