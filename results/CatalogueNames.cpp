#include "results/CatalogueNames.h"

#include <tuple>

namespace results {

namespace {

std::string TwoDigits(std::int32_t n) {
    return std::string{static_cast<char>('0' + n / 10 % 10), static_cast<char>('0' + n % 10)};
}

std::string FourDigits(std::int32_t n) {
    return TwoDigits(n / 100) + TwoDigits(n % 100);
}

// The number of `count` digits at `at`; nothing when one is no digit.
std::optional<std::int32_t> DigitsAt(std::string_view text, std::size_t at, std::size_t count) {
    std::int32_t n = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (i >= text.size() || text[i] < '0' || text[i] > '9') {
            return std::nullopt;
        }
        n = n * 10 + (text[i] - '0');
    }
    return n;
}

constexpr std::size_t kStampChars = 16;  // 20260109T101500Z

// The largest suffix taken: far more runs of one disc in one second than any drive reads.
constexpr std::int32_t kMaxSuffix = 999999;

}  // namespace

UtcTime UtcTimeOf(std::chrono::system_clock::time_point time) {
    using namespace std::chrono;
    const auto seconds = floor<std::chrono::seconds>(time);
    const auto day = floor<days>(seconds);
    const year_month_day date(day);
    const hh_mm_ss clock(seconds - day);
    return {static_cast<std::int32_t>(static_cast<int>(date.year())),
            static_cast<std::int32_t>(static_cast<unsigned>(date.month())),
            static_cast<std::int32_t>(static_cast<unsigned>(date.day())),
            static_cast<std::int32_t>(clock.hours().count()),
            static_cast<std::int32_t>(clock.minutes().count()),
            static_cast<std::int32_t>(clock.seconds().count())};
}

std::string StampOf(const UtcTime& t) {
    return FourDigits(t.year) + TwoDigits(t.month) + TwoDigits(t.day) + "T" + TwoDigits(t.hour) +
           TwoDigits(t.minute) + TwoDigits(t.second) + "Z";
}

std::string IsoTextOf(const UtcTime& t) {
    return FourDigits(t.year) + "-" + TwoDigits(t.month) + "-" + TwoDigits(t.day) + "T" +
           TwoDigits(t.hour) + ":" + TwoDigits(t.minute) + ":" + TwoDigits(t.second) + "Z";
}

std::optional<RunName> ParseRunFileName(std::string_view fileName) {
    if (fileName.size() < kStampChars + kRunExtension.size() ||
        fileName.substr(fileName.size() - kRunExtension.size()) != kRunExtension) {
        return std::nullopt;
    }
    const std::string_view stem = fileName.substr(0, fileName.size() - kRunExtension.size());
    const auto year = DigitsAt(stem, 0, 4);
    const auto month = DigitsAt(stem, 4, 2);
    const auto day = DigitsAt(stem, 6, 2);
    const auto hour = DigitsAt(stem, 9, 2);
    const auto minute = DigitsAt(stem, 11, 2);
    const auto second = DigitsAt(stem, 13, 2);
    if (!year || !month || !day || !hour || !minute || !second || stem[8] != 'T' ||
        stem[15] != 'Z') {
        return std::nullopt;
    }
    const std::chrono::year_month_day date{std::chrono::year(*year),
                                           std::chrono::month(static_cast<unsigned>(*month)),
                                           std::chrono::day(static_cast<unsigned>(*day))};
    if (!date.ok() || *hour > 23 || *minute > 59 || *second > 60) {
        return std::nullopt;
    }
    RunName name{{*year, *month, *day, *hour, *minute, *second}, 1};
    const std::string_view rest = stem.substr(kStampChars);
    if (rest.empty()) {
        return name;
    }
    // "-N" with N from 2 on, without leading zeros, so that each run has one name.
    if (rest.size() < 2 || rest.size() > 7 || rest[0] != '-' || rest[1] == '0') {
        return std::nullopt;
    }
    const auto suffix = DigitsAt(rest, 1, rest.size() - 1);
    if (!suffix || *suffix < 2 || *suffix > kMaxSuffix) {
        return std::nullopt;
    }
    name.suffix = *suffix;
    return name;
}

std::string StemOf(const RunName& name) {
    std::string stem = StampOf(name.time);
    if (name.suffix > 1) {
        stem += "-" + std::to_string(name.suffix);
    }
    return stem;
}

bool FiledBefore(const RunName& a, const RunName& b) {
    const auto key = [](const RunName& n) {
        return std::tie(n.time.year, n.time.month, n.time.day, n.time.hour, n.time.minute,
                        n.time.second, n.suffix);
    };
    return key(a) < key(b);
}

}  // namespace results
