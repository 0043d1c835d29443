#include "plugin/uEditPlan.h"

#include "base/Exception.h"
#include "base/TextStore.h"
#include "platform/Platform.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <functional>
#include <limits>

namespace Zelvane {

namespace {

constexpr size_t NoFile = static_cast<size_t>(-1);
constexpr size_t NoUse = static_cast<size_t>(-1);

enum class TOutcome : uint8_t { Open, OnPath, Stays, Moves, Fails };

// The renames of one run as a graph: each file that moves points at the
// file of the run holding its target, when there is one. Two lines that give
// one name both fail, so at most one file points at any other, and the graph
// falls apart into chains and cycles, each walked once.
class TEditGraph {
public:
    TEditGraph(const std::vector<String>& oldNames, const std::vector<TNewName>& newNames, const TNameKey& key,
               const THeldOutside& heldOutside)
        : OldNames(oldNames), NewNames(newNames), Count(oldNames.size()), TargetUse(Count, NoUse), Next(Count, NoFile),
          Own(Count), Outcome(Count, TOutcome::Open), PathIndex(Count, 0)
    {
        SizeTable();
        KeyNames(key);
        FindOwnFailures(heldOutside);
    }

    TEditPlan Plan()
    {
        Result.Steps.reserve(Count);
        // Nothing in the folder has moved yet when a file goes into a
        // subfolder: the subfolder is the one the user saw, and the file's
        // old name is free before any chain needs it.
        for (size_t file = 0; file < Count; ++file) {
            if (IsMove(file) && !Own[file] && IsIntoSubfolder(file))
                Move(file);
        }
        for (size_t file = 0; file < Count; ++file) {
            if (!IsMove(file))
                Outcome[file] = NewNames[file].Action == TNewName::TAction::Refuse ? TOutcome::Fails : TOutcome::Stays;
        }
        for (size_t file = 0; file < Count; ++file) {
            if (Outcome[file] == TOutcome::Open)
                Walk(file);
        }
        for (size_t file = 0; file < Count; ++file) {
            if (Outcome[file] == TOutcome::Fails)
                Result.Failures.push_back({file, Reason(file)});
        }
        return std::move(Result);
    }

private:
    // What the run does with one name, as the file system compares names.
    struct TNameUse {
        Base::StringView Key;   // the name's key, in Keys
        size_t Holder = NoFile; // the file of the run of that name
        size_t Targets = 0;     // the lines that give it
    };

    // A Move whose target is its own name is no rename at all.
    bool IsMove(size_t file) const
    {
        const TNewName& newName = NewNames[file];
        return newName.Action == TNewName::TAction::Move && newName.Target != OldNames[file];
    }

    bool IsIntoSubfolder(size_t file) const { return NewNames[file].Target.find(u'\\') != String::npos; }

    TEditReason Reason(size_t file) const
    {
        if (NewNames[file].Action == TNewName::TAction::Refuse)
            return TEditReason::Refused;
        return Own[file] ? *Own[file] : TEditReason::CycleCannotComplete;
    }

    // A slot of the table of names, open addressing with slots probed one
    // after another: Use indexes Uses, where the key's text is (kept in
    // Keys); NoSlotUse marks a free slot. Tag is the top of the key's hash,
    // so that a look-up reads another key's text only when the two hashes
    // are likely the same. Eight bytes a slot, so probing stays in cache.
    struct TSlot {
        uint32_t Tag = 0;
        uint32_t Use = NoSlotUse;
    };
    static constexpr uint32_t NoSlotUse = std::numeric_limits<uint32_t>::max();

    // A hash of a short key, four characters at a time, with the whole
    // hash stirred at the end: the slot comes from its low bits and the tag
    // from its high ones. (The library's general hash took a third of the
    // plan's time.)
    static uint64_t HashOf(Base::StringView key)
    {
        uint64_t hash = 0x9E3779B97F4A7C15ull ^ key.size();
        const char16_t* at = key.data();
        size_t left = key.size();
        for (; left >= 4; left -= 4, at += 4) {
            uint64_t chunk = 0;
            std::memcpy(&chunk, at, sizeof chunk);
            hash = (hash ^ chunk) * 0xBF58476D1CE4E5B9ull;
            hash ^= hash >> 29;
        }
        uint64_t tail = 0;
        if (left > 0)
            std::memcpy(&tail, at, left * sizeof(char16_t));
        hash ^= tail;
        hash ^= hash >> 30;
        hash *= 0xBF58476D1CE4E5B9ull;
        hash ^= hash >> 27;
        hash *= 0x94D049BB133111EBull;
        hash ^= hash >> 31;
        return hash;
    }
    static uint32_t TagOf(uint64_t hash) { return static_cast<uint32_t>(hash >> 32); }

