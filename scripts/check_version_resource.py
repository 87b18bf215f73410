#!/usr/bin/env python3
"""Checks the version resource of Windows binaries.

    check_version_resource.py VERSION COPYRIGHT FILE...

Each file must carry FileVersion and ProductVersion equal to VERSION and a
LegalCopyright equal to COPYRIGHT (the values are read from the resource's
string table as stored: UTF-16 key, padding, UTF-16 value).
"""
import sys


def value(data, key):
    needle = (key + '\0').encode('utf-16-le')
    at = data.find(needle)
    if at < 0:
        return None
    at += len(needle)
    while data[at:at + 2] == b'\0\0':
        at += 2
    end = at
    while data[end:end + 2] != b'\0\0':
        end += 2
    return data[at:end].decode('utf-16-le')


def main():
    version, copyright_line, files = sys.argv[1], sys.argv[2], sys.argv[3:]
    failed = False
    for path in files:
        data = open(path, 'rb').read()
        for key, expected in (('FileVersion', version), ('ProductVersion', version),
                              ('LegalCopyright', copyright_line)):
            found = value(data, key)
            if found != expected:
                print(f'{path}: {key} is {found!r}, expected {expected!r}', file=sys.stderr)
                failed = True
    sys.exit(1 if failed else 0)


if __name__ == '__main__':
    main()
