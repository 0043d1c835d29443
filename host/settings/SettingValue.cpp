#include "host/settings/SettingValue.h"

#include <limits>

namespace Host {

namespace {

int64_t LeadingInteger(const std::string& text)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' || text[i] == '\r'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    // Accumulate as a negative number so INT64_MIN fits; saturate on overflow.
    int64_t value = 0;
    constexpr int64_t lowest = std::numeric_limits<int64_t>::min();
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        int digit = text[i] - '0';
        if (value < (lowest + digit) / 10)
            return negative ? lowest : std::numeric_limits<int64_t>::max();
        value = value * 10 - digit;
    }
    if (negative)
        return value;
    return value == lowest ? std::numeric_limits<int64_t>::max() : -value;
}

std::string TextOf(const SettingValue& value)
{
    if (auto number = std::get_if<int64_t>(&value))
        return std::to_string(*number);
    if (auto text = std::get_if<std::string>(&value))
        return *text;
    return std::get<SettingBlob>(value).Bytes;
}

} // namespace

Far3::FARSETTINGSTYPES SettingType(const SettingValue& value)
{
    if (std::holds_alternative<int64_t>(value))
        return Far3::FST_QWORD;
    if (std::holds_alternative<std::string>(value))
        return Far3::FST_STRING;
    return Far3::FST_DATA;
}

SettingValue ConvertSetting(const SettingValue& value, Far3::FARSETTINGSTYPES type)
{
    switch (type) {
    case Far3::FST_QWORD:
        if (auto number = std::get_if<int64_t>(&value))
            return *number;
        return LeadingInteger(TextOf(value));
    case Far3::FST_STRING: return TextOf(value);
    default: return SettingBlob{TextOf(value)};
    }
}

} // namespace Host
