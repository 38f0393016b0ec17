#include "platform/windows/ResourceSound.h"

#include <windows.h>

#include <mmsystem.h>

namespace platform {

namespace {

// The names of the sound cues among the program's resources, of the type "WAVE".
const char* ResourceName(SoundCue cue) {
    return cue == SoundCue::Done ? "DONE" : "ERROR";
}

}  // namespace

void ResourceSoundPlayer::Play(SoundCue cue) {
    // The result does not matter: a machine without sound simply stays silent.
    ::PlaySoundA(ResourceName(cue), ::GetModuleHandleA(nullptr), SND_RESOURCE | SND_SYNC);
}

std::span<const std::uint8_t> WaveResource(SoundCue cue) {
    const HMODULE program = ::GetModuleHandleA(nullptr);
    const HRSRC found = ::FindResourceA(program, ResourceName(cue), "WAVE");
    if (found == nullptr) {
        return {};
    }
    const HGLOBAL loaded = ::LoadResource(program, found);
    const void* bytes = loaded != nullptr ? ::LockResource(loaded) : nullptr;
    if (bytes == nullptr) {
        return {};
    }
    return {static_cast<const std::uint8_t*>(bytes), ::SizeofResource(program, found)};
}

}  // namespace platform
