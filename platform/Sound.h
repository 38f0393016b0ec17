#pragma once

#include "platform/SoundData.h"

namespace platform {

// Plays the program's sound cues. Play returns only when the sound has finished.
class SoundPlayer {
  public:
    virtual ~SoundPlayer() = default;
    virtual void Play(SoundCue cue) = 0;
};

// Plays through ALSA's default device (which reaches PulseAudio or PipeWire on a desktop).
// Without a usable device it returns at once and plays nothing.
class AlsaSoundPlayer final : public SoundPlayer {
  public:
    void Play(SoundCue cue) override;
};

}  // namespace platform
