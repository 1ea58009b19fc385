#!/usr/bin/env python3
"""Compiles pagesift.rc with a Windows resource compiler, reads the result back and
checks the version record and the icon group a Windows build would carry.

    check_versionrecord.py WINDRES CPP PAGESIFT_RC

The values are the fixed ones the record must hold, so a version bump shows up here
on purpose. A table of damaged copies of the .rc proves each check can fail.
"""

import os
import re
import subprocess
import sys
import tempfile

EXPECTED_STRINGS = {
    "FileVersion": "1.00",
    "ProductVersion": "1.00",
    "ProductName": "PAGESIFT",
    "InternalName": "PAGESIFT",
    "OriginalFilename": "PAGESIFT.exe",
}

# One icon group entry as windres writes it back:
#   "width height colours pad", planes, bits, bytes, id
GROUP_ENTRY = re.compile(r'"((?:\\[0-7]{3}){4})", (\d+), (\d+), 0x[0-9a-f]+L, (\d+)')


def decompile(windres, cpp, rc_file, workdir):
    res = os.path.join(workdir, "out.res")
    subprocess.run([windres, f"--preprocessor={cpp}", "-O", "res", "-i", rc_file, "-o", res],
                   check=True, capture_output=True, text=True)
    return subprocess.run([windres, "-O", "rc", "-i", res],
                          check=True, capture_output=True, text=True).stdout


def blocks(text, name):
    """Bodies of every BLOCK "name" ... END, nesting respected."""
    found = []
    for match in re.finditer(r'BLOCK "%s"\s*\n' % name, text):
        depth, body = 0, []
        for line in text[match.end():].splitlines():
            word = line.strip()
            depth += word == "BEGIN"
            depth -= word == "END"
            body.append(line)
            if depth == 0 and word == "END":
                break
        found.append("\n".join(body))
    return found


def problems(text):
    out = []
    if len(re.findall(r"^\S+ VERSIONINFO$", text, re.M)) != 1:
        out.append("not exactly one VERSIONINFO")
    for field in ("FILEVERSION", "PRODUCTVERSION"):
        if not re.search(r"^ %s 1, 0, 0, 0$" % field, text, re.M):
            out.append(f"{field} is not 1.0.0.0")

    string_tables = blocks(text, "StringFileInfo")
    tables = re.findall(r'BLOCK "([0-9A-Fa-f]{8})"', "\n".join(string_tables))
    if tables != ["040904B0"]:
        out.append(f"string tables {tables}, expected only 040904B0")
    values = re.findall(r'VALUE "([^"]+)", "([^"]*)"', "\n".join(string_tables))
    for key, wanted in EXPECTED_STRINGS.items():
        got = [v for k, v in values if k == key]
        if got != [wanted]:
            out.append(f"{key} is {got}, expected [{wanted!r}]")

    translations = re.findall(r'VALUE "Translation", ([^\n]+)', "\n".join(blocks(text, "VarFileInfo")))
    if translations != ["0x409, 1200"]:
        out.append(f"Translation is {translations}, expected 0x409, 1200")

    if len(re.findall(r"/\* RT_GROUP_ICON \*/", text)) != 1:
        out.append("not exactly one icon group")
    entries = []
    for dims, planes, bits, _ in GROUP_ENTRY.findall(text):
        width, height, colours, _pad = (int(octal, 8) for octal in dims.split("\\")[1:])
        entries.append((width, height, colours, int(planes), int(bits)))
    if sorted(entries) != [(16, 16, 16, 1, 4), (32, 32, 16, 1, 4)]:
        out.append(f"icon group entries {entries}, expected 32x32 and 16x16 with 16 colours, 4 bits")
    return out


# Damaged copies of the .rc: (name, text to replace, replacement, problem expected).
DAMAGE = [
    ("wrong file version", "FILEVERSION 1,0,0,0", "FILEVERSION 1,0,0,1", "FILEVERSION"),
    ("wrong product name", '"ProductName", "PAGESIFT"', '"ProductName", "PageSift"', "ProductName"),
    ("value missing", 'VALUE "InternalName", "PAGESIFT"', "", "InternalName"),
    ("8-bit code page", 'BLOCK "040904B0"', 'BLOCK "040904E4"', "string tables"),
    ("second string table", 'BLOCK "StringFileInfo"\n    BEGIN',
     'BLOCK "StringFileInfo"\n    BEGIN\n        BLOCK "041004B0"\n        BEGIN\n'
     '            VALUE "ProductName", "PAGESIFT"\n        END', "string tables"),
    ("wrong translation", "0x409, 1200", "0x410, 1200", "Translation"),
    ("no icon", "IDI_ICON1 ICON", "// IDI_ICON1 ICON", "icon group"),
]


def main():
    windres, cpp, rc_file = sys.argv[1:4]
    with open(rc_file) as f:
        source = f.read()
    failures = []
    with tempfile.TemporaryDirectory() as workdir:
        found = problems(decompile(windres, cpp, rc_file, workdir))
        failures += [f"pagesift.rc: {p}" for p in found]

        for name, old, new, expected in DAMAGE:
            if old not in source:
                failures.append(f"damage '{name}': {old!r} not in pagesift.rc")
                continue
            damaged = os.path.join(workdir, "damaged.rc")
            with open(damaged, "w") as f:
                f.write(source.replace(old, new))
            found = problems(decompile(windres, cpp, damaged, workdir))
            if not any(expected in p for p in found):
                failures.append(f"damage '{name}' not caught (problems: {found})")
    for failure in failures:
        print(failure, file=sys.stderr)
    print(f"version record and icon group: {len(failures)} problem(s), {len(DAMAGE)} damaged copies tried")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
