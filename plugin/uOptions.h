// TOptions: the renamer's persistent options, kept as five values in the root
// key of the plugin's settings store:
//   "FileNameTemplate"            string   the rename dialog's name template
//   "StartingNumber"              string   next counter value as typed ("007")
//   "AllowRenameFileUnderCursor"  number   0/1
//   "SavePatternSettings"         number   0/1
//   "SavedPatterns"               string   one "template<TAB>number<LF>" line per entry
// Setters raise Modified only on a real change; Save(false) writes only then.
#pragma once

#include "framework/FarConfig.h"

#include <cstdint>
#include <memory>
#include <unordered_map>

namespace Zelvane {

using Base::String;

class TOptions : public Tessel::TFarConfig {
public:
    class TSavedPatternList;

    // One remembered template with the counter value its next run starts at.
    class TSavedPatternInfo {
    public:
        // A new entry has the number "0"; creating it counts as a change.
        TSavedPatternInfo(TSavedPatternList& list, const String& templateText);
        TSavedPatternInfo(const TSavedPatternInfo&) = delete;
        TSavedPatternInfo& operator=(const TSavedPatternInfo&) = delete;

        TSavedPatternList& List() const { return *OwnerList; }
        const String& Template() const { return TemplateText; }
        const String& StartingNumber() const { return Number; }
        void SetStartingNumber(const String& number);

        // The stored line without its line feed: template, tab, number.
        String GetAsString() const;
        // Parses such a line: the text before the first tab is the template,
        // the rest the number (empty without a tab). Raises Base::Exception on
        // an empty text. An entry in the list changes its key along with its
        // template, and raises when the new template belongs to another entry.
        void SetAsString(const String& text);

    private:
        void Changed();

        TSavedPatternList* OwnerList;
        String TemplateText;
        String Number;
    };

    // Remembered counters per template, keyed exactly (letter case counts).
    class TSavedPatternList {
    public:
        // The owning map from template to entry; no order, no size limit.
        class TInternalList {
        public:
            TSavedPatternInfo* Find(const String& templateText) const;
            // Adds under the entry's template; false (and the entry destroyed)
            // when that template is present already.
            bool Add(std::unique_ptr<TSavedPatternInfo> entry);
            void Erase(const String& templateText);
            // Moves the entry of `from` to the key `to`, which must be free.
            void Rekey(const String& from, const String& to);
            void Clear() { Entries.clear(); }
            size_t Count() const { return Entries.size(); }

            auto begin() const { return Entries.begin(); }
            auto end() const { return Entries.end(); }

        private:
            std::unordered_map<String, std::unique_ptr<TSavedPatternInfo>> Entries;
        };

        explicit TSavedPatternList(TOptions& owner);
        TSavedPatternList(const TSavedPatternList&) = delete;
        TSavedPatternList& operator=(const TSavedPatternList&) = delete;

        TOptions& Owner() const { return *OwnerOptions; }
        const TInternalList& Entries() const { return Items; }
        size_t Count() const { return Items.Count(); }

        // The entry of exactly this template, or null.
        TSavedPatternInfo* TryGet(const String& templateText) const { return Items.Find(templateText); }
        // The entry of `templateText`, created when absent, with its number set.
        TSavedPatternInfo& Update(const String& templateText, const String& number);
        void Remove(const String& templateText);
        void Clear();

        // Every entry as "template<TAB>number<LF>", in the map's order.
        String SaveToString() const;
        // Adds the entries of such a text (lines may end in CR LF, CR or LF).
        // Empty lines and repeated templates are skipped: the first line wins.
        void LoadFromString(const String& text);

        // Raises Modified on the owning options.
        void Changed();

    private:
        friend class TSavedPatternInfo;
        TOptions* OwnerOptions;
        TInternalList Items;
    };

    TOptions();
    TOptions(const TOptions&) = delete;
    TOptions& operator=(const TOptions&) = delete;

    // Defaults, an empty list, and Modified set.
    void SetDefaults();
    // Reads every stored value, keeping the value in memory for a missing one;
    // clears Modified. When the store cannot be opened nothing changes.
    void Load();
    // Writes all five values when Modified (or always with `force`) and clears
    // Modified; when the store cannot be opened or a write is refused,
    // Modified stays set so that the next save tries again.
    void Save(bool force);

    const String& FileNameTemplate() const { return FileNameTemplateValue; }
    void SetFileNameTemplate(const String& value) { UpdateString(FileNameTemplateValue, value); }
    const String& StartingNumber() const { return StartingNumberText; }
    void SetStartingNumber(const String& value) { UpdateString(StartingNumberText, value); }
    bool AllowRenameFileUnderCursor() const { return AllowRenameFileUnderCursorValue; }
    void SetAllowRenameFileUnderCursor(bool value) { UpdateBool(AllowRenameFileUnderCursorValue, value); }
    bool SavePatternSettings() const { return SavePatternSettingsValue; }
    void SetSavePatternSettings(bool value) { UpdateBool(SavePatternSettingsValue, value); }
    TSavedPatternList& SavedPatterns() { return *SavedPatternList; }
    const TSavedPatternList& SavedPatterns() const { return *SavedPatternList; }

    // The counter value StartingNumber names; raises Base::EConvertError
    // "''<text>'' is not a valid integer value" when it names none.
    int32_t StartingNumberValue() const;
    // The counter's minimum number of digits: the length of StartingNumber.
    size_t StartingNumberWidth() const { return StartingNumberText.size(); }

private:
    String FileNameTemplateValue;
    String StartingNumberText;
    bool AllowRenameFileUnderCursorValue = false;
    std::unique_ptr<TSavedPatternList> SavedPatternList;
    bool SavePatternSettingsValue = false;
};

} // namespace Zelvane
