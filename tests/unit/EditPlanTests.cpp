// The order of an edit run: the steps are made on a folder kept in memory,
// where a step onto a name that is taken fails the test, and the folder must
// end as the lines asked for every file that did not fail, with nothing lost.
// Each failure must have its reason in the folder and the lines.
#include "base/Exception.h"
#include "plugin/uEditPlan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <unordered_map>
#include <unordered_set>

namespace {

using Base::String;
using Zelvane::TEditPlan;
using Zelvane::TEditReason;
using Zelvane::TEditStep;
using Zelvane::TEditStepKind;
using Zelvane::TNewName;

// The tests' keys, as values; the plan takes them through Keying.
using KeyOf = String (*)(Base::StringView name);

String ExactKey(Base::StringView name)
{
    return String(name);
}

// As Windows compares names, for the names these tests make.
String CaselessKey(Base::StringView name)
{
    String key(name);
    for (char16_t& c : key) {
        if (c >= u'a' && c <= u'z')
            c = static_cast<char16_t>(c - u'a' + u'A');
    }
    return key;
}

Zelvane::TNameKey Keying(KeyOf keyOf)
{
    return [keyOf](Base::StringView name, String& key) { key = keyOf(name); };
}

std::string Narrow(Base::StringView name)
{
    return std::string(name.begin(), name.end()); // the tests' names are ASCII
}

const char* ReasonName(TEditReason reason)
{
    switch (reason) {
    case TEditReason::Refused:
        return "Refused";
    case TEditReason::TargetExists:
        return "TargetExists";
    case TEditReason::SameNewName:
        return "SameNewName";
    case TEditReason::TargetStays:
        return "TargetStays";
    case TEditReason::CycleCannotComplete:
        return "CycleCannotComplete";
    case TEditReason::AmbiguousName:
        return "AmbiguousName";
    }
    return "?";
}

// One folder's names in memory, each held by a file known by a number, with
// subfolder paths ("sub\x") as names of their own.
class FolderModel {
public:
    explicit FolderModel(KeyOf key) : Key(key) {}

    void Add(const String& name, int file) { Entries[Key(name)] = {name, file}; }
    bool Holds(Base::StringView name) const { return Entries.contains(Key(name)); }
    size_t Size() const { return Entries.size(); }

    // Where each file is now.
    std::map<int, String> Names() const
    {
        std::map<int, String> names;
        for (const auto& [key, entry] : Entries)
            names[entry.File] = entry.Name;
        return names;
    }

