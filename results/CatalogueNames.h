// The names of a catalogue's run files: the UTC date and time a run was filed, in a form
// that sorts as it reads and that every file system takes, "20260109T101500Z", with "-2",
// "-3", ... after it for a second run filed within the same second.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace results {

struct UtcTime {
    std::int32_t year = 1970;
    std::int32_t month = 1;
    std::int32_t day = 1;
    std::int32_t hour = 0;
    std::int32_t minute = 0;
    std::int32_t second = 0;
};

UtcTime UtcTimeOf(std::chrono::system_clock::time_point time);

// "20260109T101500Z".
std::string StampOf(const UtcTime& time);
// "2026-01-09T10:15:00Z".
std::string IsoTextOf(const UtcTime& time);

inline constexpr std::string_view kRunExtension = ".dat";
inline constexpr std::string_view kSideExtension = ".json";

// A run file's name taken apart.
struct RunName {
    UtcTime time;
    std::int32_t suffix = 1;  // 1 for the name without one
};

// The name of a run file, "20260109T101500Z.dat" or "20260109T101500Z-2.dat"; nothing for
// any other name, a date that is no date among them.
std::optional<RunName> ParseRunFileName(std::string_view fileName);

// The name without its extension.
std::string StemOf(const RunName& name);

// Earlier first: by time, then by suffix.
bool FiledBefore(const RunName& a, const RunName& b);

}  // namespace results
