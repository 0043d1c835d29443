// TFarPanel: a snapshot of one of the host's two file panels — its
// information record, its directory and, on request, every item with a local
// copy of its flags. The caller changes selection flags locally, item by
// item; ApplySelection then pushes the selection of every item to the host
// in one batch and redraws the panel.
#pragma once

#include "base/TextStore.h"
#include "framework/FarModule.h"

#include <deque>
#include <vector>

namespace Tessel {

class TFarPanel : public TFarCommonModule {
public:
    // One item as the host reported it: its names (the name, the short
    // name), description and owner, sizes, the four dates, attributes, link
    // count, CRC and flags. The snapshot keeps its items by value in one
    // block and their texts in its text store, so reading a panel of n items
    // makes no allocation per item (88 bytes an item, plus its name; the
    // short name, description and owner take room only for an item the host
    // gives any of them).
    class TItem {
    public:
        // An item with its index and nothing else (what a refused read leaves).
        explicit TItem(int32_t index) : Index(index) {}

        bool HasFlag(uint32_t flags) const { return (Flags & flags) != 0; }
        void SetFlag(uint32_t flags, bool on);

        // The texts, held by the snapshot: valid for its life. FileName is
        // the name without directory; the others are empty when the host
        // gives none.
        Base::StringView FileName() const { return NameData; }
        Base::StringView AlternateFileName() const { return Texts ? Texts->AlternateFileName : u""; }
        Base::StringView Description() const { return Texts ? Texts->Description : u""; }
        Base::StringView Owner() const { return Texts ? Texts->Owner : u""; }

        int32_t Index;
        uint32_t FileAttributes = 0;
        uint64_t Flags = 0;
        Far3::FILETIME CreationTime{};
        Far3::FILETIME LastAccessTime{};
        Far3::FILETIME LastWriteTime{};
        Far3::FILETIME ChangeTime{};
        uint64_t FileSize = 0;
        uint64_t AllocationSize = 0;
        // The low 32 bits of the host's values.
        uint32_t NumberOfLinks = 0;
        uint32_t CRC32 = 0;

    private:
        friend class TFarPanel;
        // The texts few items have, kept apart by the snapshot.
        struct TRareTexts {
            const char16_t* AlternateFileName = u"";
            const char16_t* Description = u"";
            const char16_t* Owner = u"";
        };
        // Nul-terminated, in the snapshot's text store.
        const char16_t* NameData = u"";
        // Null when the host gave none of them.
        const TRareTexts* Texts = nullptr;
    };

    // `active` picks the active panel (else the passive one); `loadItems`
    // reads every item as well.
    TFarPanel(bool active, bool loadItems);
    TFarPanel(const TFarPanel&) = delete;
    TFarPanel& operator=(const TFarPanel&) = delete;

    int32_t Count() const { return static_cast<int32_t>(Items.size()); }
    // Raises Base::EListError for an index outside 0..Count()-1.
    TItem& GetItem(int32_t index);
    const TItem& GetItem(int32_t index) const;

    // Begin, every item's selection, end and redraw, even when a step raised.
    void ApplySelection();

    // Has the host read the active (else the passive) panel's folder again,
    // keeping its selection, and redraw it: after files changed behind it.
    static void Reread(bool active);

    Far3::HANDLE Handle = nullptr;
    Far3::HANDLE PluginHandle = nullptr;
    Far3::GUID OwnerGuid{};
    Far3::PANELINFOFLAGS Flags = 0;
    Far3::RECT PanelRect{};
    intptr_t SelectedItemsNumber = 0;
    intptr_t CurrentItem = 0;
    intptr_t TopPanelItem = 0;
    intptr_t ViewMode = 0;
    int32_t SortMode = 0;
    int32_t PanelType = 0;
    String Directory;
    String Param;
    Far3::GUID PluginId{};
    String File;

private:
    void ReadPanel(Far3::HANDLE handle, bool loadItems);
    void ReadDirectory();

    TItem ReadItem(int32_t index, std::vector<uint64_t>& buffer);
    // A host text copied into the snapshot's store; "" for none.
    const char16_t* Keep(const char16_t* text);

    // Filled once, in ReadPanel, and never resized after: references to
    // items stay valid for the life of the snapshot.
    std::vector<TItem> Items;
    // The items' texts, each held once.
    Base::TextStore Names;
    // The short names, descriptions and owners of the items that have any;
    // a deque, so the items' pointers stay valid as it grows.
    std::deque<TItem::TRareTexts> RareTexts;
};

} // namespace Tessel