    // Makes the steps in order; the first that finds its file elsewhere or
    // would replace a file ends it with the reason.
    ::testing::AssertionResult Make(const std::vector<TEditStep>& steps)
    {
        std::map<size_t, String> temporary;
        for (const TEditStep& step : steps) {
            const int file = static_cast<int>(step.File);
            const String from = step.Kind == TEditStepKind::FromTemporary ? temporary[step.File] : String(step.From);
            String to(step.To);
            if (step.Kind == TEditStepKind::ToTemporary) {
                to = u"~" + Base::String(1, static_cast<char16_t>(u'0' + temporary.size() % 10)) + u"tmp";
                while (Holds(to))
                    to += u"~";
                temporary[step.File] = to;
            }
            const auto at = Entries.find(Key(from));
            if (from.empty() || at == Entries.end() || at->second.Name != from || at->second.File != file)
                return ::testing::AssertionFailure() << "file " << file << " is not at " << Narrow(from);
            if (Holds(to) && Key(to) != Key(from))
                return ::testing::AssertionFailure() << Narrow(from) << " -> " << Narrow(to) << " replaces a file";
            const size_t separator = to.find(u'\\');
            if (separator != String::npos && !Holds(to.substr(0, separator)))
                return ::testing::AssertionFailure() << Narrow(from) << " -> " << Narrow(to) << ": no such folder";
            if (step.CaseOnly != (Key(to) == Key(from)))
                return ::testing::AssertionFailure() << Narrow(from) << " -> " << Narrow(to) << " is marked wrongly";
            Entries.erase(at);
            Add(to, file);
            if (step.Kind == TEditStepKind::FromTemporary)
                temporary.erase(step.File);
        }
        if (!temporary.empty())
            return ::testing::AssertionFailure() << "file " << temporary.begin()->first << " is left at a temporary name";
        return ::testing::AssertionSuccess();
    }

private:
    struct Entry {
        String Name;
        int File = 0;
    };
    KeyOf Key;
    std::unordered_map<String, Entry> Entries;
};

constexpr int OutsideFile = 100000;

// A run over a folder: its files with their lines, and the folder's other names.
struct EditWorld {
    bool Caseless = false; // names compared as Windows compares them
    // The folder tells apart names that the comparison does not (a folder on
    // Windows set to tell letter case apart).
    bool FolderTellsCaseApart = false;
    std::vector<String> OldNames;
    std::vector<String> Lines;
    std::vector<String> Outside;
};

struct EditOutcome {
    TEditPlan Plan;
    std::vector<TNewName> NewNames;
    std::map<size_t, TEditReason> Failed;
    size_t OutsideQuestions = 0;
};

// Plans the run, makes its steps on the folder, and checks the end state.
EditOutcome PlanAndMake(const EditWorld& world)
{
    const KeyOf key = world.Caseless ? CaselessKey : ExactKey;
    FolderModel folder(world.FolderTellsCaseApart ? ExactKey : key);
    for (size_t file = 0; file < world.OldNames.size(); ++file)
        folder.Add(world.OldNames[file], static_cast<int>(file));
    for (size_t other = 0; other < world.Outside.size(); ++other)
        folder.Add(world.Outside[other], OutsideFile + static_cast<int>(other));

    EditOutcome outcome;
    for (size_t file = 0; file < world.OldNames.size(); ++file)
        outcome.NewNames.push_back(Zelvane::DecideNewName(world.OldNames[file], world.Lines[file]));
    std::unordered_set<String> outside;
    for (const String& name : world.Outside)
        outside.insert(key(name));
    outcome.Plan = Zelvane::PlanEditRun(world.OldNames, outcome.NewNames, Keying(key), [&](const String& name) {
        ++outcome.OutsideQuestions;
        return outside.contains(key(name));
    });
    for (const Zelvane::TEditFailure& failure : outcome.Plan.Failures) {
        EXPECT_TRUE(outcome.Failed.emplace(failure.File, failure.Reason).second) << "listed twice: " << failure.File;
        EXPECT_TRUE(outcome.Failed.size() == 1 || std::prev(outcome.Failed.end())->first == failure.File)
            << "not in panel order";
    }

    const size_t before = folder.Size();
    EXPECT_TRUE(folder.Make(outcome.Plan.Steps));
    EXPECT_EQ(folder.Size(), before) << "a file was lost";
    const std::map<int, String> names = folder.Names();
    size_t renamed = 0;
    for (size_t file = 0; file < world.OldNames.size(); ++file) {
        const TNewName& newName = outcome.NewNames[file];
        const bool moves = newName.Action == TNewName::TAction::Move && !outcome.Failed.contains(file);
        renamed += moves ? 1 : 0;
        const auto at = names.find(static_cast<int>(file));
        if (at == names.end()) {
            ADD_FAILURE() << "file " << file << " is gone";
            continue;
        }
        EXPECT_EQ(at->second, moves ? newName.Target : world.OldNames[file]) << "file " << file;
    }
    for (size_t other = 0; other < world.Outside.size(); ++other)
        EXPECT_EQ(names.at(OutsideFile + static_cast<int>(other)), world.Outside[other]);
    EXPECT_EQ(outcome.Plan.Renamed, renamed);
    return outcome;
}

TEST(EditPlan, OrdersRenamesSoThatNoneReplacesAFile)
{
    struct Row {
        const char* What;
        bool Caseless;
        std::vector<std::pair<String, String>> Files; // old name, its line
        std::vector<String> Outside;
        std::string Failures; // in panel order: old name and reason
        size_t Steps;
        size_t CaseOnlySteps = 0;
        bool FolderTellsCaseApart = false;
    };
    const Row rows[] = {
        {"renames", false, {{u"a", u"x"}, {u"b", u"y"}}, {u"c"}, {}, 2},
        {"chain", false, {{u"a", u"b"}, {u"b", u"c"}, {u"c", u"d"}}, {}, {}, 3},
        {"chain given back to front", false, {{u"c", u"d"}, {u"b", u"c"}, {u"a", u"b"}}, {}, {}, 3},
        {"2-cycle", false, {{u"a", u"b"}, {u"b", u"a"}}, {}, {}, 3},
        {"3-cycle", false, {{u"a", u"b"}, {u"b", u"c"}, {u"c", u"a"}}, {}, {}, 4},
        {"two cycles and a chain", false,
         {{u"a", u"b"}, {u"b", u"a"}, {u"c", u"d"}, {u"d", u"e"}, {u"e", u"c"}, {u"f", u"g"}, {u"g", u"h"}}, {}, {},
         3 + 4 + 2},
        {"case-only, Windows", true, {{u"photo.JPG", u"photo.jpg"}}, {}, {}, 1, 1},
        {"case-only, Linux", false, {{u"photo.JPG", u"photo.jpg"}}, {}, {}, 1},
        {"case-only, Linux, the other case is another file", false, {{u"photo.JPG", u"photo.jpg"}}, {u"photo.jpg"},
         "photo.JPG TargetExists", 0},
        {"swap with a case change, Windows", true, {{u"a.txt", u"B.TXT"}, {u"b.txt", u"A.txt"}}, {}, {}, 3},
        {"unchanged", false, {{u"a", u"a"}, {u"b", u"c"}}, {}, {}, 1},
        {"target outside the run", false, {{u"a", u"x"}, {u"b", u"y"}}, {u"x"}, "a TargetExists", 1},
        {"target outside the run, Windows", true, {{u"a", u"X"}}, {u"x"}, "a TargetExists", 0},
        {"two equal new names", false, {{u"a", u"x"}, {u"b", u"x"}, {u"c", u"y"}}, {},
         "a SameNewName, b SameNewName", 1},
        {"equal to Windows only", true, {{u"a", u"x"}, {u"b", u"X"}}, {}, "a SameNewName, b SameNewName", 0},
        {"equal to Windows only, Linux", false, {{u"a", u"x"}, {u"b", u"X"}}, {}, {}, 2},
        {"three equal new names", false, {{u"a", u"x"}, {u"b", u"x"}, {u"c", u"x"}}, {},
         "a SameNewName, b SameNewName, c SameNewName", 0},
        {"names Windows cannot hold", false,
         {{u"a", u"con.txt"}, {u"b", u"x?"}, {u"c", u""}, {u"d", u" . "}, {u"e", u"f. "}}, {},
         "a Refused, b Refused, c Refused, d Refused", 1},
        {"onto a file that keeps its name", false, {{u"a", u"b"}, {u"b", u"b"}}, {}, "a TargetStays", 0},
        {"onto a refused file", false, {{u"a", u"b"}, {u"b", u"nul"}}, {}, "a TargetStays, b Refused", 0},
        {"a chain fails from its end back", false, {{u"a", u"b"}, {u"b", u"c"}, {u"c", u"x"}, {u"d", u"e"}}, {u"x"},
         "a TargetStays, b TargetStays, c TargetExists", 1},
        {"a cycle with a failing member", false, {{u"a", u"b"}, {u"b", u"c"}, {u"c", u"a"}, {u"d", u"a"}}, {},
         "a CycleCannotComplete, b CycleCannotComplete, c SameNewName, d SameNewName", 0},
        {"a case-only change another line takes too", true, {{u"a", u"A"}, {u"b", u"a"}}, {},
         "a SameNewName, b SameNewName", 0},
        {"into a subfolder, its old name taken after", false, {{u"b", u"a"}, {u"a", u"sub\\a"}}, {u"sub"}, {}, 2},
        {"into a subfolder that is renamed after", false, {{u"sub", u"sub2"}, {u"a", u"sub\\a"}}, {}, {}, 2},
        {"into a subfolder onto a file", false, {{u"b", u"a"}, {u"a", u"sub\\a"}}, {u"sub", u"sub\\a"},
         "b TargetStays, a TargetExists", 0},
        {"into a subfolder onto a file, Windows", true, {{u"a", u"SUB\\X"}}, {u"sub", u"sub\\x"}, "a TargetExists",
         0},
        {"two files one name to Windows", true, {{u"a", u"x"}, {u"A", u"y"}, {u"c", u"a"}}, {},
         "a AmbiguousName, A AmbiguousName, c TargetStays", 0, 0, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.What);
        EditWorld world{row.Caseless, row.FolderTellsCaseApart, {}, {}, row.Outside};
        for (const auto& [oldName, line] : row.Files) {
            world.OldNames.push_back(oldName);
            world.Lines.push_back(line);
        }
        const EditOutcome outcome = PlanAndMake(world);
        std::string failures;
        for (const auto& [file, reason] : outcome.Failed)
            failures += (failures.empty() ? "" : ", ") + Narrow(world.OldNames[file]) + " " + ReasonName(reason);
        EXPECT_EQ(failures, row.Failures);
        EXPECT_EQ(outcome.Plan.Steps.size(), row.Steps);
        EXPECT_EQ(std::count_if(outcome.Plan.Steps.begin(), outcome.Plan.Steps.end(),
                                [](const TEditStep& step) { return step.CaseOnly; }),
                  static_cast<std::ptrdiff_t>(row.CaseOnlySteps));
        EXPECT_LE(outcome.OutsideQuestions, world.OldNames.size());
    }
}

TEST(EditPlan, NeedsOneNewNamePerFile)
{
    EXPECT_THROW(Zelvane::PlanEditRun({u"a", u"b"}, {TNewName{TNewName::TAction::Move, u"c"}}, Keying(ExactKey),
                                      [](const String&) { return false; }),
                 Base::EListError);
}

TEST(EditPlan, ComparesNamesAsThePlatformsFileSystem)
{
#ifdef _WIN32
    EXPECT_EQ(Zelvane::FileSystemNameKey(u"Photo.jpg"), Zelvane::FileSystemNameKey(u"PHOTO.JPG"));
    EXPECT_EQ(Zelvane::FileSystemNameKey(u"\u00E9t\u00E9"), Zelvane::FileSystemNameKey(u"\u00C9T\u00C9"));
#else
    EXPECT_NE(Zelvane::FileSystemNameKey(u"Photo.jpg"), Zelvane::FileSystemNameKey(u"PHOTO.JPG"));
#endif
    EXPECT_NE(Zelvane::FileSystemNameKey(u"a"), Zelvane::FileSystemNameKey(u"b"));
}

// Random folders and lines: permutations of the run's names (cycles of
// every length, chains), fresh names, names of other files of the run and
// outside it, letter-case changes, repeated names, names Windows cannot hold
// and moves into a subfolder, with names compared either way.
class EditWorldMaker {
public:
    explicit EditWorldMaker(std::mt19937& random) : Random(random) {}

