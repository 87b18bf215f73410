#!/usr/bin/env python3
"""Compiles one language of the help into a .chm with chmcmd.

    make_help.py CHMCMD HELP_DIR LANGUAGE STAGING_DIR OUTPUT_CHM

The pages are kept in UTF-8 (each declares its charset).  HTML Help reads the
contents (.hhc) and index (.hhk) files in the code page of the project's
language, so the Japanese ones are converted to Shift-JIS (cp932) on the way.
The pictures in HELP_DIR/images are shared by both languages.
"""
import os
import shutil
import subprocess
import sys

CODE_PAGES = {'ja': 'cp932', 'en': 'cp1252'}


def main():
    chmcmd, help_dir, language, staging, output = sys.argv[1:6]
    shutil.rmtree(staging, ignore_errors=True)
    os.makedirs(staging)
    source = os.path.join(help_dir, language)
    for name in sorted(os.listdir(source)):
        path = os.path.join(source, name)
        if name.endswith(('.hhc', '.hhk', '.hhp')):
            with open(path, encoding='utf-8') as text:
                content = text.read()
            with open(os.path.join(staging, name), 'w', encoding=CODE_PAGES[language], newline='\r\n') as out:
                out.write(content)
        else:
            shutil.copy(path, staging)
    images = os.path.join(help_dir, 'images')
    if os.path.isdir(images):
        shutil.copytree(images, os.path.join(staging, 'images'))
    project = [name for name in os.listdir(staging) if name.endswith('.hhp')][0]
    result = subprocess.run([chmcmd, project], cwd=staging, capture_output=True, text=True)
    chm = os.path.join(staging, 'help.chm')
    if result.returncode != 0 or not os.path.exists(chm):
        sys.stderr.write(result.stdout + result.stderr)
        sys.exit('chmcmd failed for ' + language)
    shutil.copy(chm, output)


if __name__ == '__main__':
    main()
