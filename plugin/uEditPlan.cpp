#include "plugin/uEditPlan.h"

#include "base/Exception.h"
#include "base/TextStore.h"
#include "platform/Platform.h"

#include <algorithm>
#include <optional>
#include <unordered_map>

namespace Zelvane {

namespace {

constexpr size_t NoFile = static_cast<size_t>(-1);

enum class TOutcome : uint8_t { Open, OnPath, Stays, Moves, Fails };

// The renames of one run as a graph: each file that moves points at the
// file of the run holding its target, when there is one. Two lines that give
// one name both fail, so at most one file points at any other, and the graph
// falls apart into chains and cycles, each walked once.
class TEditGraph {
public:
    TEditGraph(const std::vector<String>& oldNames, const std::vector<TNewName>& newNames, const TNameKey& key,
               const THeldOutside& heldOutside)
        : OldNames(oldNames), NewNames(newNames), Count(oldNames.size()), Uses(Count, nullptr), Next(Count, NoFile),
          Own(Count), Outcome(Count, TOutcome::Open), PathIndex(Count, 0)
    {
        Names.reserve(2 * Count);
        KeyOldNames(key);
        KeyTargets(key);
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

    // The use of the name whose key is `key`; a new key is kept in the
    // store, where it lives as long as the map that points into it.
    TNameUse& Use(const String& key)
    {
        const auto found = Names.find(key);
        if (found != Names.end())
            return found->second;
        return Names.try_emplace(Keys.Keep(key)).first->second;
    }

    void KeyOldNames(const TNameKey& key)
    {
        for (size_t file = 0; file < Count; ++file) {
            TNameUse& use = Use(key(OldNames[file]));
            if (use.Holder != NoFile) {
                Own[file] = TEditReason::AmbiguousName;
                Own[use.Holder] = TEditReason::AmbiguousName;
            } else {
                use.Holder = file;
            }
        }
    }

    void KeyTargets(const TNameKey& key)
    {
        for (size_t file = 0; file < Count; ++file) {
            if (!IsMove(file))
                continue;
            TNameUse& use = Use(key(NewNames[file].Target));
            ++use.Targets;
            Uses[file] = &use;
            if (use.Holder != NoFile && use.Holder != file)
                Next[file] = use.Holder;
        }
    }

    // Two lines that give one name both fail; a target that no file of the
    // run holds may be held outside it. Once every line is counted.
    void FindOwnFailures(const THeldOutside& heldOutside)
    {
        for (size_t file = 0; file < Count; ++file) {
            const TNameUse* use = Uses[file];
            if (use == nullptr)
                continue;
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
        AddStep(first, TEditStepKind::ToTemporary, OldNames[first], String());
        for (auto member = Path.end(); --member != begin;) {
            AddStep(*member, TEditStepKind::Direct, OldNames[*member], NewNames[*member].Target);
            Outcome[*member] = TOutcome::Moves;
        }
        AddStep(first, TEditStepKind::FromTemporary, String(), NewNames[first].Target);
        Outcome[first] = TOutcome::Moves;
        Result.Renamed += Path.size() - from;
    }

    void Move(size_t file)
    {
        AddStep(file, TEditStepKind::Direct, OldNames[file], NewNames[file].Target);
        // The file itself holds its target: only the letter case changes.
        Result.Steps.back().CaseOnly = Uses[file]->Holder == file;
        Outcome[file] = TOutcome::Moves;
        ++Result.Renamed;
    }

    void AddStep(size_t file, TEditStepKind kind, String from, String to)
    {
        Result.Steps.push_back({file, kind, std::move(from), std::move(to), false});
    }

    const std::vector<String>& OldNames;
    const std::vector<TNewName>& NewNames;
    const size_t Count;
    Base::TextStore Keys;
    // Unordered maps keep their elements in place, so Uses may point at them.
    std::unordered_map<Base::StringView, TNameUse> Names;
    std::vector<const TNameUse*> Uses;           // the use of the file's target; none when it keeps its name
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
    String key(name.size(), u'\0');
    Platform::FileNameKey(name.data(), name.size(), key.data());
    return key;
}

} // namespace Zelvane