    EditWorld Make()
    {
        EditWorld world;
        world.Caseless = Chance(2);
        Key = world.Caseless ? CaselessKey : ExactKey;
        Keys.clear();
        const size_t files = Chance(10) ? Below(300) + 1 : Below(30) + 1;
        for (size_t i = 0; i < files; ++i)
            world.OldNames.push_back(NewName(files));
        for (size_t i = Below(files / 2 + 2); i > 0; --i)
            world.Outside.push_back(NewName(files));
        world.Outside.push_back(u"sub");
        for (size_t i = Below(4); i > 0; --i) {
            String inSubfolder = u"sub\\" + Pick(world.OldNames);
            if (Keys.insert(Key(inSubfolder)).second)
                world.Outside.push_back(std::move(inSubfolder));
        }

        world.Lines = world.OldNames;
        std::vector<size_t> permuted;
        const bool oneBigCycle = Chance(5);
        for (size_t file = 0; file < files; ++file) {
            if (oneBigCycle || Chance(3)) {
                permuted.push_back(file);
                continue;
            }
            world.Lines[file] = Line(world, file);
        }
        std::vector<String> targets;
        for (const size_t file : permuted)
            targets.push_back(world.OldNames[file]);
        if (oneBigCycle)
            std::rotate(targets.begin(), targets.begin() + 1, targets.end());
        else
            std::shuffle(targets.begin(), targets.end(), Random);
        for (size_t i = 0; i < permuted.size(); ++i)
            world.Lines[permuted[i]] = Chance(4) ? CaseVariant(targets[i]) : targets[i];
        return world;
    }

private:
    bool Chance(size_t oneIn) { return Below(oneIn) == 0; }
    size_t Below(size_t bound) { return std::uniform_int_distribution<size_t>(0, bound - 1)(Random); }
    const String& Pick(const std::vector<String>& names) { return names[Below(names.size())]; }

