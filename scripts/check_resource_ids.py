#!/usr/bin/env python3
"""Fails when the program's resources and the English library's differ in IDs.

    check_resource_ids.py WINDRES PROGRAM_RESOURCES LIBRARY_RESOURCES

Both files are compiled resources (.res objects); windres decompiles them to
.rc text, from which the IDs of strings, dialogs, each dialog's controls,
bitmaps and icons are read.  Texts, sizes and languages may differ; IDs not.
"""
import re
import subprocess
import sys
from collections import Counter

RESOURCE = re.compile(r'^(\S+) (\d+) /\* RT_(\w+) \*/')
DIALOG = re.compile(r'^(\S+) DIALOG(?:EX)? ')
STRING = re.compile(r'^\s+(\d+), L?"')
# A control line: keyword, text (quoted, escapes allowed) or picture ID, then the ID.
CONTROL = re.compile(r'^\s+[A-Z]+\s+(?:L?"(?:[^"\\]|\\.)*"|[^,"]+),\s*(-?\d+),')


def resource_ids(windres, path):
    text = subprocess.run([windres, '-J', 'coff', '-i', path, '-O', 'rc'], check=True,
                          capture_output=True, text=True, encoding='utf-8', errors='replace').stdout
    ids = {'string': set(), 'dialog': set(), 'bitmap': set(), 'icon': set()}
    controls = {}
    dialog = None
    for line in text.splitlines():
        if dialog is not None:
            if line.strip() == 'END':
                dialog = None
                continue
            match = CONTROL.match(line)
            if match and match.group(1) != '-1':  # unnamed labels may differ
                controls[dialog][match.group(1)] += 1
            continue
        match = STRING.match(line)
        if match:
            ids['string'].add(int(match.group(1)))
            continue
        match = DIALOG.match(line)
        if match:
            dialog = match.group(1)
            ids['dialog'].add(dialog)
            controls[dialog] = Counter()
            continue
        match = RESOURCE.match(line)
        if match and match.group(3) in ('BITMAP', 'GROUP_ICON'):
            ids['bitmap' if match.group(3) == 'BITMAP' else 'icon'].add(match.group(1))
    return ids, controls


def compare(program, library):
    (ids_a, controls_a), (ids_b, controls_b) = program, library
    problems = []
    for kind in ids_a:
        for missing in sorted(ids_a[kind] - ids_b[kind], key=str):
            problems.append(f'{kind} {missing}: in the program, missing from the English library')
        for extra in sorted(ids_b[kind] - ids_a[kind], key=str):
            problems.append(f'{kind} {extra}: in the English library, missing from the program')
    for dialog in sorted(ids_a['dialog'] & ids_b['dialog']):
        a, b = controls_a[dialog], controls_b[dialog]
        for control in sorted(set(a) | set(b), key=int):
            if a[control] != b[control]:
                problems.append(f'dialog {dialog}, control {control}: {a[control]} in the program, '
                                f'{b[control]} in the English library')
    return problems


def main():
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    windres = sys.argv[1]
    program = resource_ids(windres, sys.argv[2])
    library = resource_ids(windres, sys.argv[3])
    if not program[0]['string'] or not program[0]['dialog']:
        sys.exit('resource ID check: no strings or dialogs read from ' + sys.argv[2])
    problems = compare(program, library)
    for problem in problems:
        print('resource ID check: ' + problem, file=sys.stderr)
    if problems:
        sys.exit(1)
    counts = ', '.join(f'{len(v)} {k}s' for k, v in program[0].items())
    print(f'resource ID check: same IDs ({counts})')


if __name__ == '__main__':
    main()
