// The host's clipboard: the text the dialogs' edit lines copy and cut to
// and paste from. The host keeps its own (there is no system clipboard to
// share on every platform it runs on); whoever shows the host may offer
// each new text on to the terminal's clipboard (Offer). One thread.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace Host {

class Clipboard {
public:
    const std::u16string& Text() const { return Held; }
    void Set(std::u16string_view text)
    {
        Held = text;
        if (Offer)
            Offer(Held);
    }

    // Called with every new text; unset: the text stays in the host.
    std::function<void(std::u16string_view)> Offer;

private:
    std::u16string Held;
};

} // namespace Host
