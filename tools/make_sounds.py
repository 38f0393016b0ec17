#!/usr/bin/env python3
"""Writes done.wav and error.wav: the two wave sounds the program plays.

DONE  (~0.93 s, 8-bit mono, 11,025 Hz): a rising two-note chime at the end of a run.
ERROR (~0.47 s, 16-bit stereo, 22,050 Hz): a short low double buzz when a run cannot start
or a data file holds no results.

Both are made here from sine tones, at build time: the Linux build embeds the files in
the program (tools/embed_waves.py), the Windows build as WAVE resources.
Usage: tools/make_sounds.py OUTPUT_FOLDER
"""
import io
import math
import os
import struct
import sys
import wave


def envelope(t, length, attack=0.01, release=0.08):
    if t < attack:
        return t / attack
    if t > length - release:
        return max(0.0, (length - t) / release)
    return 1.0


def done_samples(rate=11025, length=0.93):
    notes = [(0.0, 0.40, 880.0), (0.36, 0.93, 1318.5)]
    out = []
    for i in range(int(rate * length)):
        t = i / rate
        v = 0.0
        for start, end, freq in notes:
            if start <= t < end:
                local = t - start
                decay = math.exp(-3.0 * local)
                v += 0.45 * decay * envelope(local, end - start) * (
                    math.sin(2 * math.pi * freq * local)
                    + 0.3 * math.sin(2 * math.pi * 2 * freq * local))
        out.append(max(0, min(255, int(round(128 + 127 * v)))))
    return bytes(out)


def error_samples(rate=22050, length=0.47):
    frames = []
    for i in range(int(rate * length)):
        t = i / rate
        burst = 0 if t < 0.2 else 1
        local = t - 0.25 * burst
        on = (t < 0.2) or (0.25 <= t < 0.47)
        v = 0.0
        if on:
            freq = 233.1 if burst == 0 else 196.0
            tone = sum(math.sin(2 * math.pi * freq * k * local) / k for k in (1, 3, 5))
            v = 0.35 * tone * envelope(local, 0.2 if burst == 0 else 0.22, 0.005, 0.04)
        s = max(-32767, min(32767, int(v * 32767)))
        frames.append(struct.pack('<hh', s, s))
    return b''.join(frames)


def wav_bytes(data, channels, width, rate):
    buf = io.BytesIO()
    with wave.open(buf, 'wb') as w:
        w.setnchannels(channels)
        w.setsampwidth(width)
        w.setframerate(rate)
        w.writeframes(data)
    return buf.getvalue()


def main():
    if len(sys.argv) != 2:
        sys.exit('usage: make_sounds.py OUTPUT_FOLDER')
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    sounds = {
        'done.wav': wav_bytes(done_samples(), 1, 1, 11025),
        'error.wav': wav_bytes(error_samples(), 2, 2, 22050),
    }
    for name, data in sounds.items():
        with open(os.path.join(folder, name), 'wb') as f:
            f.write(data)


if __name__ == '__main__':
    main()
