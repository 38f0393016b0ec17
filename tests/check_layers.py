#!/usr/bin/env python3
"""Checks that every include follows the layers. A file's layer is the folder it lives in;
each layer may include from itself and the layers below it, never from one above or beside
it: the two windows and the command line do not include each other. Qt stays in the Qt
window, system headers in the platform's per-system folders and the Win32 window, and the
run state, the results and the engine hold no conditional compilation.

Usage: check_layers.py SOURCE_ROOT
"""
import os
import re
import sys

# The layers from the lowest up; the folders of one entry stand side by side.
LAYERS = [
    ('platform',),
    ('run',),
    ('system',),
    ('results',),
    ('engine',),
    ('startup',),
    ('ui/forms',),
    ('ui/qt', 'ui/win32', 'cli'),
]
RANK = {folder: rank for rank, folders in enumerate(LAYERS) for folder in folders}
# Folders that hold sources but are no layer: they may use any layer, and no layer uses them.
NOT_LAYERS = {'bench', 'cmake', 'doc', 'packaging', 'tests', 'tools'}
GENERATED = 'discometer/'

SYSTEM_HEADER = re.compile(r'#\s*include\s*<(unistd\.h|fcntl\.h|sys/|linux/|alsa/|dlfcn\.h|grp\.h|'
                           r'pwd\.h|termios\.h|signal\.h|windows\.h|winioctl\.h|io\.h|'
                           r'mmsystem\.h|shellapi\.h|commdlg\.h|commctrl\.h)', re.I)
QT_HEADER = re.compile(r'#\s*include\s*<Q')
INCLUDE = re.compile(r'#\s*include\s*"([^"]+)"')
CONDITIONAL = re.compile(r'^\s*#\s*(if|ifdef|ifndef|elif)\b', re.M)
SYSTEM_HEADER_FOLDERS = ('platform/linux/', 'platform/windows/', 'ui/win32/')
QT_FOLDERS = ('ui/qt/',)
UNCONDITIONAL = ('run', 'results', 'engine')


def layer(path):
    """The layer folder a path lies in, the deepest that matches; None outside the layers."""
    best = None
    for folder in RANK:
        if path.startswith(folder + '/') and (best is None or len(folder) > len(best)):
            best = folder
    return best


def include_problems(path, own, target):
    if target.startswith(GENERATED):
        return []
    top = target.split('/', 1)[0]
    if top in NOT_LAYERS:
        return [f'{path}: includes {target} ({top}/ is no layer)']
    other = layer(target)
    if other is None or other == own:
        return []
    if RANK[other] > RANK[own]:
        return [f'{path}: includes {target} ({own} lies below {other})']
    if RANK[other] == RANK[own]:
        return [f'{path}: includes {target} ({own} and {other} stand side by side)']
    return []


def file_problems(root, path):
    own = layer(path)
    text = open(os.path.join(root, path), encoding='utf-8', errors='replace').read()
    problems = []
    for target in INCLUDE.findall(text):
        problems += include_problems(path, own, target)
    if SYSTEM_HEADER.search(text) and not path.startswith(SYSTEM_HEADER_FOLDERS):
        problems.append(f'{path}: includes a system header outside ' +
                        ', '.join(SYSTEM_HEADER_FOLDERS))
    if QT_HEADER.search(text) and not path.startswith(QT_FOLDERS):
        problems.append(f'{path}: includes Qt outside the Qt window')
    if own in UNCONDITIONAL and CONDITIONAL.search(text):
        problems.append(f'{path}: conditional compilation in {own}')
    return problems


def source_files(root):
    for dirpath, dirnames, files in os.walk(root):
        dirnames[:] = [d for d in dirnames if not d.startswith(('.', 'build'))]
        for name in files:
            if name.endswith(('.h', '.cpp')):
                yield os.path.relpath(os.path.join(dirpath, name), root).replace(os.sep, '/')


def main():
    root = sys.argv[1]
    problems = []
    for path in source_files(root):
        top = path.split('/', 1)[0]
        if '/' not in path or top in NOT_LAYERS:
            continue
        if layer(path) is None:
            problems.append(f'{path}: lies in no layer')
            continue
        problems += file_problems(root, path)
    for p in sorted(set(problems)):
        print(p)
    return 1 if problems else 0


if __name__ == '__main__':
    sys.exit(main())
