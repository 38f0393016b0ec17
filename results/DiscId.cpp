#include "results/DiscId.h"

#include <algorithm>

namespace results {

namespace {

constexpr std::uint64_t kFnvOffset = 0xcbf29ce484222325ULL;
constexpr std::uint64_t kFnvPrime = 0x100000001b3ULL;
constexpr std::string_view kHexDigits = "0123456789abcdef";

}  // namespace

std::string DiscIdOf(std::span<const std::uint8_t> descriptors) {
    std::uint64_t digest = kFnvOffset;
    for (const std::uint8_t byte : descriptors) {
        digest = (digest ^ byte) * kFnvPrime;
    }
    std::string id(kDiscIdChars, '0');
    for (std::size_t i = kDiscIdChars; i-- > 0; digest >>= 4) {
        id[i] = kHexDigits[digest & 0x0F];
    }
    return id;
}

bool IsDiscId(std::string_view name) {
    return name.size() == kDiscIdChars && std::all_of(name.begin(), name.end(), [](char c) {
               return kHexDigits.find(c) != std::string_view::npos;
           });
}

}  // namespace results
