// The shape of UTF-8: how many bytes a character takes, from its first byte.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

// The length of the UTF-8 character that the lead byte begins; 0 for a byte that begins none
// (a continuation byte, or one UTF-8 never uses).
constexpr std::size_t Utf8Length(std::uint8_t lead) {
    if (lead < 0x80) {
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        return 2;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        return 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        return 4;
    }
    return 0;
}

constexpr bool IsUtf8Continuation(std::uint8_t byte) {
    return (byte & 0xC0) == 0x80;
}

}  // namespace platform
