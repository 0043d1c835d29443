// A panel the fake host serves, for unit tests and benchmarks: names with
// their flags, a directory, and switches to refuse parts of the protocol.
// Records every command unless told not to (a benchmark's counted memory).
#pragma once

#include "FakeHost.h"

#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace TestSupport {

struct FakePanel {
    std::vector<std::pair<std::u16string, uint64_t>> Items;
    std::u16string Directory = u"C:\\work";
    size_t SelectedItemsNumber = 3;
    size_t CurrentItem = 1;
    bool RefuseInfo = false;
    int FailingItem = -1;
    bool RefuseDirectory = false;
    bool RecordCalls = true;
    std::vector<std::pair<Far3::FILE_CONTROL_COMMANDS, intptr_t>> Calls;
    std::vector<std::pair<intptr_t, intptr_t>> Selections;
    // Fills in what an item shows beyond its name and flags (size 42 otherwise).
    std::function<void(const std::u16string& name, Far3::PluginPanelItem& item)> Details;

    intptr_t Control(Far3::FILE_CONTROL_COMMANDS command, intptr_t p1, void* p2)
    {
        if (RecordCalls)
            Calls.emplace_back(command, p1);
        switch (command) {
        case Far3::FCTL_GETPANELINFO: {
            if (RefuseInfo)
                return 0;
            auto* info = static_cast<Far3::PanelInfo*>(p2);
            info->ItemsNumber = Items.size();
            info->SelectedItemsNumber = SelectedItemsNumber;
            info->CurrentItem = CurrentItem;
            return 1;
        }
        case Far3::FCTL_GETPANELITEM: {
            if (p1 == FailingItem || p1 < 0 || static_cast<size_t>(p1) >= Items.size())
                return 0;
            const auto& [name, flags] = Items[static_cast<size_t>(p1)];
            const size_t needed = sizeof(Far3::PluginPanelItem) + (name.size() + 1) * 2;
            auto* request = static_cast<Far3::FarGetPluginPanelItem*>(p2);
            if (request == nullptr || request->Size < needed)
                return static_cast<intptr_t>(needed);
            auto* item = request->Item;
            auto* text = reinterpret_cast<char16_t*>(item + 1);
            std::memcpy(text, name.c_str(), (name.size() + 1) * 2);
            item->FileName = text;
            item->Flags = flags;
            item->FileSize = 42;
            item->FileAttributes = 0x20;
            if (Details)
                Details(name, *item);
            return static_cast<intptr_t>(needed);
        }
        case Far3::FCTL_GETPANELDIRECTORY: {
            if (RefuseDirectory)
                return 0;
            const size_t needed = sizeof(Far3::FarPanelDirectory) + (Directory.size() + 1) * 2;
            if (p2 == nullptr || static_cast<size_t>(p1) < needed)
                return static_cast<intptr_t>(needed);
            auto* record = static_cast<Far3::FarPanelDirectory*>(p2);
            auto* text = reinterpret_cast<char16_t*>(record + 1);
            std::memcpy(text, Directory.c_str(), (Directory.size() + 1) * 2);
            record->Name = text;
            return static_cast<intptr_t>(needed);
        }
        case Far3::FCTL_SETSELECTION:
            if (RecordCalls)
                Selections.emplace_back(p1, reinterpret_cast<intptr_t>(p2));
            return 1;
        default:
            return 1;
        }
    }

    void Attach(FakeHost& host)
    {
        host.PanelControl = [this](Far3::HANDLE, Far3::FILE_CONTROL_COMMANDS command, intptr_t p1, void* p2) {
            return Control(command, p1, p2);
        };
    }
};

} // namespace TestSupport
