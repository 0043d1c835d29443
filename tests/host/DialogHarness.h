// The dialog manager's tests drive it as a person drives Far: keys in
// key-script notation go in, the dialog procedure sees Far's events, and
// the dialog as shown is read back. Harness is a dialog procedure a test
// can script; one Harness at a time (the procedure finds it through a
// static pointer).
#pragma once

#include "far3/FarKeysW.h"
#include "host/services/DialogService.h"
#include "host/text/HostText.h"
#include "host/text/KeyScript.h"
#include "tests/support/ScriptedFrontEnd.h"

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace HostDialogTesting {

using namespace Host;

constexpr Far3::GUID PluginGuid{0x1, 0x2, 0x3, {4, 5, 6, 7, 8, 9, 10, 11}};
constexpr Far3::GUID DialogGuid{0xD1A1, 0x2, 0x3, {4, 5, 6, 7, 8, 9, 10, 12}};

inline Far3::FarDialogItem Item(Far3::FARDIALOGITEMTYPES type, intptr_t x1, intptr_t y1, intptr_t x2, intptr_t y2,
                         const char16_t* text = nullptr, uint64_t flags = 0, const char16_t* history = nullptr)
{
    Far3::FarDialogItem item{};
    item.Type = type;
    item.X1 = x1;
    item.Y1 = y1;
    item.X2 = x2;
    item.Y2 = y2;
    item.Data = text;
    item.Flags = flags | (history ? Far3::DIF_HISTORY : 0);
    item.History = history;
    return item;
}

// Frame, label, edit with a history, check box, OK (default) and Cancel:
// a 40 x 8 dialog like the ones plugins build.
enum : intptr_t { Frame, Label, Edit, Check, Ok, Cancel };
inline std::vector<Far3::FarDialogItem> StandardItems()
{
    return {
        Item(Far3::DI_DOUBLEBOX, 3, 1, 36, 6, u"Title"),
        Item(Far3::DI_TEXT, 5, 2, 34, 2, u"&Name:"),
        Item(Far3::DI_EDIT, 5, 3, 33, 3, u"abc", 0, u"TestHistory"),
        Item(Far3::DI_CHECKBOX, 5, 4, 0, 4, u"C&heck"),
        Item(Far3::DI_BUTTON, 0, 5, 0, 5, u"&OK", Far3::DIF_CENTERGROUP | Far3::DIF_DEFAULTBUTTON),
        Item(Far3::DI_BUTTON, 0, 5, 0, 5, u"&Cancel", Far3::DIF_CENTERGROUP),
    };
}

struct Event {
    intptr_t Msg;
    intptr_t Param1;
    intptr_t Param2;
    std::u16string Text; // DN_EDITCHANGE: the new text; DN_BTNCLICK: DM_GETCHECK at that moment
};

// A dialog procedure a test can script: it records the events (drawing
// aside), answers through `Answer` when that returns a value and leaves
// the rest to DefDlgProc.
class Harness {
public:
    Harness()
    {
        Current = this;
        Service.SetPlugin(PluginGuid);
    }
    ~Harness() { Current = nullptr; }

    Far3::HANDLE Init(std::vector<Far3::FarDialogItem> items, intptr_t x1 = -1, intptr_t y1 = -1,
                      intptr_t x2 = 40, intptr_t y2 = 8, Far3::FARDIALOGFLAGS flags = 0)
    {
        Handle = Service.Init(&PluginGuid, &DialogGuid, x1, y1, x2, y2, nullptr, items.data(), items.size(), flags,
                              Proc, this);
        return Handle;
    }
    intptr_t Run(std::string_view keys = "")
    {
        User.QueueKeys(keys);
        return Service.Run(Handle);
    }
    intptr_t Send(intptr_t msg, intptr_t param1, void* param2 = nullptr)
    {
        return Service.Send(Handle, msg, param1, param2);
    }
    std::u16string Text(intptr_t item)
    {
        const intptr_t length = Send(Far3::DM_GETTEXT, item);
        std::u16string text(static_cast<size_t>(length) + 1, u'\0');
        Far3::FarDialogItemData data{sizeof data, static_cast<size_t>(length), text.data()};
        Send(Far3::DM_GETTEXT, item, &data);
        text.resize(static_cast<size_t>(length));
        return text;
    }
    std::vector<Event> Of(intptr_t msg) const
    {
        std::vector<Event> found;
        for (const Event& event : Events)
            if (event.Msg == msg)
                found.push_back(event);
        return found;
    }
    const DialogView& Closed() const { return User.Dialogs().back().Closed; }

    ScriptedFrontEnd User;
    MemoryHistoryStore History;
    DialogService Service{User, History};
    Far3::HANDLE Handle = Far3::InvalidHandleValue;
    std::vector<Event> Events;
    std::function<std::optional<intptr_t>(intptr_t msg, intptr_t param1, void* param2)> Answer;

private:
    static bool IsDrawing(intptr_t msg)
    {
        return msg == Far3::DN_DRAWDIALOG || msg == Far3::DN_DRAWDLGITEM || msg == Far3::DN_DRAWDLGITEMDONE ||
               msg == Far3::DN_DRAWDIALOGDONE || msg == Far3::DN_CTLCOLORDIALOG || msg == Far3::DN_CTLCOLORDLGITEM;
    }

    static intptr_t Proc(Far3::HANDLE dialog, intptr_t msg, intptr_t param1, void* param2)
    {
        Harness& self = *Current;
        if (!IsDrawing(msg)) {
            Event event{msg, param1, reinterpret_cast<intptr_t>(param2), {}};
            if (msg == Far3::DN_EDITCHANGE)
                event.Text = PluginText(static_cast<Far3::FarDialogItem*>(param2)->Data);
            if (msg == Far3::DN_BTNCLICK)
                event.Text = std::u16string(1, static_cast<char16_t>(u'0' + self.Send(Far3::DM_GETCHECK, param1)));
            self.Events.push_back(event);
        }
        if (self.Answer)
            if (std::optional<intptr_t> answer = self.Answer(msg, param1, param2))
                return *answer;
        return self.Service.DefProc(dialog, msg, param1, param2);
    }

    static inline Harness* Current = nullptr;
};

inline void SendSetText(Harness& dialog, intptr_t item, const char16_t* text)
{
    Far3::FarDialogItemData data{sizeof data, std::char_traits<char16_t>::length(text), const_cast<char16_t*>(text)};
    dialog.Send(Far3::DM_SETTEXT, item, &data);
}

} // namespace HostDialogTesting
