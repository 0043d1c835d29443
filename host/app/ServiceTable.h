// The tables Far hands a plugin in SetStartupInfoW: PluginStartupInfo (the
// 3.0 layout, 33 fields) and FarStandardFunctions (47 fields). Every slot is
// a C-callable function; the served ones forward to the current host, all
// others refuse (0, or the refusal value the service defines) and never crash.
#pragma once

#include "host/app/HostServices.h"

namespace Host {

// The host the service table forwards to; null when none (services refuse).
void SetCurrentHost(HostServices* host);
HostServices* CurrentHost();

Far3::FarStandardFunctions MakeStandardFunctions();
// `standardFunctions` must outlive the call that hands the table over.
Far3::PluginStartupInfo MakeStartupInfo(const char16_t* moduleName, Far3::FarStandardFunctions* standardFunctions);

} // namespace Host
