// A value in the settings store, as SQLite types it (INTEGER, TEXT, BLOB),
// and the conversions SQLite applies when a value is read as another type:
// Far's SCTL_GET converts instead of failing.
#pragma once

#include "far3/Plugin3.h"

#include <cstdint>
#include <string>
#include <variant>

namespace Host {

struct SettingBlob {
    std::string Bytes;
    bool operator==(const SettingBlob&) const = default;
};

// int64_t = FST_QWORD, std::string (UTF-8) = FST_STRING, SettingBlob = FST_DATA.
using SettingValue = std::variant<int64_t, std::string, SettingBlob>;

Far3::FARSETTINGSTYPES SettingType(const SettingValue& value);

// SQLite's rules: text read as a number gives its leading integer (else 0),
// a number read as text gives its decimal form, data and text share bytes.
// `type` must be FST_QWORD, FST_STRING or FST_DATA.
SettingValue ConvertSetting(const SettingValue& value, Far3::FARSETTINGSTYPES type);

} // namespace Host
