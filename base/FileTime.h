// Windows file times and Unix times, one conversion each way. A Windows
// file time (FILETIME) counts 100 ns steps from 1601-01-01 UTC; Windows
// takes only counts up to 2^63 - 1 (the year 30828). A Unix time is seconds
// and nanoseconds from 1970-01-01 UTC.
//
// Header-only and standard library only, so the platform layer and the
// stand-in host share it. Pure functions; a time a FILETIME cannot hold
// gives nothing rather than a wrapped value.
#pragma once

#include <chrono>
#include <ctime>
#include <cstdint>
#include <limits>
#include <optional>

namespace Base {

// 100 ns steps in a second, and from 1601-01-01 to 1970-01-01.
inline constexpr int64_t FileTimeTicksPerSecond = 10000000;
inline constexpr int64_t UnixEpochAsFileTime = 116444736000000000;

struct UnixTime {
    int64_t Seconds = 0;
    int64_t Nanoseconds = 0; // 0..999999999 after the seconds, also before 1970
};

// A 64-bit count from the two 32-bit halves Windows' records keep it in
// (FILETIME, a file size).
constexpr uint64_t JoinHalves(uint32_t high, uint32_t low)
{
    return (static_cast<uint64_t>(high) << 32) | low;
}

// The count of a FILETIME record (dwLowDateTime, dwHighDateTime): Far's
// and the platform layer's alike.
template <typename FileTimeRecord>
constexpr uint64_t FileTimeValue(const FileTimeRecord& time)
{
    return JoinHalves(time.dwHighDateTime, time.dwLowDateTime);
}

// A system clock time as a Unix time (nanoseconds never negative).
template <typename Duration>
constexpr UnixTime UnixTimeOf(std::chrono::sys_time<Duration> time)
{
    using namespace std::chrono;
    const auto sinceEpoch = time.time_since_epoch();
    const auto whole = floor<seconds>(sinceEpoch);
    const auto rest = duration_cast<nanoseconds>(sinceEpoch - whole);
    return {static_cast<int64_t>(whole.count()), static_cast<int64_t>(rest.count())};
}

// The file time of `time`, whole 100 ns steps (a part step is dropped).
// Nothing for a time before 1601 or beyond what Windows takes, and for
// nanoseconds outside 0..999999999.
constexpr std::optional<uint64_t> FileTimeFromUnixTime(UnixTime time)
{
    if (time.Nanoseconds < 0 || time.Nanoseconds >= 1000000000)
        return std::nullopt;
    // Seconds from 1601 that a FILETIME can count, checked before the
    // multiplication so nothing overflows on the way.
    constexpr int64_t EpochSeconds = UnixEpochAsFileTime / FileTimeTicksPerSecond;
    constexpr int64_t MaxSeconds = std::numeric_limits<int64_t>::max() / FileTimeTicksPerSecond;
    if (time.Seconds < -EpochSeconds || time.Seconds > MaxSeconds - EpochSeconds)
        return std::nullopt;
    const int64_t whole = (time.Seconds + EpochSeconds) * FileTimeTicksPerSecond;
    const int64_t part = time.Nanoseconds / 100;
    if (whole > std::numeric_limits<int64_t>::max() - part)
        return std::nullopt;
    return static_cast<uint64_t>(whole + part);
}

// The Unix time of a file time, exact to the 100 ns step. Never fails:
// every count fits (counts above 2^63 - 1, which Windows does not take,
// are converted all the same).
constexpr UnixTime UnixTimeFromFileTime(uint64_t ticks)
{
    constexpr auto PerSecond = static_cast<uint64_t>(FileTimeTicksPerSecond);
    const auto seconds = static_cast<int64_t>(ticks / PerSecond);
    const auto rest = static_cast<int64_t>(ticks % PerSecond);
    return {seconds - UnixEpochAsFileTime / FileTimeTicksPerSecond, rest * 100};
}

// The local calendar time of a FILETIME value, as panels and lists show
// dates; false for 0 (no time) or a time the C library cannot convert.
inline bool LocalCalendarTime(uint64_t ticks, std::tm& out)
{
    if (ticks == 0)
        return false;
    const auto seconds = static_cast<std::time_t>(UnixTimeFromFileTime(ticks).Seconds);
#if defined(_WIN32)
    return localtime_s(&out, &seconds) == 0;
#else
    return localtime_r(&seconds, &out) != nullptr;
#endif
}

} // namespace Base
