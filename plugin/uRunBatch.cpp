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
    Indexes.assign(Names.size(), 0);
    Listed.assign(Names.size(), false);
    const bool listed = Platform::ListFileIndexes(directory.c_str(), &Volume, [this](const char16_t* name,
                                                                                    uint64_t index) {
        const size_t position = PositionOf(name);
        if (position < Names.size()) {
            Indexes[position] = index;
            Listed[position] = true;
        }
    });
    Trust = listed ? TTrust::Unchecked : TTrust::Distrusted;
    // The names and their table serve the listing only.
    Slots = {};
    Names = {};
}

size_t TRunStamps::PositionOf(Base::StringView name)
{
    const size_t count = Names.size();
    const size_t after = AnyFound ? LastFound + 1 : 0;
    const size_t before = AnyFound ? LastFound - 1 : count - 1;
    for (const size_t guess : {after, before}) {
        if (guess < count && Names[guess] == name) {
            LastFound = guess;
            AnyFound = true;
            return guess;
        }
    }
    // The table is made at the first name found elsewhere.
    if (Slots.empty()) {
        size_t capacity = 16;
        while (capacity < count * 2)
            capacity *= 2;
        Slots.assign(capacity, 0);
        for (size_t i = 0; i < count; ++i) {
            size_t slot = std::hash<Base::StringView>{}(Names[i]) & (capacity - 1);
            while (Slots[slot] != 0)
                slot = (slot + 1) & (capacity - 1);
            Slots[slot] = static_cast<uint32_t>(i + 1);
        }
    }
    const size_t mask = Slots.size() - 1;
    for (size_t slot = std::hash<Base::StringView>{}(name)&mask; Slots[slot] != 0; slot = (slot + 1) & mask) {
        const size_t position = Slots[slot] - 1;
        if (Names[position] == name) {
            LastFound = position;
            AnyFound = true;
            return position;
        }
    }
    return count;
}

std::optional<TFileStamp> TRunStamps::AfterRename(Platform::HANDLE folder, const String& fullNewName,
                                                  const String& newName, size_t position, uint64_t size,
                                                  uint64_t lastWriteTime)
{
    if (Trust != TTrust::Distrusted && position < Listed.size() && Listed[position]) {
        const TFileStamp listed{{Volume, Indexes[position]}, size, lastWriteTime};
        if (Trust == TTrust::Trusted)
            return listed;
        // The first: read, and compared with what the listing says.
        std::optional<TFileStamp> read = ReadFileStamp(folder, fullNewName, newName);
        if (read)
            Trust = read->Identity == listed.Identity ? TTrust::Trusted : TTrust::Distrusted;
        return read;
    }
    return ReadFileStamp(folder, fullNewName, newName);
}

bool IsTaken(const String& from, const String& to)
{
    return Platform::GetFileAttributesW(to.c_str()) != Platform::InvalidFileAttributes &&
           FileSystemNameKey(from) != FileSystemNameKey(to);
}

} // namespace Zelvane