    // A name whose key no name so far has; letters of both cases, so that
    // names compared without regard to case meet.
    String NewName(size_t files)
    {
        while (true) {
            String name(1, u"aAbB"[Below(4)]);
            for (const char c : std::to_string(Below(3 * files)))
                name += static_cast<char16_t>(c);
            if (Chance(3))
                name += u".Jpg";
            if (Keys.insert(Key(name)).second)
                return name;
        }
    }

    // The same letters in other cases; the subfolder keeps its name.
    String CaseVariant(String name)
    {
        for (size_t at = Base::StringView(name).starts_with(u"sub\\") ? 4 : 0; at < name.size(); ++at) {
            char16_t& c = name[at];
            if (Chance(2) && c >= u'a' && c <= u'z')
                c = static_cast<char16_t>(c - u'a' + u'A');
            else if (Chance(2) && c >= u'A' && c <= u'Z')
                c = static_cast<char16_t>(c - u'A' + u'a');
        }
        return name;
    }

    String Line(const EditWorld& world, size_t file)
    {
        const String& own = world.OldNames[file];
        switch (Below(10)) {
        case 0:
            return own;
        case 1:
            return u"new" + String(1, static_cast<char16_t>(u'0' + Below(10))); // fresh, sometimes repeated
        case 2:
            return Pick(world.OldNames);
        case 3:
            return CaseVariant(Pick(world.Outside));
        case 4:
            return CaseVariant(own);
        case 5:
            return CaseVariant(Pick(world.OldNames));
        case 6: {
            static const String refused[] = {u"con", u"x?", u"", u" . ", u"a\\..\\b", u"lpt1.txt"};
            return refused[Below(std::size(refused))];
        }
        case 7:
            return u"sub\\" + Pick(world.OldNames);
        case 8:
            return Pick(world.OldNames) + u". ";
        default:
            return u"fresh " + own;
        }
    }

