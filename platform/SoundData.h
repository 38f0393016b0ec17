#pragma once

#include <cstdint>
#include <span>

namespace platform {

enum class SoundCue { Done, Error };

// The program's own wave files (RIFF/WAVE, PCM), built into it.
std::span<const std::uint8_t> WaveResource(SoundCue cue);

}  // namespace platform
