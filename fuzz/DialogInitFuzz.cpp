// A plugin's DialogInit fed rectangles, flags and texts: whatever the item
// array holds, the dialog manager refuses it or builds the dialog, runs it
// with keys from the input, draws it and frees it, without a fault.
//
// Input: the dialog rectangle (four 32-bit numbers, the first two may be
// -1), dialog flags, the item count; per item its type, rectangle, flags,
// state and maximum length; then the item texts and the keys, separated
// by 0 bytes. A key byte with its top bit set is a mouse event instead:
// bits 5-6 the kind (left press, right press, move with the left button
// held, release), bits 0-4 the row, and the next byte the column.
#include "FuzzSupport.h"

#include "far3/FarKeysW.h"
#include "host/app/HostError.h"
#include "host/text/HostText.h"
#include "host/text/KeyScript.h"
#include "tests/support/ScriptedFrontEnd.h"
#include "host/dialogs/HistoryStore.h"
#include "host/dialogs/DialogPainter.h"
#include "host/services/DialogService.h"

#include <cstring>
#include <vector>

namespace {

constexpr Far3::GUID PluginGuid{0xF0220001, 0x1, 0x2, {3, 4, 5, 6, 7, 8, 9, 10}};

// Fixed-size numbers read off the front of the input; zero once it is used up.
class Reader {
public:
    explicit Reader(std::string_view bytes) : Rest(bytes) {}

    template <typename T>
    T Take()
    {
        T value{};
        const size_t count = std::min(sizeof value, Rest.size());
        std::memcpy(&value, Rest.data(), count);
        Rest.remove_prefix(count);
        return value;
    }
    std::string_view& Remaining() { return Rest; }

private:
    std::string_view Rest;
};

// A coordinate: mostly small, sometimes -1 or one of the extremes.
intptr_t Coordinate(int32_t raw)
{
    switch (raw & 0xF) {
    case 0xF: return -1;
    case 0xE: return static_cast<intptr_t>(raw) << 16;
    case 0xD: return raw;
    default: return (raw >> 4) % 100;
    }
}

// The item types, the user control aside (it needs a buffer of cells).
constexpr Far3::FARDIALOGITEMTYPES Types[] = {
    Far3::DI_TEXT,     Far3::DI_VTEXT,    Far3::DI_SINGLEBOX,   Far3::DI_DOUBLEBOX,
    Far3::DI_EDIT,     Far3::DI_PSWEDIT,  Far3::DI_FIXEDIT,     Far3::DI_BUTTON,
    Far3::DI_CHECKBOX, Far3::DI_RADIOBUTTON, Far3::DI_COMBOBOX, Far3::DI_LISTBOX,
};

constexpr const char* Keys[] = {
    "<Tab>", "<Shift+Tab>", "<Enter>", "<Ctrl+Enter>", "<Esc>", "<Space>", "<Left>", "<Right>",
    "<Up>", "<Down>", "<Home>", "<End>", "<BS>", "<Del>", "<Ctrl+Y>", "<Ctrl+Down>",
    "<PgDn>", "<Alt+O>", "<Alt+C>", "<Num+>", "<Num->", "<Num*>", "x", "7",
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Reader input(Fuzz::Bytes(data, size));
    const intptr_t x1 = Coordinate(input.Take<int32_t>());
    const intptr_t y1 = Coordinate(input.Take<int32_t>());
    const intptr_t x2 = Coordinate(input.Take<int32_t>());
    const intptr_t y2 = Coordinate(input.Take<int32_t>());
    const Far3::FARDIALOGFLAGS dialogFlags = input.Take<uint8_t>();
    const size_t count = input.Take<uint8_t>() % 24;

    std::vector<Far3::FarDialogItem> items(count);
    for (Far3::FarDialogItem& item : items) {
        item.Type = Types[input.Take<uint8_t>() % std::size(Types)];
        item.X1 = Coordinate(input.Take<int32_t>());
        item.Y1 = Coordinate(input.Take<int32_t>());
        item.X2 = Coordinate(input.Take<int32_t>());
        item.Y2 = Coordinate(input.Take<int32_t>());
        item.Flags = input.Take<uint64_t>();
        const bool list = item.Type == Far3::DI_COMBOBOX || item.Type == Far3::DI_LISTBOX;
        item.Selected = list ? 0 : input.Take<int8_t>();
        item.MaxLength = input.Take<uint8_t>() % 40;
    }
    std::string_view& rest = input.Remaining();
    std::vector<std::u16string> texts;
    for (size_t i = 0; i < count; ++i)
        texts.push_back(Host::Utf8ToUtf16(Fuzz::TakePiece(rest)));
    for (size_t i = 0; i < count; ++i) {
        items[i].Data = texts[i].c_str();
        items[i].History = (items[i].Flags & Far3::DIF_HISTORY) ? u"FuzzHistory" : nullptr;
    }
    const std::string_view steps = rest.substr(0, 64);

    Host::ScriptedFrontEnd user;
    Host::MemoryHistoryStore history;
    Host::DialogService dialogs(user, history);
    dialogs.SetPlugin(PluginGuid);
    const Far3::HANDLE handle = dialogs.Init(&PluginGuid, nullptr, x1, y1, x2, y2, nullptr, items.data(),
                                             items.size(), dialogFlags, nullptr, nullptr);
    if (handle == Far3::InvalidHandleValue)
        return 0;
    for (size_t i = 0; i < steps.size(); ++i) {
        const auto c = static_cast<unsigned char>(steps[i]);
        if (c < 0x80) {
            user.QueueKeys(Keys[c % std::size(Keys)]);
            continue;
        }
        const int column = i + 1 < steps.size() ? static_cast<unsigned char>(steps[++i]) % 84 - 2 : 0;
        const Far3::COORD at{static_cast<int16_t>(column), static_cast<int16_t>((c & 0x1F) - 2)};
        constexpr uint32_t Left = Far3::MouseButton::Left;
        switch ((c >> 5) & 3) {
        case 0: user.QueueMouse({at, Left, 0, 0}); break;
        case 1: user.QueueMouse({at, Far3::MouseButton::Right, 0, 0}); break;
        case 2: user.QueueMouse({at, Left, 0, Far3::MouseFlag::Moved}); break;
        default: user.QueueMouse({at, 0, 0, 0}); break;
        }
    }
    try {
        dialogs.Run(handle);
    } catch (const Host::HostError&) {
        // The keys ran out while the dialog would not close: a dialog whose
        // focused item is hidden takes no keys, as in Far.
    }
    // Drawn as the line mode prints it (the part on the screen), and whole
    // when that fits the memory the fuzzer allows (a console-sized dialog
    // has a billion cells).
    if (!user.Dialogs().empty()) {
        const Host::DialogView& shown = user.Dialogs().back().Closed;
        Host::DialogText(shown, 80, 25);
        if (static_cast<int64_t>(shown.Width) * shown.Height <= 1 << 20)
            Host::DialogText(shown);
    }
    dialogs.Free(handle);
    return 0;
}
