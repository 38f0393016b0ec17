#!/usr/bin/env python3
"""Runs the simulated disc through the discometer-cli of a Linux build and through that of the
Windows build, under Wine, and checks that both write the same .dat and .bmp files, byte for
byte, but for what names the system: the values of the [SysInfo] section, and the chart's
title line, which names the system before the volume.

Usage: compare_builds.py LINUX_CLI WINDOWS_CLI.exe WORK_DIR
"""
import os
import shutil
import struct
import subprocess
import sys

# The title line: drawn from x = 120 in the rows above the chart's frame.
TITLE_LEFT = 120
TITLE_ROWS = 15


# A complete run of the simulated disc, which has unreadable areas.
RUN_WITH_UNREADABLE_BLOCKS = 3


def run(command, folder):
    env = dict(os.environ)
    env.pop('DISCOMETER_DRIVES', None)
    done = subprocess.run(command, cwd=folder, env=env, capture_output=True, timeout=600)
    if done.returncode != RUN_WITH_UNREADABLE_BLOCKS:
        sys.exit(f'{command[0]} exited with {done.returncode}:\n'
                 + done.stderr.decode(errors='replace'))


def dat_lines_without_system(data):
    """The document's lines, with the values of [SysInfo] left out."""
    lines = []
    section = None
    for line in data.split(b'\r\n'):
        if line.startswith(b'['):
            section = line
        if section == b'[SysInfo]' and b'=' in line:
            line = line.split(b'=', 1)[0] + b'='
        lines.append(line)
    return lines


def bmp_rows(data):
    """The header and the rows of a 24-bit bitmap, top row first."""
    offset, = struct.unpack_from('<I', data, 10)
    width, height, _, bits = struct.unpack_from('<iiHH', data, 18)
    if bits != 24:
        sys.exit(f'expected a 24-bit bitmap, found {bits} bits per pixel')
    stride = (width * 3 + 3) // 4 * 4
    rows = [data[offset + y * stride:offset + (y + 1) * stride] for y in range(abs(height))]
    if height > 0:
        rows.reverse()  # stored bottom-up
    return data[:offset], rows


def main():
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    linux_cli, windows_cli, work = (os.path.abspath(a) for a in sys.argv[1:])
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    measure = ['measure', 'sim-unpaced', '--dat']
    run([linux_cli] + measure + ['linux.dat', '--bmp', 'linux.bmp'], work)
    run(['wine', windows_cli] + measure + ['windows.dat', '--bmp', 'windows.bmp'], work)

    def read(name):
        with open(os.path.join(work, name), 'rb') as f:
            return f.read()

    problems = []
    linux_dat, windows_dat = read('linux.dat'), read('windows.dat')
    if linux_dat == windows_dat:
        problems.append('the .dat files name the same system')
    a, b = dat_lines_without_system(linux_dat), dat_lines_without_system(windows_dat)
    if a != b:
        diff = next((i for i, (x, y) in enumerate(zip(a, b)) if x != y), min(len(a), len(b)))
        problems.append(f'.dat line {diff + 1} differs: {a[diff:diff + 1]} / {b[diff:diff + 1]}')

    linux_head, linux_rows = bmp_rows(read('linux.bmp'))
    windows_head, windows_rows = bmp_rows(read('windows.bmp'))
    if linux_head != windows_head or len(linux_rows) != len(windows_rows):
        problems.append('the .bmp headers differ')
    else:
        for y, (x_row, y_row) in enumerate(zip(linux_rows, windows_rows)):
            if y < TITLE_ROWS:
                x_row, y_row = x_row[:TITLE_LEFT * 3], y_row[:TITLE_LEFT * 3]
            if x_row != y_row:
                column = next(i for i, (p, q) in enumerate(zip(x_row, y_row)) if p != q) // 3
                problems.append(f'.bmp pixel ({column}, {y}) differs')
                break
        if linux_rows[:TITLE_ROWS] == windows_rows[:TITLE_ROWS]:
            problems.append('the .bmp titles name the same system')

    for p in problems:
        print(p)
    if problems:
        sys.exit(1)
    print(f'{len(a)} document lines and {len(linux_rows)} picture rows alike; '
          'only the system differs')


if __name__ == '__main__':
    main()
