#include <alsa/asoundlib.h>

#include <memory>

#include "platform/Wave.h"
#include "platform/linux/AlsaSound.h"

namespace platform {

namespace {

constexpr unsigned kLatencyMicroseconds = 100000;

// ALSA writes its complaints to stderr; a machine without a sound card is no error here.
void Quiet(const char*, int, const char*, int, const char*, ...) {}

struct PcmCloser {
    void operator()(snd_pcm_t* pcm) const { snd_pcm_close(pcm); }
};

}  // namespace

void AlsaSoundPlayer::Play(SoundCue cue) {
    const auto sound = ParseWave(WaveResource(cue));
    if (!sound) {
        return;
    }
    snd_lib_error_set_handler(&Quiet);
    snd_pcm_t* raw = nullptr;
    // Non-blocking open: a busy or missing device must not hold the program up.
    if (snd_pcm_open(&raw, "default", SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0) {
        return;
    }
    std::unique_ptr<snd_pcm_t, PcmCloser> pcm(raw);
    const snd_pcm_format_t format =
        sound->bitsPerSample == 8 ? SND_PCM_FORMAT_U8 : SND_PCM_FORMAT_S16_LE;
    if (snd_pcm_nonblock(pcm.get(), 0) < 0 ||
        snd_pcm_set_params(pcm.get(), format, SND_PCM_ACCESS_RW_INTERLEAVED, sound->channels,
                           sound->sampleRate, 1, kLatencyMicroseconds) < 0) {
        return;
    }
    const std::size_t frameBytes = std::size_t{sound->channels} * (sound->bitsPerSample / 8u);
    const std::uint8_t* data = sound->samples.data();
    snd_pcm_uframes_t left = sound->samples.size() / frameBytes;
    while (left > 0) {
        snd_pcm_sframes_t written = snd_pcm_writei(pcm.get(), data, left);
        if (written < 0) {
            written = snd_pcm_recover(pcm.get(), static_cast<int>(written), 1);
            if (written < 0) {
                return;
            }
            continue;
        }
        left -= static_cast<snd_pcm_uframes_t>(written);
        data += static_cast<std::size_t>(written) * frameBytes;
    }
    snd_pcm_drain(pcm.get());  // returns when the last sample has been played
}

}  // namespace platform
