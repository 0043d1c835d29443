#include "host/services/AdvControlService.h"

#include "host/app/LoadedPlugin.h"

namespace Host {

intptr_t AdvControlService::Control(Far3::ADVANCED_CONTROL_COMMANDS command, intptr_t param1, void* param2)
{
    switch (command) {
    case Far3::ACTL_GETFARMANAGERVERSION:
        if (!param2)
            return 0;
        *static_cast<Far3::VersionInfo*>(param2) = HostFarVersion;
        return 1;
    case Far3::ACTL_GETFARRECT: {
        auto* rect = static_cast<Far3::SMALL_RECT*>(param2);
        std::optional<ScreenSize> size = Screen.Screen();
        if (!rect || !size)
            return 0;
        *rect = {0, 0, static_cast<int16_t>(size->Width - 1), static_cast<int16_t>(size->Height - 1)};
        return 1;
    }
    case Far3::ACTL_REDRAWALL:
        ++RedrawCount;
        Screen.RedrawAll();
        return 1;
    case Far3::ACTL_SETPROGRESSSTATE:
        switch (param1) {
        case Far3::TBPS_NOPROGRESS:
        case Far3::TBPS_INDETERMINATE:
        case Far3::TBPS_NORMAL:
        case Far3::TBPS_ERROR:
        case Far3::TBPS_PAUSED:
            Progress.State = static_cast<Far3::TASKBARPROGRESSTATE>(param1);
            States.push_back(Progress.State);
            return 1;
        default:
            return 0;
        }
    case Far3::ACTL_SETPROGRESSVALUE: {
        const auto* value = static_cast<const Far3::ProgressValue*>(param2);
        if (value == nullptr || value->StructSize < sizeof(Far3::ProgressValue))
            return 0;
        Progress.Completed = value->Completed;
        Progress.Total = value->Total;
        return 1;
    }
    case Far3::ACTL_PROGRESSNOTIFY:
        return 1;
    default: return 0;
    }
}

} // namespace Host
