#include "results/NumberText.h"

#include <charconv>
#include <cmath>
#include <cstddef>
#include <limits>
#include <system_error>

namespace results {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::size_t SkipBlanks(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) {
        ++i;
    }
    return i;
}

// Decimal exponent above which any digit string overflows a double and below which any
// underflows; only used to keep the exponent arithmetic small.
constexpr std::int64_t kExponentClamp = 1'000'000;

}  // namespace

std::int32_t TextToInt(std::string_view text) {
    constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
    constexpr std::int64_t kMin = std::numeric_limits<std::int32_t>::min();
    std::size_t i = SkipBlanks(text);
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // Accumulate the magnitude in 64 bits and stop growing it once it is past the range, so
    // any number of digits is safe.
    std::int64_t magnitude = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        if (magnitude <= kMax + 1) {
            magnitude = magnitude * 10 + (text[i] - '0');
        }
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value > kMax) {
        return static_cast<std::int32_t>(kMax);
    }
    if (value < kMin) {
        return static_cast<std::int32_t>(kMin);
    }
    return static_cast<std::int32_t>(value);
}

double TextToReal(std::string_view text) {
    const std::size_t start = SkipBlanks(text);
    std::size_t i = start;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    const std::size_t mantissaStart = i;

    // Integer part, fraction, and where the first significant digit stands relative to the
    // decimal point (for telling overflow from underflow below).
    std::int64_t digitCount = 0;
    std::int64_t pointExponent = 0;  // decimal exponent of the first nonzero digit, plus one
    bool sawNonzero = false;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        ++digitCount;
        if (text[i] != '0') {
            sawNonzero = true;
        }
        if (sawNonzero && pointExponent < kExponentClamp) {
            ++pointExponent;
        }
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        for (; i < text.size() && IsDigit(text[i]); ++i) {
            ++digitCount;
            if (!sawNonzero) {
                if (text[i] != '0') {
                    sawNonzero = true;
                } else if (pointExponent > -kExponentClamp) {
                    --pointExponent;
                }
            }
        }
    }
    if (digitCount == 0) {
        return 0.0;
    }
    std::size_t end = i;
    std::int64_t exponent = 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        bool negativeExponent = false;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
            negativeExponent = text[j] == '-';
            ++j;
        }
        if (j < text.size() && IsDigit(text[j])) {
            for (; j < text.size() && IsDigit(text[j]); ++j) {
                if (exponent < kExponentClamp) {
                    exponent = exponent * 10 + (text[j] - '0');
                }
            }
            if (negativeExponent) {
                exponent = -exponent;
            }
            end = j;
        }
    }
    if (!sawNonzero) {
        return 0.0;
    }

    // The prefix is now known to be well formed; from_chars takes no '+' sign, so the sign is
    // applied here.
    double magnitude = 0.0;
    const char* first = text.data() + mantissaStart;
    const char* last = text.data() + end;
    const auto result = std::from_chars(first, last, magnitude, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        // The value is 0.d1d2... x 10^(pointExponent + exponent): a positive power means it
        // is at least 0.1 and so too large; otherwise below 1 and so too small.
        magnitude = pointExponent + exponent > 0 ? std::numeric_limits<double>::max() : 0.0;
    } else if (result.ec != std::errc() || !std::isfinite(magnitude)) {
        magnitude = 0.0;
    }
    return negative ? -magnitude : magnitude;
}

std::string IntToText(std::int32_t value) {
    char buffer[16];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::string UnsignedToText(std::uint32_t value) {
    char buffer[16];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::string TruncToText(double value) {
    if (std::isnan(value)) {
        return "0";
    }
    if (std::isinf(value)) {
        value =
            value > 0 ? std::numeric_limits<double>::max() : -std::numeric_limits<double>::max();
    }
    const double whole = std::trunc(value);
    if (whole == 0.0) {
        return "0";  // never "-0"
    }
    // The largest double has 309 integer digits.
    char buffer[400];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, whole, std::chars_format::fixed, 0);
    if (result.ec != std::errc()) {
        return "0";
    }
    return std::string(buffer, result.ptr);
}

}  // namespace results
