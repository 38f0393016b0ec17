// Numbers kept least significant byte first, as disc structures and bitmap files keep them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace platform {

constexpr std::uint16_t Le16(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}

constexpr std::uint32_t Le32(std::span<const std::uint8_t> b, std::size_t at) {
    return std::uint32_t{b[at]} | std::uint32_t{b[at + 1]} << 8 | std::uint32_t{b[at + 2]} << 16 |
           std::uint32_t{b[at + 3]} << 24;
}

constexpr void PutLe16(std::span<std::uint8_t> d, std::size_t at, std::uint16_t v) {
    d[at] = static_cast<std::uint8_t>(v);
    d[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

constexpr void PutLe32(std::span<std::uint8_t> d, std::size_t at, std::uint32_t v) {
    for (std::size_t i = 0; i < 4; ++i) {
        d[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    }
}

}  // namespace platform
