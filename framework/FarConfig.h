// TFarConfig: typed access to the plugin's own settings store in the host.
//
// The store is selected by the plugin's GUID. Access is short-lived: Open
// creates a host settings handle (roaming location) and walks down a path of
// subkeys, the reads and writes work on the key that is open, and Close
// releases the handle, which is when the host commits the writes. Values are
// strings or unsigned 64-bit numbers; booleans travel as the numbers 0 and 1.
//
// The modified flag belongs to the options classes built on top: they raise
// it when a field really changes and consult it before saving.
#pragma once

#include "framework/FarModule.h"

#include <cstdint>
#include <optional>

namespace Tessel {

class TFarConfig : public TFarCommonModule {
public:
    // Captures the plugin's GUID (raises EFarPluginError without a plugin
    // object); with `openNow` also opens the store's root key.
    explicit TFarConfig(bool openNow);
    ~TFarConfig();
    TFarConfig(const TFarConfig&) = delete;
    TFarConfig& operator=(const TFarConfig&) = delete;

    // Makes the key at `path` (relative to the open key, or absolute when it
    // starts with a backslash) the open key: a fresh handle, then one subkey
    // call per name below the root, opening existing keys only when
    // `existingOnly`, creating missing ones otherwise. Asking for the key that
    // is already open costs no host call. False leaves the store closed.
    bool Open(const String& path, bool existingOnly = false);
    void Close();
    bool IsOpen() const { return SettingsHandle != nullptr; }
    bool IsOpenAt(StringView path) const { return IsOpen() && KeyPath == path; }

    // The absolute key path (names joined by single backslashes, no leading
    // or trailing one) that `path` names relative to the open key.
    String ResolvePath(StringView path) const;

    Far3::HANDLE Handle() const { return SettingsHandle; }
    int32_t Root() const { return RootKey; }
    const Far3::GUID& Guid() const { return StoreGuid; }
    const String& Path() const { return KeyPath; }

    // Reads of the open key. Nothing (or the default) when the store is
    // closed, the value is missing or the host refuses the type.
    std::optional<String> TryReadString(const String& name) const;
    String ReadString(const String& name, const String& defaultValue) const;
    std::optional<uint64_t> TryReadNumber(const String& name) const;
    std::optional<bool> TryReadBool(const String& name) const; // any non-zero number is true
    bool ReadBool(const String& name, bool defaultValue) const;

    // Writes to the open key; false when closed or refused, never an exception.
    bool WriteString(const String& name, const String& value);
    bool WriteNumber(const String& name, uint64_t value);
    bool WriteBool(const String& name, bool value);

    bool Modified() const { return IsModified; }
    void SetModified() { IsModified = true; }
    void ClearModified() { IsModified = false; }

protected:
    // Assign a field of the derived class and raise Modified, but only when
    // the value really differs (code unit by code unit, so letter case counts).
    void UpdateString(String& field, const String& value);
    void UpdateBool(bool& field, bool value);

private:
    intptr_t Control(Far3::HANDLE handle, Far3::FAR_SETTINGS_CONTROL_COMMANDS command, intptr_t param1,
                     void* param2) const;
    Far3::FarSettingsItem NewItem(const String& name, Far3::FARSETTINGSTYPES type) const;
    bool Write(Far3::FarSettingsItem& item);

    Far3::HANDLE SettingsHandle = nullptr;
    int32_t RootKey = 0;
    Far3::GUID StoreGuid{};
    String KeyPath;
    bool IsModified = false;
};

} // namespace Tessel
