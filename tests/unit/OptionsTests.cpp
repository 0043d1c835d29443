// The renamer's options and saved patterns against an in-memory settings store.
#include "plugin/uOptions.h"

#include "FakeSettings.h"
#include "base/Exception.h"
#include "base/Utf.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>

using namespace TestSupport;
using Base::String;
using Zelvane::TOptions;

namespace {

using Patterns = std::map<String, String>; // template -> starting number

Patterns Contents(const TOptions::TSavedPatternList& list)
{
    Patterns result;
    for (const auto& [key, entry] : list.Entries()) {
        EXPECT_EQ(key, entry->Template());
        result[entry->Template()] = entry->StartingNumber();
    }
    return result;
}

class OptionsTest : public ::testing::Test {
protected:
    void TearDown() override { EXPECT_TRUE(Settings.Faults.empty()) << Settings.Faults.front(); }

    std::map<String, FakeSettings::Value>& Root() { return Settings.Key(u""); }

    FakeHost Host;
    FakeSettings Settings{Host};
    TOptions Options;
};

TEST_F(OptionsTest, NewObjectHoldsTheDefaultsAndIsModified)
{
    EXPECT_EQ(Options.FileNameTemplate(), u"file%#.%e");
    EXPECT_EQ(Options.StartingNumber(), u"0");
    EXPECT_FALSE(Options.AllowRenameFileUnderCursor());
    EXPECT_FALSE(Options.SavePatternSettings());
    EXPECT_EQ(Options.SavedPatterns().Count(), 0u);
    EXPECT_TRUE(Options.Modified());
    EXPECT_TRUE(Settings.Calls.empty());
}

TEST_F(OptionsTest, LoadOfAnEmptyStoreKeepsDefaultsAndWritesNothing)
{
    Options.Load();
    EXPECT_EQ(Options.FileNameTemplate(), u"file%#.%e");
    EXPECT_EQ(Options.StartingNumber(), u"0");
    EXPECT_EQ(Options.SavedPatterns().Count(), 0u);
    EXPECT_FALSE(Options.Modified());
    EXPECT_EQ(Settings.OpenHandles(), 0);

    Settings.Calls.clear();
    Options.Save(false);
    EXPECT_TRUE(Settings.Calls.empty());
    EXPECT_TRUE(Root().empty());
}

TEST_F(OptionsTest, LoadReadsStoredValuesAndKeepsMemoryForMissingOnes)
{
    Root()[u"StartingNumber"] = String(u"007");
    Root()[u"AllowRenameFileUnderCursor"] = uint64_t{5};
    Root()[u"SavedPatterns"] = String(u"a\t1\n");
    Options.SetFileNameTemplate(u"kept%#");
    Options.SetSavePatternSettings(true);
    Options.SavedPatterns().Update(u"dropped", u"9");

    Options.Load();
    EXPECT_EQ(Options.FileNameTemplate(), u"kept%#");
    EXPECT_EQ(Options.StartingNumber(), u"007");
    EXPECT_TRUE(Options.AllowRenameFileUnderCursor());
    EXPECT_TRUE(Options.SavePatternSettings());
    EXPECT_EQ(Contents(Options.SavedPatterns()), (Patterns{{u"a", u"1"}}));
    EXPECT_FALSE(Options.Modified());

    // Without a stored list the list loads empty.
    Root().erase(u"SavedPatterns");
    Options.Load();
    EXPECT_EQ(Options.SavedPatterns().Count(), 0u);
}

TEST_F(OptionsTest, SaveWritesFiveRootValuesThatLoadBack)
{
    Options.SetFileNameTemplate(u"img%#.%e");
    Options.SetStartingNumber(u"010");
    Options.SetAllowRenameFileUnderCursor(true);
    Options.SavedPatterns().Update(u"img%#.%e", u"012");
    Options.Save(false);

    EXPECT_FALSE(Options.Modified());
    EXPECT_EQ(Settings.OpenHandles(), 0);
    EXPECT_EQ(Root(), (std::map<String, FakeSettings::Value>{
                          {u"FileNameTemplate", String(u"img%#.%e")},
                          {u"StartingNumber", String(u"010")},
                          {u"AllowRenameFileUnderCursor", uint64_t{1}},
                          {u"SavePatternSettings", uint64_t{0}},
                          {u"SavedPatterns", String(u"img%#.%e\t012\n")},
                      }));
    for (const auto& call : Settings.Calls) // values only, no subkeys
        EXPECT_NE(call.Command, Far3::SCTL_CREATESUBKEY);

    TOptions loaded;
    loaded.Load();
    EXPECT_EQ(loaded.FileNameTemplate(), u"img%#.%e");
    EXPECT_EQ(loaded.StartingNumber(), u"010");
    EXPECT_TRUE(loaded.AllowRenameFileUnderCursor());
    EXPECT_FALSE(loaded.SavePatternSettings());
    EXPECT_EQ(Contents(loaded.SavedPatterns()), (Patterns{{u"img%#.%e", u"012"}}));

    // Unmodified: nothing written unless forced.
    Settings.Calls.clear();
    loaded.Save(false);
    EXPECT_TRUE(Settings.Calls.empty());
    loaded.Save(true);
    EXPECT_EQ(Settings.Calls.size(), 7u); // create, five writes, free
}

TEST_F(OptionsTest, RefusedStoreChangesNothingAndKeepsTheSaveOwed)
{
    Root()[u"FileNameTemplate"] = String(u"stored");
    Settings.RefuseCreate = true;
    Options.Load();
    EXPECT_EQ(Options.FileNameTemplate(), u"file%#.%e");
    EXPECT_TRUE(Options.Modified());

    Options.Save(false);
    EXPECT_TRUE(Options.Modified());
    EXPECT_EQ(Root().size(), 1u);

    // A refused write also leaves the save owed, so the next one retries.
    Settings.RefuseCreate = false;
    Settings.RefuseWrites = true;
    Options.Save(false);
    EXPECT_TRUE(Options.Modified());
    EXPECT_EQ(Settings.OpenHandles(), 0);
    Settings.RefuseWrites = false;
    Options.Save(false);
    EXPECT_FALSE(Options.Modified());
    EXPECT_EQ(Root()[u"FileNameTemplate"], FakeSettings::Value(String(u"file%#.%e")));
}

struct ParseCase {
    const char* What;
    String Text;
    Patterns Expected;
};

class SavedPatternText : public OptionsTest, public ::testing::WithParamInterface<ParseCase> {};

TEST_P(SavedPatternText, Loads)
{
    const auto& c = GetParam();
    Options.SavedPatterns().LoadFromString(c.Text);
    EXPECT_EQ(Contents(Options.SavedPatterns()), c.Expected) << c.What;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, SavedPatternText,
    ::testing::Values(
        ParseCase{"empty", u"", {}},
        ParseCase{"two lines", u"a\t1\nb\t2\n", {{u"a", u"1"}, {u"b", u"2"}}},
        ParseCase{"CR LF, empty line, last line without tab", u"a\t1\r\n\r\nb\t2\r\nc",
                  {{u"a", u"1"}, {u"b", u"2"}, {u"c", u""}}},
        ParseCase{"lone CR ends a line", u"a\t1\rb\t2\r", {{u"a", u"1"}, {u"b", u"2"}}},
        ParseCase{"leading tab: empty template", u"\t5\n", {{u"", u"5"}}},
        ParseCase{"further tabs belong to the number", u"a\t1\t2\n", {{u"a", u"1\t2"}}},
        ParseCase{"first line of a template wins", u"a\t1\na\t2\n", {{u"a", u"1"}}},
        ParseCase{"letter case makes another template", u"a\t1\nA\t2\n", {{u"a", u"1"}, {u"A", u"2"}}},
        ParseCase{"nothing trimmed", u" a \t 1 \n", {{u" a ", u" 1 "}}},
        ParseCase{"only breaks", u"\n\r\n\r", {}}));

TEST_F(OptionsTest, SavedPatternTextIsOneTabbedLinePerEntry)
{
    auto& list = Options.SavedPatterns();
    EXPECT_EQ(list.SaveToString(), u"");
    list.Update(u"x", u"5");
    EXPECT_EQ(list.SaveToString(), u"x\t5\n");
    list.Update(u"", u"");
    const String text = list.SaveToString();
    EXPECT_TRUE(text == u"x\t5\n\t\n" || text == u"\t\nx\t5\n") << Base::ToUtf8(text);

    // The text loads back to the same entries, and adds to those present.
    TOptions other;
    other.SavedPatterns().Update(u"y", u"1");
    other.SavedPatterns().LoadFromString(text);
    EXPECT_EQ(Contents(other.SavedPatterns()), (Patterns{{u"x", u"5"}, {u"", u""}, {u"y", u"1"}}));
}

TEST_F(OptionsTest, ListChangesRaiseModifiedOnlyWhenSomethingChanged)
{
    auto& list = Options.SavedPatterns();
    struct Step {
        const char* What;
        std::function<void()> Action;
        bool Modifies;
    };
    const Step steps[] = {
        {"clear an empty list", [&] { list.Clear(); }, false},
        {"add", [&] { list.Update(u"t", u"1"); }, true},
        {"same number", [&] { list.Update(u"t", u"1"); }, false},
        {"new number", [&] { list.Update(u"t", u"2"); }, true},
        {"entry's own setter", [&] { list.TryGet(u"t")->SetStartingNumber(u"3"); }, true},
        {"remove an absent one", [&] { list.Remove(u"T"); }, false},
        {"remove", [&] { list.Remove(u"t"); }, true},
        {"add again", [&] { list.Update(u"u", u"0"); }, true},
        {"clear", [&] { list.Clear(); }, true},
        {"same template", [&] { Options.SetFileNameTemplate(u"file%#.%e"); }, false},
        {"other case", [&] { Options.SetFileNameTemplate(u"FILE%#.%e"); }, true},
        {"same switch", [&] { Options.SetSavePatternSettings(false); }, false},
        {"switch", [&] { Options.SetSavePatternSettings(true); }, true},
    };
    for (const auto& step : steps) {
        Options.ClearModified();
        step.Action();
        EXPECT_EQ(Options.Modified(), step.Modifies) << step.What;
    }
    EXPECT_EQ(list.Count(), 0u);
}

TEST_F(OptionsTest, UpdateReturnsTheEntryWithItsNumber)
{
    auto& entry = Options.SavedPatterns().Update(u"t", u"12");
    EXPECT_EQ(entry.Template(), u"t");
    EXPECT_EQ(entry.StartingNumber(), u"12");
    EXPECT_EQ(&entry.List(), &Options.SavedPatterns());
    EXPECT_EQ(Options.SavedPatterns().TryGet(u"t"), &entry);
    EXPECT_EQ(Options.SavedPatterns().TryGet(u"T"), nullptr);
}

TEST_F(OptionsTest, SetAsStringParsesOneLineAndKeepsTheKeyInStep)
{
    auto& list = Options.SavedPatterns();
    TOptions::TSavedPatternInfo loose(list, u"");
    EXPECT_EQ(loose.StartingNumber(), u"0");
    try {
        loose.SetAsString(u"");
        FAIL() << "no exception for an empty line";
    } catch (const Base::Exception& e) {
        EXPECT_EQ(e.Message(), u"Invalid argument for TOptions.TSavedPatternInfo.SetAsString");
    }
    loose.SetAsString(u"a\tb\tc");
    EXPECT_EQ(loose.Template(), u"a");
    EXPECT_EQ(loose.StartingNumber(), u"b\tc");
    EXPECT_EQ(loose.GetAsString(), u"a\tb\tc");
    EXPECT_EQ(list.TryGet(u"a"), nullptr); // not in the list

    // A listed entry renamed by its line moves to the new key...
    auto& entry = list.Update(u"old", u"1");
    entry.SetAsString(u"new\t2");
    EXPECT_EQ(list.TryGet(u"old"), nullptr);
    EXPECT_EQ(list.TryGet(u"new"), &entry);
    EXPECT_EQ(list.SaveToString(), u"new\t2\n");

    // ...but never onto another entry's template.
    list.Update(u"other", u"3");
    EXPECT_THROW(entry.SetAsString(u"other\t4"), Base::Exception);
    EXPECT_EQ(Contents(list), (Patterns{{u"new", u"2"}, {u"other", u"3"}}));
}

struct NumberCase {
    String Text;
    size_t Width;
    std::optional<int32_t> Value;
};

class StartingNumberTable : public OptionsTest, public ::testing::WithParamInterface<NumberCase> {};

TEST_P(StartingNumberTable, GivesWidthAndValue)
{
    const auto& c = GetParam();
    Options.SetStartingNumber(c.Text);
    EXPECT_EQ(Options.StartingNumberWidth(), c.Width);
    if (c.Value) {
        EXPECT_EQ(Options.StartingNumberValue(), *c.Value);
        return;
    }
    try {
        Options.StartingNumberValue();
        FAIL() << "no exception for " << Base::ToUtf8(c.Text);
    } catch (const Base::EConvertError& e) {
        EXPECT_EQ(e.Message(), u"''" + c.Text + u"'' is not a valid integer value");
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, StartingNumberTable,
                         ::testing::Values(NumberCase{u"0", 1, 0}, NumberCase{u"007", 3, 7},
                                           NumberCase{u"012", 3, 12}, NumberCase{u"$1F", 3, 31},
                                           NumberCase{u"", 0, std::nullopt},
                                           NumberCase{u"12a", 3, std::nullopt}));

} // namespace
