#!/usr/bin/env python3
"""Checks that a committed generated file is what its script makes today.

Usage: check_generated.py COMMITTED_FILE SCRIPT [ARG...]
Exits 77 (skipped) when an input the script reads is missing from this machine.
"""
import os
import subprocess
import sys


def main():
    committed, script, *args = sys.argv[1:]
    missing = [a for a in args if a.startswith('/') and not os.path.exists(a)]
    if missing:
        print('skipped: missing ' + ', '.join(missing))
        return 77
    fresh = subprocess.run([sys.executable, script, *args], check=True,
                           stdout=subprocess.PIPE).stdout
    with open(committed, 'rb') as f:
        if f.read() != fresh:
            print(f'{committed} differs from what {script} makes: run it again and commit')
            return 1
    return 0


if __name__ == '__main__':
    sys.exit(main())
