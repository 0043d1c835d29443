#include "host/services/MessageService.h"

#include "host/text/HostText.h"

namespace Host {

namespace {

std::vector<std::string> SplitAllInOne(std::u16string_view text)
{
    std::vector<std::string> pieces;
    if (!text.empty() && text.back() == u'\n')
        text.remove_suffix(1);
    size_t start = 0;
    for (;;) {
        size_t end = text.find(u'\n', start);
        pieces.push_back(Utf16ToUtf8(text.substr(start, end == std::u16string_view::npos ? end : end - start)));
        if (end == std::u16string_view::npos)
            break;
        start = end + 1;
    }
    return pieces;
}

} // namespace

std::vector<std::string> StandardButtons(uint64_t flags)
{
    switch (flags & Far3::FMSG_MB_MASK) {
    case Far3::FMSG_MB_OK: return {"OK"};
    case Far3::FMSG_MB_OKCANCEL: return {"OK", "Cancel"};
    case Far3::FMSG_MB_ABORTRETRYIGNORE: return {"Abort", "Retry", "Ignore"};
    case Far3::FMSG_MB_YESNO: return {"Yes", "No"};
    case Far3::FMSG_MB_YESNOCANCEL: return {"Yes", "No", "Cancel"};
    case Far3::FMSG_MB_RETRYCANCEL: return {"Retry", "Cancel"};
    default: return {};
    }
}

intptr_t MessageService::Message(uint64_t flags, const char16_t* const* items, size_t itemsNumber,
                                 intptr_t buttonsNumber)
{
    if (!items)
        return -1;
    std::vector<std::string> pieces;
    if (flags & Far3::FMSG_ALLINONE) {
        // The items pointer is really one text with '\n' between the pieces.
        pieces = SplitAllInOne(PluginText(reinterpret_cast<const char16_t*>(items)));
    } else {
        for (size_t i = 0; i < itemsNumber; ++i)
            pieces.push_back(Utf16ToUtf8(PluginText(items[i])));
    }
    if (pieces.size() < 2 && !(flags & (Far3::FMSG_ALLINONE | Far3::FMSG_ERRORTYPE)))
        return -1;

    MessageBox box;
    box.Flags = flags;
    if (!pieces.empty())
        box.Title = pieces.front();
    std::vector<std::string> rest(pieces.begin() + (pieces.empty() ? 0 : 1), pieces.end());
    box.Buttons = StandardButtons(flags);
    if (box.Buttons.empty() && !(flags & Far3::FMSG_MB_MASK)) {
        size_t buttons = buttonsNumber > 0 ? static_cast<size_t>(buttonsNumber) : 0;
        if (buttons > rest.size())
            buttons = rest.size();
        box.Buttons.assign(rest.end() - static_cast<ptrdiff_t>(buttons), rest.end());
        rest.resize(rest.size() - buttons);
    }
    box.Lines = std::move(rest);
    return Show(box);
}

intptr_t MessageService::Show(const MessageBox& shown)
{
    MessageBox box = shown;
    if (!box.Copies)
        box.Copies = Copies;
    intptr_t answer = Screen.ShowMessage(box);
    if (box.Buttons.empty() || answer < 0 || static_cast<size_t>(answer) >= box.Buttons.size())
        return -1;
    return answer;
}

} // namespace Host
