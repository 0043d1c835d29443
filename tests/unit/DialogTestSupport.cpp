#include "DialogTestSupport.h"

#include <algorithm>
#include <cstring>
#include <tuple>

namespace TestSupport {

using namespace Tessel;

FakeDialogHost::FakeDialogHost(FakeHost& host)
    : Host(host)
{
    host.DialogInit = [this](const DialogInitCall& call) {
        Items.clear();
        for (const auto& record : call.Items)
            Items.push_back({record, record.Data ? record.Data : u"", record.History ? record.History : u""});
        Proc = call.DlgProc;
        return Handle;
    };
    host.DialogRun = [this](Far3::HANDLE) { return OnRun ? OnRun() : -1; };
    host.SendDlgMessage = [this](Far3::HANDLE, intptr_t msg, intptr_t p1, void* p2) { return Answer(msg, p1, p2); };
}

std::vector<DialogMessage> FakeDialogHost::Sent(intptr_t msg) const
{
    std::vector<DialogMessage> found;
    std::copy_if(Host.SentDialogMessages.begin(), Host.SentDialogMessages.end(), std::back_inserter(found),
                 [msg](const DialogMessage& sent) { return sent.Msg == msg; });
    return found;
}

namespace {

// DM_ENABLE / DM_SHOWITEM: 1 or 0 clears or sets `off`, -1 only asks; answers the state before.
intptr_t SwitchFlag(Far3::FarDialogItem& record, Far3::FARDIALOGITEMFLAGS off, intptr_t request)
{
    const intptr_t was = (record.Flags & off) == 0;
    if (request == 0 || request == 1)
        record.Flags = request == 0 ? record.Flags | off : record.Flags & ~off;
    return was;
}

const char16_t* CopyText(char16_t*& to, const String& text)
{
    const char16_t* start = to;
    to = std::copy(text.begin(), text.end(), to);
    *to++ = 0;
    return start;
}

} // namespace

intptr_t FakeDialogHost::Answer(intptr_t msg, intptr_t p1, void* p2)
{
    if (Refused.count(msg) != 0)
        return 0;
    if (msg == Far3::DM_GETDLGRECT) {
        *static_cast<Far3::SMALL_RECT*>(p2) = {10, 5, 69, 16};
        return 1;
    }
    if (p1 < 0 || static_cast<size_t>(p1) >= Items.size())
        return 1;
    Item& item = Items[static_cast<size_t>(p1)];
    Far3::FarDialogItem& record = item.Record;
    const intptr_t value = reinterpret_cast<intptr_t>(p2);
    switch (msg) {
    case Far3::DM_GETDLGITEM: {
        const size_t needed = sizeof(Far3::FarDialogItem) + (item.Text.size() + item.History.size() + 2) * 2;
        auto* request = static_cast<Far3::FarGetDialogItem*>(p2);
        if (request != nullptr && request->Size >= needed) {
            auto* texts = reinterpret_cast<char16_t*>(request->Item + 1);
            *request->Item = record;
            request->Item->Data = CopyText(texts, item.Text);
            request->Item->History = CopyText(texts, item.History);
        }
        return static_cast<intptr_t>(needed);
    }
    case Far3::DM_SETDLGITEM: {
        const auto* given = static_cast<const Far3::FarDialogItem*>(p2);
        if (given->Type != record.Type)
            return 0;
        item = {*given, given->Data ? given->Data : u"", given->History ? given->History : u""};
        return 1;
    }
    case Far3::DM_GETTEXT: {
        auto* data = static_cast<Far3::FarDialogItemData*>(p2);
        if (data == nullptr)
            return static_cast<intptr_t>(item.Text.size());
        const String copied = item.Text.substr(0, data->PtrLength);
        std::memcpy(data->PtrData, copied.c_str(), (copied.size() + 1) * 2);
        return static_cast<intptr_t>(copied.size());
    }
    case Far3::DM_SETTEXT: {
        const auto* data = static_cast<const Far3::FarDialogItemData*>(p2);
        item.Text = data->PtrData ? String(data->PtrData, data->PtrLength) : String();
        return static_cast<intptr_t>(item.Text.size());
    }
    case Far3::DM_GETCHECK:
        return record.Selected;
    case Far3::DM_SETCHECK:
        return std::exchange(record.Selected, value);
    case Far3::DM_ENABLE:
        return SwitchFlag(record, Far3::DIF_DISABLE, value);
    case Far3::DM_SHOWITEM:
        return SwitchFlag(record, Far3::DIF_HIDDEN, value);
    case Far3::DM_GETITEMPOSITION: {
        auto cut = [](intptr_t v) { return static_cast<int16_t>(v); };
        *static_cast<Far3::SMALL_RECT*>(p2) = {cut(record.X1), cut(record.Y1), cut(record.X2), cut(record.Y2)};
        return 1;
    }
    case Far3::DM_SETITEMPOSITION: {
        const auto& rect = *static_cast<const Far3::SMALL_RECT*>(p2);
        std::tie(record.X1, record.Y1, record.X2, record.Y2) =
            std::make_tuple(rect.Left, rect.Top, rect.Right, rect.Bottom);
        return 1;
    }
    default:
        return 1;
    }
}

namespace {

struct TestRadioButton : TFarDialog::TRadioButton {
    TestRadioButton(TFarDialog& dialog, const String& caption) : TRadioButton(dialog, 0, 0, caption, false) {}
};

struct TestListbox : TFarDialog::TListbox {
    TestListbox(TFarDialog& dialog, int32_t height) : TListbox(dialog, 0, 0, 10, height) {}
};

} // namespace

TTestDialog::TTestDialog(int32_t width, int32_t height)
    : TFarDialog(TestDialogGuid)
{
    Width = width;
    Height = height;
}

void TTestDialog::SetSize(int32_t width, int32_t height)
{
    TFarDialog::SetSize(width, height);
    if (OnSetSize)
        OnSetSize();
}

TFarDialog::TRadioButton* TTestDialog::AddRadioButton(const String& caption)
{
    return new TestRadioButton(*this, caption);
}

TFarDialog::TListbox* TTestDialog::AddListbox(int32_t height)
{
    return new TestListbox(*this, height);
}

ActiveDialog::ActiveDialog()
{
    Host.DefDlgProc = [](Far3::HANDLE, intptr_t, intptr_t, void*) { return Defaulted; };
    Dialog->Build();
}

} // namespace TestSupport
