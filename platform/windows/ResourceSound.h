#pragma once

#include "platform/Sound.h"

namespace platform {

// Plays the program's wave resources "DONE" and "ERROR" with PlaySoundA, synchronously.
// Without a sound device the call returns at once and plays nothing.
class ResourceSoundPlayer final : public SoundPlayer {
  public:
    void Play(SoundCue cue) override;
};

}  // namespace platform