    // Room for every old name and target with the table at most half full,
    // so a free slot is always near and the table never grows.
    void SizeTable()
    {
        size_t slots = 64;
        while (slots < 4 * Count)
            slots *= 2;
        Slots.resize(slots);
        Uses.reserve(2 * Count);
    }

    // The use of the name whose key is `key` (its hash `hash`); a new key is
    // kept in the store, where it lives as long as the table that points
    // into it.
    size_t Use(Base::StringView key, uint64_t hash)
    {
        const uint32_t tag = TagOf(hash);
        const size_t mask = Slots.size() - 1;
        size_t i = hash & mask;
        for (;; i = (i + 1) & mask) {
            const TSlot& slot = Slots[i];
            if (slot.Use == NoSlotUse)
                break;
            if (slot.Tag == tag && Uses[slot.Use].Key == key)
                return slot.Use;
        }
        TSlot& slot = Slots[i];
        slot.Tag = tag;
        slot.Use = static_cast<uint32_t>(Uses.size());
        Uses.emplace_back().Key = Keys.Keep(key);
        return slot.Use;
    }

    // A name keyed, on its way to its look-up.
    struct TPending {
        bool Named = false; // the file has a name to look up
        String Key;         // a buffer, reused name after name
        uint64_t Hash = 0;
    };

    // Looks up the name `nameOf(file)` gives each file (nullptr: none) and
    // hands its use to `settle`, file by file. Each name is keyed some
    // files before its look-up, and its slot asked for then: a large run's
    // table is far larger than the processor's caches, and a look-up would
    // otherwise wait for memory every time.
    template <typename TNameOf, typename TSettle>
    void LookUp(const TNameKey& key, TNameOf nameOf, TSettle settle)
    {
        constexpr size_t Ahead = 16;
        std::array<TPending, Ahead> pending;
        const size_t mask = Slots.size() - 1;
        for (size_t file = 0; file < Count + Ahead; ++file) {
            // The file Ahead back is due; its place then takes this file.
            TPending& at = pending[file % Ahead];
            if (file >= Ahead && at.Named)
                settle(file - Ahead, Use(at.Key, at.Hash));
            if (file >= Count)
                continue;
            const String* name = nameOf(file);
            at.Named = name != nullptr;
            if (at.Named) {
                key(*name, at.Key);
                at.Hash = HashOf(at.Key);
                __builtin_prefetch(&Slots[at.Hash & mask]);
            }
        }
    }

    // Every old name, then every target: the old names first, so that a
    // target finds the file of the run that holds it.
    void KeyNames(const TNameKey& key)
    {
        LookUp(
            key, [this](size_t file) { return &OldNames[file]; },
            [this](size_t file, size_t use) { HoldName(file, use); });
        LookUp(
            key, [this](size_t file) { return IsMove(file) ? &NewNames[file].Target : nullptr; },
            [this](size_t file, size_t use) { TargetName(file, use); });
    }

    void HoldName(size_t file, size_t found)
    {
        TNameUse& use = Uses[found];
        if (use.Holder != NoFile) {
            Own[file] = TEditReason::AmbiguousName;
            Own[use.Holder] = TEditReason::AmbiguousName;
        } else {
            use.Holder = file;
        }
    }

    void TargetName(size_t file, size_t found)
    {
        TNameUse& use = Uses[found];
        ++use.Targets;
        TargetUse[file] = found;
        if (use.Holder != NoFile && use.Holder != file)
            Next[file] = use.Holder;
    }

    // Two lines that give one name both fail; a target that no file of the
    // run holds may be held outside it. Once every line is counted.
    void FindOwnFailures(const THeldOutside& heldOutside)
    {
        for (size_t file = 0; file < Count; ++file) {
            if (TargetUse[file] == NoUse)
                continue;
            const TNameUse* use = &Uses[TargetUse[file]];
            if (use->Targets > 1) {
                if (!Own[file])
                    Own[file] = TEditReason::SameNewName;
            } else if (use->Holder == NoFile && !Own[file] && heldOutside(NewNames[file].Target)) {
                Own[file] = TEditReason::TargetExists;
            }
        }
    }

