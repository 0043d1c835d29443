#include "plugin/uProgress.h"

#include "base/Format.h"
#include "framework/FarPlugin.h"
#include "plugin/uPlugin.h"
#include "plugin/uStrings.h"
#include "platform/Platform.h"

#include <array>

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

// Takes what waits in the console's input queue; true when an Esc key
// press was among it. Other records go, as Far's own operations drop them.
bool EscapeWaiting()
{
    const Platform::HANDLE console = Platform::GetStdHandle(Platform::StdInputHandle);
    std::array<Platform::INPUT_RECORD, 16> records{};
    bool escape = false;
    // A few rounds at most: a console that never empties (a mouse moving)
    // must not hold the work up.
    for (int round = 0; round < 4; ++round) {
        Platform::DWORD waiting = 0;
        if (!Platform::PeekConsoleInputW(console, records.data(), records.size(), &waiting) || waiting == 0)
            break;
        Platform::DWORD taken = 0;
        if (!Platform::ReadConsoleInputW(console, records.data(), waiting, &taken))
            break;
        for (Platform::DWORD i = 0; i < taken && i < records.size(); ++i) {
            const Platform::INPUT_RECORD& record = records[i];
            if (record.EventType == Platform::InputEventType::Key && record.Event.KeyEvent.bKeyDown &&
                record.Event.KeyEvent.wVirtualKeyCode == Platform::VirtualKeyEscape)
                escape = true;
        }
    }
    return escape;
}

// The question that Esc brings, for the work this progress tells of.
TMessage StopQuestion(TMessage progressText)
{
    switch (progressText) {
    case TMessage::ProgressPreviewing:
        return TMessage::StopPreviewing;
    case TMessage::ProgressUndoing:
        return TMessage::StopUndoing;
    default:
        return TMessage::StopRenaming;
    }
}

} // namespace

TProgress::TProgress(TMessage text, uint64_t total, Clock::duration delay)
    : Text(text), Total(total), ShowAfter(Clock::now() + delay), NextUpdate(ShowAfter)
{
}

TProgress::~TProgress()
{
    if (!Visible && !Asked)
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

bool TProgress::AskToStop()
{
    AdvControl(Far3::ACTL_SETPROGRESSSTATE, Far3::TBPS_PAUSED, nullptr);
    const std::vector<String> items{MessageText(TMessage::Title), MessageText(StopQuestion(Text)),
                                    MessageText(TMessage::Yes), MessageText(TMessage::No)};
    Asked = true;
    const bool stop = TPlugin::ShowMessage(items, 3, Far3::FMSG_WARNING, 2) == 0;
    if (!stop)
        AdvControl(Far3::ACTL_SETPROGRESSSTATE, Visible ? Far3::TBPS_NORMAL : Far3::TBPS_NOPROGRESS, nullptr);
    // A progress box already shown is drawn again at the next update.
    if (Visible)
        NextUpdate = Clock::now();
    return stop;
}

bool TProgress::Update(uint64_t done)
{
    if (EscapeWaiting() && AskToStop())
        return true;
    const Clock::time_point now = Clock::now();
    if (now < NextUpdate)
        return false;
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
    return false;
}

} // namespace Zelvane
