// The saved-pattern list as the settings store may hold it: any text loads
// without raising, and what the list writes back loads to the same list.
#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Fuzz::Plugin();
    Zelvane::TOptions options;
    auto& list = options.SavedPatterns();
    list.LoadFromString(Base::FromUtf8(Fuzz::Bytes(data, size)));
    Zelvane::TOptions again;
    auto& reloaded = again.SavedPatterns();
    reloaded.LoadFromString(list.SaveToString());
    Fuzz::Require(reloaded.Count() == list.Count());
    for (const auto& [templateText, entry] : list.Entries()) {
        const auto* same = reloaded.TryGet(templateText);
        Fuzz::Require(same != nullptr && same->GetAsString() == entry->GetAsString());
    }
    return 0;
}