    // Follows the files that `start` waits for until one whose outcome is
    // known, the end of a chain, or a file already on the way (a cycle);
    // then settles them from the last back, so each rename comes after the
    // one that frees its target.
    void Walk(size_t start)
    {
        Path.clear();
        size_t file = start;
        while (file != NoFile && Outcome[file] == TOutcome::Open) {
            Outcome[file] = TOutcome::OnPath;
            PathIndex[file] = Path.size();
            Path.push_back(file);
            file = Next[file];
        }
        size_t chainEnd = Path.size();
        if (file != NoFile && Outcome[file] == TOutcome::OnPath) {
            chainEnd = PathIndex[file];
            SettleCycle(chainEnd);
        }
        for (size_t at = chainEnd; at-- > 0;)
            SettleChainLink(Path[at]);
    }

    void SettleChainLink(size_t file)
    {
        if (Own[file]) {
            Outcome[file] = TOutcome::Fails;
            return;
        }
        if (Next[file] == NoFile || Outcome[Next[file]] == TOutcome::Moves) {
            Move(file);
            return;
        }
        Own[file] = TEditReason::TargetStays;
        Outcome[file] = TOutcome::Fails;
    }

    // Path[from..] is a cycle: each member's target is the next one's name.
    void SettleCycle(size_t from)
    {
        const auto begin = Path.begin() + static_cast<std::ptrdiff_t>(from);
        const bool broken = std::any_of(begin, Path.end(), [this](size_t file) { return Own[file].has_value(); });
        if (broken) {
            // Members without a failure of their own get CycleCannotComplete.
            for (auto member = begin; member != Path.end(); ++member)
                Outcome[*member] = TOutcome::Fails;
            return;
        }
        // The first member in panel order steps aside, so that the steps of
        // a given cycle are always the same.
        std::rotate(begin, std::min_element(begin, Path.end()), Path.end());
        const size_t first = *begin;
        AddStep(first, TEditStepKind::ToTemporary, OldNames[first], {});
        for (auto member = Path.end(); --member != begin;) {
            AddStep(*member, TEditStepKind::Direct, OldNames[*member], NewNames[*member].Target);
            Outcome[*member] = TOutcome::Moves;
        }
        AddStep(first, TEditStepKind::FromTemporary, {}, NewNames[first].Target);
        Outcome[first] = TOutcome::Moves;
        Result.Renamed += Path.size() - from;
    }

    void Move(size_t file)
    {
        AddStep(file, TEditStepKind::Direct, OldNames[file], NewNames[file].Target);
        // The file itself holds its target: only the letter case changes.
        Result.Steps.back().CaseOnly = Uses[TargetUse[file]].Holder == file;
        Outcome[file] = TOutcome::Moves;
        ++Result.Renamed;
    }

    void AddStep(size_t file, TEditStepKind kind, Base::StringView from, Base::StringView to)
    {
        Result.Steps.push_back({file, kind, from, to, false});
    }

    const std::vector<String>& OldNames;
    const std::vector<TNewName>& NewNames;
    const size_t Count;
    Base::TextStore Keys;
    std::vector<TSlot> Slots;
    std::vector<TNameUse> Uses;                  // one per key, in the order the keys came
    std::vector<size_t> TargetUse;               // the use of the file's target; NoUse when it keeps its name
    std::vector<size_t> Next;                    // the file of the run holding the target
    std::vector<std::optional<TEditReason>> Own; // a failure that comes from the file's own line
    std::vector<TOutcome> Outcome;
    std::vector<size_t> PathIndex;
    std::vector<size_t> Path;
    TEditPlan Result;
};

} // namespace

TEditPlan PlanEditRun(const std::vector<String>& oldNames, const std::vector<TNewName>& newNames,
                      const TNameKey& key, const THeldOutside& heldOutside)
{
    if (oldNames.size() != newNames.size())
        throw Base::EListError(u"An edit run needs one new name per file");
    return TEditGraph(oldNames, newNames, key, heldOutside).Plan();
}

String FileSystemNameKey(Base::StringView name)
{
    String key;
    FileSystemNameKeyInto(name, key);
    return key;
}

void FileSystemNameKeyInto(Base::StringView name, String& key)
{
    key.resize(name.size());
    Platform::FileNameKey(name.data(), name.size(), key.data());
}

} // namespace Zelvane