    std::mt19937& Random;
    KeyOf Key = ExactKey;
    std::unordered_set<String> Keys;
};

// Every failure has its reason in the folder and the lines.
void CheckReasons(const EditWorld& world, const EditOutcome& outcome)
{
    const KeyOf key = world.Caseless ? CaselessKey : ExactKey;
    const auto moves = [&](size_t file) {
        return outcome.NewNames[file].Action == TNewName::TAction::Move &&
               outcome.NewNames[file].Target != world.OldNames[file];
    };
    std::unordered_map<String, size_t> holders; // the run's files by the key of their old name
    std::unordered_map<String, size_t> targets; // how many lines give each name
    for (size_t file = 0; file < world.OldNames.size(); ++file) {
        holders[key(world.OldNames[file])] = file;
        if (moves(file))
            ++targets[key(outcome.NewNames[file].Target)];
    }
    std::unordered_set<String> outside;
    for (const String& name : world.Outside)
        outside.insert(key(name));
    // The file of the run that holds `file`'s target, if any.
    const auto holder = [&](size_t file) -> std::optional<size_t> {
        const auto found = holders.find(key(outcome.NewNames[file].Target));
        if (found == holders.end() || found->second == file)
            return std::nullopt;
        return found->second;
    };

    // A file that moves had its new name to itself.
    for (size_t file = 0; file < world.OldNames.size(); ++file) {
        if (!moves(file) || outcome.Failed.contains(file))
            continue;
        SCOPED_TRACE(Narrow(world.OldNames[file]) + " -> " + Narrow(world.Lines[file]));
        EXPECT_EQ(targets[key(outcome.NewNames[file].Target)], 1u);
        EXPECT_FALSE(outside.contains(key(outcome.NewNames[file].Target)));
    }
    for (const auto& [file, reason] : outcome.Failed) {
        SCOPED_TRACE(Narrow(world.OldNames[file]) + " -> " + Narrow(world.Lines[file]) + ": " + ReasonName(reason));
        const String target = outcome.NewNames[file].Target;
        switch (reason) {
        case TEditReason::Refused:
            EXPECT_EQ(outcome.NewNames[file].Action, TNewName::TAction::Refuse);
            break;
        case TEditReason::TargetExists:
            EXPECT_TRUE(outside.contains(key(target)));
            break;
        case TEditReason::SameNewName:
            EXPECT_GE(targets[key(target)], 2u);
            break;
        case TEditReason::TargetStays: {
            const std::optional<size_t> stays = holder(file);
            ASSERT_TRUE(stays.has_value());
            EXPECT_TRUE(!moves(*stays) || outcome.Failed.contains(*stays));
            break;
        }
        case TEditReason::CycleCannotComplete: {
            // Round the cycle back to the file, past a member that fails on
            // its own.
            bool brokenMember = false;
            std::optional<size_t> member = holder(file);
            for (size_t steps = 0; member && *member != file && steps <= world.OldNames.size(); ++steps) {
                const auto failed = outcome.Failed.find(*member);
                brokenMember |= failed != outcome.Failed.end() && failed->second == TEditReason::SameNewName;
                member = moves(*member) ? holder(*member) : std::nullopt;
            }
            EXPECT_TRUE(member == file);
            EXPECT_TRUE(brokenMember);
            break;
        }
        case TEditReason::AmbiguousName:
            ADD_FAILURE() << "every name of these folders has a key of its own";
            break;
        }
    }
}

TEST(EditPlan, RandomRunsEndAsAskedAndLoseNothing)
{
    std::mt19937 random(20261208);
    EditWorldMaker maker(random);
    size_t cycles = 0;
    size_t longestCycle = 0;
    size_t caseOnly = 0;
    size_t reasons[6] = {};
    for (int run = 0; run < 1500; ++run) {
        SCOPED_TRACE("run " + std::to_string(run));
        const EditWorld world = maker.Make();
        const EditOutcome outcome = PlanAndMake(world);
        CheckReasons(world, outcome);
        EXPECT_LE(outcome.OutsideQuestions, world.OldNames.size());
        if (::testing::Test::HasFailure())
            break;
        // What the runs covered, so that a change to the maker cannot make
        // this test quietly easy.
        const std::vector<TEditStep>& steps = outcome.Plan.Steps;
        for (auto step = steps.begin(); step != steps.end(); ++step) {
            caseOnly += step->CaseOnly ? 1 : 0;
            if (step->Kind != TEditStepKind::ToTemporary)
                continue;
            ++cycles;
            const auto back = std::find_if(step, steps.end(), [](const TEditStep& later) {
                return later.Kind == TEditStepKind::FromTemporary;
            });
            longestCycle = std::max(longestCycle, static_cast<size_t>(back - step));
        }
        for (const auto& [file, reason] : outcome.Failed)
            ++reasons[static_cast<size_t>(reason)];
    }
    EXPECT_GT(cycles, 300u);
    EXPECT_GT(longestCycle, 100u);
    EXPECT_GT(caseOnly, 100u);
    for (size_t reason = 0; reason < 5; ++reason)
        EXPECT_GT(reasons[reason], 50u) << ReasonName(static_cast<TEditReason>(reason));
}

} // namespace
