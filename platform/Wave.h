#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace platform {

// The format and samples of an uncompressed (PCM) wave file.
struct WaveSound {
    std::uint16_t channels = 0;
    std::uint32_t sampleRate = 0;
    std::uint16_t bitsPerSample = 0;  // 8 (unsigned) or 16 (signed little-endian)
    std::span<const std::uint8_t> samples;

    double Seconds() const;
};

// Reads a RIFF/WAVE file held in memory; nothing when it is not 8- or 16-bit PCM.
std::optional<WaveSound> ParseWave(std::span<const std::uint8_t> bytes);

}  // namespace platform
