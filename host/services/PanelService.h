// Far's PanelControl over the two file panels: the FCTL_* commands with
// Far's size-then-data protocol, and (unless switched off) a log of the
// commands received so a test can check their order. A test can make some
// commands fail.
#pragma once

#include "host/frontends/FrontEnd.h"
#include "host/files/Panel.h"

#include <optional>
#include <vector>

namespace Host {

struct PanelCall {
    Far3::FILE_CONTROL_COMMANDS Command;
    bool Passive = false;
    intptr_t Param1 = 0;
    intptr_t Param2 = 0; // the select flag of FCTL_SETSELECTION; 0 for the others
};

// Switches for tests that need a panel to fail.
struct PanelFailures {
    bool RefusePanelInfo = false;
    std::optional<size_t> FailItemSizeQuery; // this item index answers 0 to every GETPANELITEM
    bool RefuseDirectory = false;
};

class PanelService {
public:
    PanelService(Panel& active, Panel& passive, FrontEnd& screen) : Active(active), Passive(passive), Screen(screen) {}

    intptr_t Control(Far3::HANDLE panel, Far3::FILE_CONTROL_COMMANDS command, intptr_t param1, void* param2);

    const std::vector<PanelCall>& Log() const { return Calls; }
    void ClearLog() { Calls.clear(); }
    // Whether commands go into the log. The log is for tests; it grows by a
    // few entries per panel item a plugin reads and selects, so a host that
    // nobody inspects (a long session, a benchmark) turns it off.
    bool RecordCalls = true;
    int Redraws() const { return RedrawCount; }
    PanelFailures Failures;

private:
    intptr_t PanelInfo(Panel& panel, bool passive, Far3::PanelInfo* info);
    intptr_t PanelItem(const Panel& panel, size_t index, Far3::FarGetPluginPanelItem* request);
    intptr_t Directory(const Panel& panel, size_t bufferSize, Far3::FarPanelDirectory* directory);

    Panel& Active;
    Panel& Passive;
    FrontEnd& Screen;
    std::vector<PanelCall> Calls;
    int RedrawCount = 0;
};

} // namespace Host
