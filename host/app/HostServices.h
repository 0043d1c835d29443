// The services a host gives a plugin, in Far's terms. The C-callable service
// table (ServiceTable) forwards every call to the one current host: Far runs
// one plugin host per process, and so does this library.
#pragma once

#include "far3/Plugin3.h"

namespace Host {

class HostServices {
public:
    virtual ~HostServices() = default;

    virtual intptr_t Message(const Far3::GUID* pluginId, Far3::FARMESSAGEFLAGS flags, const char16_t* const* items,
                             size_t itemsNumber, intptr_t buttonsNumber) = 0;
    virtual const char16_t* GetMsg(const Far3::GUID* pluginId, intptr_t msgId) = 0;
    virtual intptr_t PanelControl(Far3::HANDLE panel, Far3::FILE_CONTROL_COMMANDS command, intptr_t param1,
                                  void* param2) = 0;
    virtual intptr_t Editor(const char16_t* fileName, const char16_t* title, intptr_t x1, intptr_t y1, intptr_t x2,
                            intptr_t y2, Far3::EDITOR_FLAGS flags, intptr_t startLine, intptr_t startChar,
                            uintptr_t codePage) = 0;
    virtual intptr_t Viewer(const char16_t* fileName, const char16_t* title, intptr_t x1, intptr_t y1, intptr_t x2,
                            intptr_t y2, Far3::VIEWER_FLAGS flags, uintptr_t codePage) = 0;
    virtual intptr_t EditorControl(intptr_t editorId, Far3::EDITOR_CONTROL_COMMANDS command, intptr_t param1,
                                   void* param2) = 0;
    virtual intptr_t AdvControl(const Far3::GUID* pluginId, Far3::ADVANCED_CONTROL_COMMANDS command,
                                intptr_t param1, void* param2) = 0;
    virtual intptr_t SettingsControl(Far3::HANDLE handle, Far3::FAR_SETTINGS_CONTROL_COMMANDS command,
                                     intptr_t param1, void* param2) = 0;
    virtual size_t ConvertPath(Far3::CONVERTPATHMODES mode, const char16_t* source, char16_t* dest,
                               size_t destSize) = 0;
    virtual Far3::HANDLE DialogInit(const Far3::GUID* pluginId, const Far3::GUID* id, intptr_t x1, intptr_t y1,
                                    intptr_t x2, intptr_t y2, const char16_t* helpTopic,
                                    const Far3::FarDialogItem* items, size_t itemsNumber,
                                    Far3::FARDIALOGFLAGS flags, Far3::FARWINDOWPROC proc, void* param) = 0;
    virtual intptr_t DialogRun(Far3::HANDLE dialog) = 0;
    virtual void DialogFree(Far3::HANDLE dialog) = 0;
    virtual intptr_t SendDlgMessage(Far3::HANDLE dialog, intptr_t msg, intptr_t param1, void* param2) = 0;
    virtual intptr_t DefDlgProc(Far3::HANDLE dialog, intptr_t msg, intptr_t param1, void* param2) = 0;
};

} // namespace Host
