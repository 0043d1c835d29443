#include "plugin/uOptions.h"

#include "base/Exception.h"
#include "base/IntConvert.h"
#include "base/ScopeGuard.h"
#include "plugin/uStrings.h"

namespace Zelvane {

namespace {

constexpr char16_t DefaultFileNameTemplate[] = u"file%#.%e";
constexpr char16_t DefaultStartingNumber[] = u"0";

constexpr char16_t FileNameTemplateKey[] = u"FileNameTemplate";
constexpr char16_t StartingNumberKey[] = u"StartingNumber";
constexpr char16_t AllowRenameFileUnderCursorKey[] = u"AllowRenameFileUnderCursor";
constexpr char16_t SavePatternSettingsKey[] = u"SavePatternSettings";
constexpr char16_t SavedPatternsKey[] = u"SavedPatterns";

constexpr char16_t FieldSeparator = u'\t';
constexpr char16_t LineEnd = u'\n';

} // namespace

// ---------------------------------------------------------------- TSavedPatternInfo

TOptions::TSavedPatternInfo::TSavedPatternInfo(TSavedPatternList& list, const String& templateText)
    : OwnerList(&list), TemplateText(templateText), Number(DefaultStartingNumber)
{
    Changed();
}

void TOptions::TSavedPatternInfo::SetStartingNumber(const String& number)
{
    if (Number == number)
        return;
    Number = number;
    Changed();
}

String TOptions::TSavedPatternInfo::GetAsString() const
{
    return TemplateText + FieldSeparator + Number;
}

void TOptions::TSavedPatternInfo::SetAsString(const String& text)
{
    if (text.empty())
        throw Base::Exception(u"Invalid argument for TOptions.TSavedPatternInfo.SetAsString");
    String number = text;
    String templateText;
    SplitFirst(number, String(1, FieldSeparator), templateText, false);

    if (templateText != TemplateText) {
        // The map finds entries by their template, so a listed entry moves
        // to its new key; two entries must never share one.
        auto& items = OwnerList->Items;
        if (items.Find(TemplateText) == this) {
            if (items.Find(templateText) != nullptr)
                throw Base::Exception(u"Template already saved: " + templateText);
            items.Rekey(TemplateText, templateText);
        }
        TemplateText = templateText;
        Changed();
    }
    SetStartingNumber(number);
}

void TOptions::TSavedPatternInfo::Changed()
{
    OwnerList->Changed();
}

// ---------------------------------------------------------------- TInternalList

TOptions::TSavedPatternInfo* TOptions::TSavedPatternList::TInternalList::Find(const String& templateText) const
{
    const auto found = Entries.find(templateText);
    return found == Entries.end() ? nullptr : found->second.get();
}

bool TOptions::TSavedPatternList::TInternalList::Add(std::unique_ptr<TSavedPatternInfo> entry)
{
    const String key = entry->Template();
    return Entries.try_emplace(key, std::move(entry)).second;
}

void TOptions::TSavedPatternList::TInternalList::Erase(const String& templateText)
{
    Entries.erase(templateText);
}

void TOptions::TSavedPatternList::TInternalList::Rekey(const String& from, const String& to)
{
    String key = to; // copied first: nothing below allocates a string
    auto node = Entries.extract(from);
    if (node.empty())
        return;
    node.key() = std::move(key);
    Entries.insert(std::move(node));
}

// ---------------------------------------------------------------- TSavedPatternList

TOptions::TSavedPatternList::TSavedPatternList(TOptions& owner)
    : OwnerOptions(&owner)
{
}

TOptions::TSavedPatternInfo& TOptions::TSavedPatternList::Update(const String& templateText, const String& number)
{
    TSavedPatternInfo* entry = TryGet(templateText);
    if (entry == nullptr) {
        auto created = std::make_unique<TSavedPatternInfo>(*this, templateText);
        entry = created.get();
        Items.Add(std::move(created)); // the template is absent, so this adds
        Changed();
    }
    entry->SetStartingNumber(number);
    return *entry;
}

void TOptions::TSavedPatternList::Remove(const String& templateText)
{
    if (TryGet(templateText) == nullptr)
        return;
    Items.Erase(templateText);
    Changed();
}

void TOptions::TSavedPatternList::Clear()
{
    if (Items.Count() != 0)
        Changed();
    Items.Clear();
}

String TOptions::TSavedPatternList::SaveToString() const
{
    String text;
    for (const auto& [key, entry] : Items) {
        text += entry->GetAsString();
        text += LineEnd;
    }
    return text;
}

void TOptions::TSavedPatternList::LoadFromString(const String& text)
{
    // A damaged line costs only itself: empty lines and repeated templates
    // are skipped, a line that raises anything is skipped, and the rest of
    // the list loads.
    String rest = text;
    String line;
    while (ExtractLine(rest, line, false)) {
        if (line.empty())
            continue;
        try {
            auto entry = std::make_unique<TSavedPatternInfo>(*this, String());
            entry->SetAsString(line);
            Items.Add(std::move(entry)); // false for a repeated template: the first line wins
        } catch (...) {
            // This line only; the next one still loads.
        }
    }
}

void TOptions::TSavedPatternList::Changed()
{
    OwnerOptions->SetModified();
}

// ---------------------------------------------------------------- TOptions

TOptions::TOptions()
    : TFarConfig(false), SavedPatternList(std::make_unique<TSavedPatternList>(*this))
{
    SetDefaults();
}

void TOptions::SetDefaults()
{
    FileNameTemplateValue = String(DefaultFileNameTemplate);
    StartingNumberText = String(DefaultStartingNumber);
    AllowRenameFileUnderCursorValue = false;
    SavePatternSettingsValue = false;
    SavedPatternList->Clear();
    SetModified();
}

void TOptions::Load()
{
    if (!Open(String(), false))
        return;
    // The settings handle is released however the load or save ends.
    const Base::ScopeGuard closeOnExit([this] { Close(); });

    SetFileNameTemplate(ReadString(FileNameTemplateKey, FileNameTemplate()));
    SetStartingNumber(ReadString(StartingNumberKey, StartingNumber()));
    SetAllowRenameFileUnderCursor(ReadBool(AllowRenameFileUnderCursorKey, AllowRenameFileUnderCursor()));
    SetSavePatternSettings(ReadBool(SavePatternSettingsKey, SavePatternSettings()));
    SavedPatternList->Clear();
    if (const auto patterns = TryReadString(SavedPatternsKey))
        SavedPatternList->LoadFromString(*patterns);
    ClearModified();
}

void TOptions::Save(bool force)
{
    if (!force && !Modified())
        return;
    if (!Open(String(), false))
        return;
    // The settings handle is released however the load or save ends.
    const Base::ScopeGuard closeOnExit([this] { Close(); });

    bool written = WriteString(FileNameTemplateKey, FileNameTemplate());
    written = WriteString(StartingNumberKey, StartingNumber()) && written;
    written = WriteBool(AllowRenameFileUnderCursorKey, AllowRenameFileUnderCursor()) && written;
    written = WriteBool(SavePatternSettingsKey, SavePatternSettings()) && written;
    written = WriteString(SavedPatternsKey, SavedPatternList->SaveToString()) && written;
    if (written)
        ClearModified();
}

int32_t TOptions::StartingNumberValue() const
{
    return Base::StrToInt(StartingNumberText);
}

} // namespace Zelvane
