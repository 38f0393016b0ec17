#include "platform/Wave.h"

#include <cstring>

namespace platform {

namespace {

std::uint32_t Le32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}
std::uint16_t Le16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

}  // namespace

double WaveSound::Seconds() const {
    const std::size_t frameBytes = std::size_t{channels} * (bitsPerSample / 8u);
    if (frameBytes == 0 || sampleRate == 0) {
        return 0.0;
    }
    const std::size_t wholeFrames = samples.size() / frameBytes;
    return static_cast<double>(wholeFrames) / sampleRate;
}

std::optional<WaveSound> ParseWave(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 ||
        std::memcmp(bytes.data() + 8, "WAVE", 4) != 0) {
        return std::nullopt;
    }
    WaveSound sound;
    bool haveFormat = false;
    std::size_t pos = 12;
    while (bytes.size() - pos >= 8) {
        const std::uint8_t* chunk = bytes.data() + pos;
        const std::uint32_t size = Le32(chunk + 4);
        const std::size_t body = pos + 8;
        if (size > bytes.size() - body) {
            return std::nullopt;
        }
        if (std::memcmp(chunk, "fmt ", 4) == 0 && size >= 16) {
            const std::uint16_t formatTag = Le16(chunk + 8);
            sound.channels = Le16(chunk + 10);
            sound.sampleRate = Le32(chunk + 12);
            sound.bitsPerSample = Le16(chunk + 22);
            haveFormat = formatTag == 1 && sound.channels >= 1 && sound.channels <= 2 &&
                         sound.sampleRate > 0 &&
                         (sound.bitsPerSample == 8 || sound.bitsPerSample == 16);
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (!haveFormat) {
                return std::nullopt;
            }
            sound.samples = bytes.subspan(body, size);
            return sound;
        }
        pos = body + size + (size & 1u);  // chunks are padded to even length
        if (pos > bytes.size()) {
            break;
        }
    }
    return std::nullopt;
}

}  // namespace platform
