#include "framework/FarConfig.h"

#include "framework/FarPlugin.h"

namespace Tessel {

namespace {

constexpr char16_t Backslash = u'\\';

// Key indices travel to the host as pointer-sized values, sign-extended.
size_t HostRoot(int32_t root)
{
    return static_cast<size_t>(static_cast<intptr_t>(root));
}

} // namespace

TFarConfig::TFarConfig(bool openNow)
    : StoreGuid(TFarPlugin::GetPlugin().GetPluginGuid())
{
    if (openNow)
        Open(String(), false);
}

TFarConfig::~TFarConfig()
{
    Close();
}

String TFarConfig::ResolvePath(StringView path) const
{
    String result = KeyPath;
    if (!path.empty()) {
        if (path.front() == Backslash) {
            result.clear();
            const size_t first = path.find_first_not_of(Backslash);
            path = first == StringView::npos ? StringView() : path.substr(first);
        }
        if (!path.empty()) {
            if (!result.empty())
                result += Backslash;
            result += path;
        }
    }
    const size_t last = result.find_last_not_of(Backslash);
    result.erase(last == String::npos ? 0 : last + 1);
    return result;
}

bool TFarConfig::Open(const String& path, bool existingOnly)
{
    String rest = ResolvePath(path);
    if (IsOpenAt(rest))
        return true;
    Close();

    Far3::FarSettingsCreate create{};
    create.StructSize = sizeof(create);
    create.Guid = StoreGuid;
    if (Control(Far3::InvalidHandleValue, Far3::SCTL_CREATE, Far3::PSL_ROAMING, &create) == 0)
        return false;
    // A host that says yes but hands back no handle has opened nothing.
    if (create.Handle == nullptr)
        return false;
    SettingsHandle = create.Handle;
    RootKey = 0;
    KeyPath.clear();

    const auto subkeyCommand = existingOnly ? Far3::SCTL_OPENSUBKEY : Far3::SCTL_CREATESUBKEY;
    while (!rest.empty()) {
        const size_t separator = rest.find(Backslash);
        const String name = rest.substr(0, separator);
        rest.erase(0, separator == String::npos ? String::npos : separator + 1);
        if (name.empty())
            continue; // between doubled backslashes

        Far3::FarSettingsValue value{};
        value.StructSize = sizeof(value);
        value.Root = HostRoot(RootKey);
        value.Value = StringPtr(name);
        // Key indices are small; a result whose low half is 0 would pass for
        // the store's root key, so it counts as a refusal too.
        RootKey = static_cast<int32_t>(Control(SettingsHandle, subkeyCommand, 0, &value));
        if (RootKey == 0) {
            Close();
            return false;
        }
        if (!KeyPath.empty())
            KeyPath += Backslash;
        KeyPath += name;
    }
    return true;
}

void TFarConfig::Close()
{
    RootKey = 0;
    if (SettingsHandle != nullptr) {
        Control(SettingsHandle, Far3::SCTL_FREE, 0, nullptr);
        SettingsHandle = nullptr;
    }
    KeyPath.clear();
}

intptr_t TFarConfig::Control(Far3::HANDLE handle, Far3::FAR_SETTINGS_CONTROL_COMMANDS command, intptr_t param1,
                             void* param2) const
{
    // Without a plugin object or a settings service every request is refused
    // (Close may run from a destructor, where raising is no option).
    if (!TFarPlugin::HasPlugin())
        return 0;
    const auto service = TFarPlugin::StartupInfo()->SettingsControl;
    if (service == nullptr)
        return 0;
    return service(handle, command, param1, param2);
}

Far3::FarSettingsItem TFarConfig::NewItem(const String& name, Far3::FARSETTINGSTYPES type) const
{
    Far3::FarSettingsItem item{};
    item.StructSize = sizeof(item);
    item.Root = HostRoot(RootKey);
    item.Name = StringPtr(name);
    item.Type = type;
    return item;
}

std::optional<String> TFarConfig::TryReadString(const String& name) const
{
    if (!IsOpen())
        return std::nullopt;
    Far3::FarSettingsItem item = NewItem(name, Far3::FST_STRING);
    if (Control(SettingsHandle, Far3::SCTL_GET, 0, &item) == 0)
        return std::nullopt;
    // The host's text lives only until the handle is released: copy it now.
    return StringFromPtr(item.Value.String);
}

String TFarConfig::ReadString(const String& name, const String& defaultValue) const
{
    return TryReadString(name).value_or(defaultValue);
}

std::optional<uint64_t> TFarConfig::TryReadNumber(const String& name) const
{
    if (!IsOpen())
        return std::nullopt;
    Far3::FarSettingsItem item = NewItem(name, Far3::FST_QWORD);
    if (Control(SettingsHandle, Far3::SCTL_GET, 0, &item) == 0)
        return std::nullopt;
    return item.Value.Number;
}

std::optional<bool> TFarConfig::TryReadBool(const String& name) const
{
    const auto number = TryReadNumber(name);
    if (!number)
        return std::nullopt;
    return *number != 0;
}

bool TFarConfig::ReadBool(const String& name, bool defaultValue) const
{
    return TryReadBool(name).value_or(defaultValue);
}

bool TFarConfig::Write(Far3::FarSettingsItem& item)
{
    if (!IsOpen())
        return false;
    return Control(SettingsHandle, Far3::SCTL_SET, 0, &item) != 0;
}

bool TFarConfig::WriteString(const String& name, const String& value)
{
    Far3::FarSettingsItem item = NewItem(name, Far3::FST_STRING);
    item.Value.String = StringPtr(value);
    return Write(item);
}

bool TFarConfig::WriteNumber(const String& name, uint64_t value)
{
    Far3::FarSettingsItem item = NewItem(name, Far3::FST_QWORD);
    item.Value.Number = value;
    return Write(item);
}

bool TFarConfig::WriteBool(const String& name, bool value)
{
    return WriteNumber(name, value ? 1 : 0);
}

void TFarConfig::UpdateString(String& field, const String& value)
{
    if (field == value)
        return;
    field = value;
    SetModified();
}

void TFarConfig::UpdateBool(bool& field, bool value)
{
    if (field == value)
        return;
    field = value;
    SetModified();
}

} // namespace Tessel
