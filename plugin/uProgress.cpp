#include "plugin/uProgress.h"

#include "base/Format.h"
#include "framework/FarPlugin.h"
#include "plugin/uPlugin.h"
#include "plugin/uStrings.h"

namespace Zelvane {

namespace {

constexpr auto UpdateInterval = std::chrono::milliseconds(100);

intptr_t AdvControl(Far3::ADVANCED_CONTROL_COMMANDS command, intptr_t param1, void* param2)
{
    const Far3::PluginStartupInfo* info = Tessel::TFarPlugin::StartupInfo();
    if (info == nullptr || info->AdvControl == nullptr)
        return 0;
    const Far3::GUID guid = Tessel::TFarPlugin::GetPlugin().GetPluginGuid();
    return info->AdvControl(&guid, command, param1, param2);
}

} // namespace

TProgress::TProgress(TMessage text, uint64_t total, Clock::duration delay)
    : Text(text), Total(total), ShowAfter(Clock::now() + delay), NextUpdate(ShowAfter)
{
}

TProgress::~TProgress()
{
    if (!Visible)
        return;
    // Nothing here may throw: the work may be ending by an exception.
    try {
        AdvControl(Far3::ACTL_SETPROGRESSSTATE, Far3::TBPS_NOPROGRESS, nullptr);
        AdvControl(Far3::ACTL_REDRAWALL, 0, nullptr);
    } catch (...) {
    }
}

std::u16string TProgress::GroupedNumber(uint64_t value)
{
    std::u16string digits;
    int inGroup = 0;
    do {
        if (inGroup == 3) {
            digits.insert(digits.begin(), u' ');
            inGroup = 0;
        }
        digits.insert(digits.begin(), static_cast<char16_t>(u'0' + value % 10));
        value /= 10;
        ++inGroup;
    } while (value != 0);
    return digits;
}

void TProgress::Update(uint64_t done)
{
    const Clock::time_point now = Clock::now();
    if (now < NextUpdate)
        return;
    NextUpdate = now + UpdateInterval;
    const std::vector<String> items{MessageText(TMessage::Title),
                                    Base::Format(MessageText(Text), {GroupedNumber(done), GroupedNumber(Total)})};
    // The first box saves what is behind it; later ones are drawn over it.
    TPlugin::ShowMessage(items, 1, Visible ? Far3::FMSG_KEEPBACKGROUND : Far3::FMSG_NONE, 0);
    if (!Visible)
        AdvControl(Far3::ACTL_SETPROGRESSSTATE, Far3::TBPS_NORMAL, nullptr);
    Far3::ProgressValue value{sizeof(Far3::ProgressValue), done, Total};
    AdvControl(Far3::ACTL_SETPROGRESSVALUE, 0, &value);
    Visible = true;
}

} // namespace Zelvane
