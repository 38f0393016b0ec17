#!/usr/bin/env python3
"""Writes the C++ source that builds the program's wave sounds into it.

Usage: tools/embed_waves.py OUTPUT.cpp DONE.wav ERROR.wav
"""
import sys


def c_array(name, data):
    lines = [f'const std::uint8_t {name}[] = {{']
    for i in range(0, len(data), 20):
        lines.append('    ' + ', '.join(str(b) for b in data[i:i + 20]) + ',')
    lines.append('};')
    return '\n'.join(lines)


def main():
    if len(sys.argv) != 4:
        sys.exit('usage: embed_waves.py OUTPUT.cpp DONE.wav ERROR.wav')
    out, done_path, error_path = sys.argv[1:]
    with open(done_path, 'rb') as f:
        done = f.read()
    with open(error_path, 'rb') as f:
        error = f.read()
    text = ('// Generated at build time by tools/embed_waves.py from the sounds of\n'
            '// tools/make_sounds.py.\n'
            '#include "platform/SoundData.h"\n\n'
            'namespace platform {\n\nnamespace {\n\n'
            + c_array('kDone', done) + '\n\n'
            + c_array('kError', error) + '\n\n'
            '}  // namespace\n\n'
            'std::span<const std::uint8_t> WaveResource(SoundCue cue) {\n'
            '    return cue == SoundCue::Done ? std::span<const std::uint8_t>(kDone)\n'
            '                                 : std::span<const std::uint8_t>(kError);\n'
            '}\n\n}  // namespace platform\n')
    with open(out, 'w') as f:
        f.write(text)


if __name__ == '__main__':
    main()
