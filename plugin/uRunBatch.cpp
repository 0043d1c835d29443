#include "plugin/uRunBatch.h"

#include "plugin/uEditPlan.h"

#include <functional>

namespace Zelvane {

TOpenFolder::TOpenFolder(const String& directory)
    : Handle(directory.empty() ? Platform::InvalidHandleValue : Platform::OpenFolderW(directory.c_str()))
{
}

TOpenFolder::~TOpenFolder()
{
    if (Handle != Platform::InvalidHandleValue)
        Platform::CloseHandle(Handle);
}

namespace {

// Below this many files a run reads each stamp: a listing would cost more.
constexpr size_t FewestListed = 256;

} // namespace

TRunStamps::TRunStamps(const String& directory, std::vector<Base::StringView> names, size_t folderFiles)
{
    // Listing a folder costs about what a stat of every fourth of its files does.
    if (directory.empty() || names.size() < FewestListed || names.size() * 4 < folderFiles ||
        names.size() >= std::numeric_limits<uint32_t>::max() / 2)
        return;
    Names = std::move(names);
    size_t capacity = 16;
    while (capacity < Names.size() * 2)
        capacity *= 2;
    Slots.assign(capacity, 0);
    for (size_t i = 0; i < Names.size(); ++i) {
        const size_t slot = SlotOf(Names[i]);
        if (Slots[slot] == 0)
            Slots[slot] = static_cast<uint32_t>(i + 1);
    }
    Indexes.assign(Names.size(), 0);
    Listed.assign(Names.size(), false);
    const bool listed = Platform::ListFileIndexes(directory.c_str(), &Volume, [this](const char16_t* name,
                                                                                    uint64_t index) {
        const uint32_t at = Slots[SlotOf(name)];
        if (at != 0) {
            Indexes[at - 1] = index;
            Listed[at - 1] = true;
        }
    });
    Trust = listed ? TTrust::Unchecked : TTrust::Distrusted;
}

size_t TRunStamps::SlotOf(Base::StringView name) const
{
    const size_t mask = Slots.size() - 1;
    size_t slot = std::hash<Base::StringView>{}(name)&mask;
    while (Slots[slot] != 0 && Names[Slots[slot] - 1] != name)
        slot = (slot + 1) & mask;
    return slot;
}

std::optional<TFileStamp> TRunStamps::AfterRename(Platform::HANDLE folder, const String& fullNewName,
                                                  const String& newName, Base::StringView oldName, uint64_t size,
                                                  uint64_t lastWriteTime)
{
    if (Trust != TTrust::Distrusted) {
        const uint32_t at = Slots[SlotOf(oldName)];
        if (at != 0 && Listed[at - 1]) {
            const TFileStamp listed{{Volume, Indexes[at - 1]}, size, lastWriteTime};
            if (Trust == TTrust::Trusted)
                return listed;
            // The first: read, and compared with what the listing says.
            std::optional<TFileStamp> read = ReadFileStamp(folder, fullNewName, newName);
            if (read)
                Trust = read->Identity == listed.Identity ? TTrust::Trusted : TTrust::Distrusted;
            return read;
        }
    }
    return ReadFileStamp(folder, fullNewName, newName);
}

bool IsTaken(const String& from, const String& to)
{
    return Platform::GetFileAttributesW(to.c_str()) != Platform::InvalidFileAttributes &&
           FileSystemNameKey(from) != FileSystemNameKey(to);
}

} // namespace Zelvane
