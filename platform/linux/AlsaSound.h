#pragma once

#include "platform/Sound.h"

namespace platform {

// Plays through ALSA's default device (which reaches PulseAudio or PipeWire on a desktop).
// Without a usable device it returns at once and plays nothing.
class AlsaSoundPlayer final : public SoundPlayer {
  public:
    void Play(SoundCue cue) override;
};

}  // namespace platform
