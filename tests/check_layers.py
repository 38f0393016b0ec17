#!/usr/bin/env python3
"""Checks that every include follows the layers: each folder may include only from the
layers below it (and its own), Qt stays in the Qt front end, system headers stay in the
platform's per-system folders, and engine/ and results/ hold no conditional compilation.

Usage: check_layers.py SOURCE_ROOT
"""
import os
import re
import sys

STATE = {'engine/ChartLayout.h', 'engine/DataList.h', 'engine/RunContext.h', 'engine/RunState.h',
         'engine/RunWindow.h', 'engine/ShortText.h'}

# Layer of a file, from the most specific folder.
def layer(path):
    if path in STATE:
        return 'state'
    for prefix, name in (('platform/', 'platform'), ('system/startup/', 'startup'),
                         ('system/', 'system'), ('results/', 'results'), ('engine/', 'engine'),
                         ('ui/', 'ui'), ('cli/', 'cli')):
        if path.startswith(prefix):
            return name
    return None

# What each layer may include, besides itself and the generated version header.
ALLOWED = {
    'platform': {'platform'},
    'state': {'platform', 'state'},
    'system': {'platform', 'state', 'system'},
    'results': {'platform', 'state', 'system', 'results'},
    'engine': {'platform', 'state', 'system', 'results', 'engine'},
    'startup': {'platform', 'state', 'system', 'results', 'engine', 'startup'},
    'ui': {'platform', 'state', 'system', 'results', 'engine', 'startup', 'ui'},
    'cli': {'platform', 'state', 'system', 'results', 'engine', 'startup', 'cli'},
}

SYSTEM_HEADER = re.compile(r'#\s*include\s*<(unistd\.h|fcntl\.h|sys/|linux/|alsa/|dlfcn\.h|grp\.h|'
                           r'pwd\.h|termios\.h|signal\.h|windows\.h|winioctl\.h|io\.h|'
                           r'mmsystem\.h|shellapi\.h|commdlg\.h|commctrl\.h)', re.I)
QT_HEADER = re.compile(r'#\s*include\s*<Q')
INCLUDE = re.compile(r'#\s*include\s*"([^"]+)"')
CONDITIONAL = re.compile(r'^\s*#\s*(if|ifdef|ifndef|elif)\b', re.M)


def is_os_folder(path):
    parts = path.split('/')
    return len(parts) > 2 and parts[0] == 'platform' and parts[1] in ('linux', 'windows')


def is_qt_front_end(path):
    # The Qt window; its Qt-free parts (the gauge core, the forms) and the Win32 window
    # stay free of Qt.
    return (path.startswith('ui/') and not path.startswith('ui/forms/') and
            not path.startswith('ui/win32/') and not os.path.basename(path).startswith('GaugeCore'))


def is_win32_front_end(path):
    return path.startswith('ui/win32/')


def main():
    root = sys.argv[1]
    problems = []
    for top in ('platform', 'engine', 'results', 'system', 'ui', 'cli'):
        folder = os.path.join(root, top)
        if not os.path.isdir(folder):
            continue
        for dirpath, _, files in os.walk(folder):
            for name in files:
                if not name.endswith(('.h', '.cpp')):
                    continue
                full = os.path.join(dirpath, name)
                path = os.path.relpath(full, root).replace(os.sep, '/')
                own = layer(path)
                text = open(full, encoding='utf-8', errors='replace').read()
                for target in INCLUDE.findall(text):
                    if target.startswith('discometer/'):
                        continue
                    other = layer(target)
                    if other is not None and other not in ALLOWED[own]:
                        problems.append(f'{path}: includes {target} ({own} may not use {other})')
                if SYSTEM_HEADER.search(text) and not is_os_folder(path) and \
                        not is_win32_front_end(path):
                    problems.append(f'{path}: includes a system header outside platform/linux '
                                    'or platform/windows')
                if QT_HEADER.search(text) and not is_qt_front_end(path):
                    problems.append(f'{path}: includes Qt outside the Qt window')
                if own in ('engine', 'results', 'state') and CONDITIONAL.search(text):
                    problems.append(f'{path}: conditional compilation in {own}')
    for p in sorted(set(problems)):
        print(p)
    return 1 if problems else 0


if __name__ == '__main__':
    sys.exit(main())
