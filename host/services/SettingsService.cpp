#include "host/services/SettingsService.h"

#include "host/text/HostText.h"

namespace Host {

void SettingsService::SetPlugin(const Far3::GUID& guid, std::u16string title)
{
    PluginGuid = guid;
    PluginTitle = std::move(title);
    HasPlugin = true;
}

intptr_t SettingsService::Control(Far3::HANDLE handle, Far3::FAR_SETTINGS_CONTROL_COMMANDS command,
                                  intptr_t param1, void* param2)
{
    if (command == Far3::SCTL_CREATE)
        return Create(static_cast<Far3::FarSettingsCreate*>(param2), param1);

    auto found = Handles.find(handle);
    if (found == Handles.end())
        return 0;
    OpenSettings& open = *found->second;
    switch (command) {
    case Far3::SCTL_FREE: {
        bool committed = open.Session->Commit();
        Handles.erase(found);
        return committed ? 1 : 0;
    }
    case Far3::SCTL_SET: return Set(open, static_cast<const Far3::FarSettingsItem*>(param2));
    case Far3::SCTL_GET: return Get(open, static_cast<Far3::FarSettingsItem*>(param2));
    case Far3::SCTL_ENUM: return Enumerate(open, static_cast<Far3::FarSettingsEnum*>(param2));
    case Far3::SCTL_DELETE: return Delete(open, static_cast<const Far3::FarSettingsValue*>(param2));
    case Far3::SCTL_CREATESUBKEY: return SubKey(open, static_cast<const Far3::FarSettingsValue*>(param2), true);
    case Far3::SCTL_OPENSUBKEY: return SubKey(open, static_cast<const Far3::FarSettingsValue*>(param2), false);
    default: return 0;
    }
}

intptr_t SettingsService::Create(Far3::FarSettingsCreate* create, intptr_t place)
{
    if (!create || create->StructSize < sizeof(Far3::FarSettingsCreate))
        return 0;
    // Only the loaded plugin's own settings (Far's own ones are not served).
    if (!HasPlugin || !(create->Guid == PluginGuid))
        return 0;
    auto session = Store.Open(PluginGuid, PluginTitle, place == Far3::PSL_LOCAL ? Far3::PSL_LOCAL : Far3::PSL_ROAMING);
    if (!session)
        return 0;
    auto open = std::make_unique<OpenSettings>();
    open->Keys.push_back(session->PluginRoot());
    open->Session = std::move(session);
    Far3::HANDLE handle = open.get();
    Handles[handle] = std::move(open);
    create->Handle = handle;
    return 1;
}

const SettingsKeyId* SettingsService::Key(const OpenSettings& open, size_t index) const
{
    return index < open.Keys.size() ? &open.Keys[index] : nullptr;
}

intptr_t SettingsService::Set(OpenSettings& open, const Far3::FarSettingsItem* item)
{
    if (!item || item->StructSize < sizeof(Far3::FarSettingsItem) || !item->Name)
        return 0;
    const SettingsKeyId* key = Key(open, item->Root);
    if (!key)
        return 0;
    std::string name = Utf16ToUtf8(item->Name);
    switch (item->Type) {
    case Far3::FST_QWORD:
        return open.Session->SetValue(*key, name, static_cast<int64_t>(item->Value.Number)) ? 1 : 0;
    case Far3::FST_STRING:
        return open.Session->SetValue(*key, name, Utf16ToUtf8(PluginText(item->Value.String))) ? 1 : 0;
    case Far3::FST_DATA: {
        if (!item->Value.Data.Data && item->Value.Data.Size != 0)
            return 0;
        std::string bytes;
        if (item->Value.Data.Size != 0)
            bytes.assign(static_cast<const char*>(item->Value.Data.Data), item->Value.Data.Size);
        return open.Session->SetValue(*key, name, SettingBlob{std::move(bytes)}) ? 1 : 0;
    }
    default: return 0;
    }
}

intptr_t SettingsService::Get(OpenSettings& open, Far3::FarSettingsItem* item)
{
    if (!item || item->StructSize < sizeof(Far3::FarSettingsItem) || !item->Name)
        return 0;
    if (item->Type != Far3::FST_QWORD && item->Type != Far3::FST_STRING && item->Type != Far3::FST_DATA)
        return 0;
    const SettingsKeyId* key = Key(open, item->Root);
    if (!key)
        return 0;
    std::optional<SettingValue> stored = open.Session->GetValue(*key, Utf16ToUtf8(item->Name));
    if (!stored)
        return 0;
    SettingValue value = ConvertSetting(*stored, item->Type);
    switch (item->Type) {
    case Far3::FST_QWORD: item->Value.Number = static_cast<uint64_t>(std::get<int64_t>(value)); break;
    case Far3::FST_STRING:
        item->Value.String = open.Texts.emplace_back(Utf8ToUtf16(std::get<std::string>(value))).c_str();
        break;
    default: {
        const std::string& bytes = open.Data.emplace_back(std::get<SettingBlob>(value).Bytes);
        item->Value.Data.Size = bytes.size();
        item->Value.Data.Data = bytes.data();
        break;
    }
    }
    return 1;
}

intptr_t SettingsService::Enumerate(OpenSettings& open, Far3::FarSettingsEnum* list)
{
    if (!list || list->StructSize < sizeof(Far3::FarSettingsEnum))
        return 0;
    const SettingsKeyId* key = Key(open, list->Root);
    if (!key)
        return 0;
    std::vector<Far3::FarSettingsName>& names = open.NameLists.emplace_back();
    for (const SettingsName& entry : open.Session->Enumerate(*key))
        names.push_back({open.Texts.emplace_back(Utf8ToUtf16(entry.Name)).c_str(), entry.Type});
    list->Count = names.size();
    list->Items = names.data();
    return 1;
}

intptr_t SettingsService::Delete(OpenSettings& open, const Far3::FarSettingsValue* value)
{
    if (!value || value->StructSize < sizeof(Far3::FarSettingsValue))
        return 0;
    const SettingsKeyId* key = Key(open, value->Root);
    if (!key)
        return 0;
    bool done = value->Value ? open.Session->DeleteValue(*key, Utf16ToUtf8(value->Value))
                             : open.Session->DeleteKey(*key);
    return done ? 1 : 0;
}

intptr_t SettingsService::SubKey(OpenSettings& open, const Far3::FarSettingsValue* value, bool create)
{
    if (!value || value->StructSize < sizeof(Far3::FarSettingsValue))
        return 0;
    const SettingsKeyId* parent = Key(open, value->Root);
    std::u16string_view name = PluginText(value->Value);
    if (!parent || name.empty() || name.find(u'\\') != std::u16string_view::npos)
        return 0;
    std::string utf8 = Utf16ToUtf8(name);
    std::optional<SettingsKeyId> key =
        create ? open.Session->CreateKey(*parent, utf8) : open.Session->FindKey(*parent, utf8);
    if (!key)
        return 0;
    open.Keys.push_back(*key);
    return static_cast<intptr_t>(open.Keys.size() - 1);
}

} // namespace Host
