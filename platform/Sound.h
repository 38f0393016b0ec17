#pragma once

#include <memory>

#include "platform/SoundData.h"

namespace platform {

// Plays the program's sound cues. Play returns only when the sound has finished.
class SoundPlayer {
  public:
    virtual ~SoundPlayer() = default;
    virtual void Play(SoundCue cue) = 0;
};

// The sound output of this build. Without a usable device it plays nothing and returns at
// once.
std::unique_ptr<SoundPlayer> MakeNativeSoundPlayer();

}  // namespace platform
