// The bodies of the six exports, each inside the entry guard: START and END
// log lines around it, every exception caught and reported, the host's value
// for "nothing done" returned after a failure. A record the host hands over
// that is missing or shorter than ours is not read: the call does nothing
// (SetStartupInfoW reports it, as the plugin cannot work without services).
#pragma once

#include "far3/Plugin3.h"

namespace Tessel::Entry {

void SetStartupInfoW(const Far3::PluginStartupInfo* info);
void GetGlobalInfoW(Far3::GlobalInfo* info);
void GetPluginInfoW(Far3::PluginInfo* info);
Far3::HANDLE OpenW(const Far3::OpenInfo* info);
intptr_t ConfigureW(const Far3::ConfigureInfo* info);
void ExitFARW(const Far3::ExitInfo* info);

} // namespace Tessel::Entry
