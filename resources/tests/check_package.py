#!/usr/bin/env python3
"""Builds the .deb with CPack, twice (the same bytes each time), unpacks it into a scratch root and checks that every
file is where a Debian desktop looks for it and that the files agree with each other.

    check_package.py CPACK CPACK_CONFIG APP_ID
"""

import configparser
import filecmp
import glob
import gzip
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile


# 16 and 32 come from the window's .ico; the larger ones, rendered from the scalable
# drawing that is installed too, keep docks and software centres from blowing up a
# 32-pixel picture.
ICON_SIZES = (16, 32, 48, 64, 128, 256)


def run(*args):
    return subprocess.run(args, check=True, capture_output=True, text=True).stdout


def png_size(path):
    with open(path, "rb") as f:
        head = f.read(24)
    if head[:8] != b"\x89PNG\r\n\x1a\n":
        return None
    return struct.unpack(">II", head[16:24])


def main():
    cpack, config, app_id = sys.argv[1:4]
    failures = []

    def check(ok, what):
        if not ok:
            failures.append(what)

    with tempfile.TemporaryDirectory() as work:
        run(cpack, "--config", config, "-G", "DEB", "-B", work)
        debs = glob.glob(os.path.join(work, "*.deb"))
        if len(debs) != 1:
            print(f"expected one .deb, found {debs}", file=sys.stderr)
            return 1
        deb = debs[0]
        # Packed again in another folder, later: the same bytes.
        with tempfile.TemporaryDirectory() as again:
            run(cpack, "--config", config, "-G", "DEB", "-B", again)
            same = filecmp.cmp(deb, os.path.join(again, os.path.basename(deb)), shallow=False)
            check(same, "packed again, the .deb is not the same bytes")
        version = run("dpkg-deb", "--field", deb, "Version").strip()
        upstream = version.rsplit("-", 1)[0]  # less the Debian revision
        depends = run("dpkg-deb", "--field", deb, "Depends").strip()
        print(f"{os.path.basename(deb)}\nDepends: {depends}")
        # Found by dpkg-shlibdeps from what the binary links, with versions.
        for library in ("libc6", "libqt6core6", "libqt6gui6", "libqt6widgets6"):
            check(re.search(rf"\b{library}\b[^,]*\(>= ", depends), f"Depends lacks a versioned {library}")
        # Qt's own texts (file dialog, context menus) in Italian.
        check(re.search(r"(^|, )qt6-translations-l10n\b", depends), "Depends lacks qt6-translations-l10n")

        root = os.path.join(work, "root")
        run("dpkg-deb", "--extract", deb, root)
        installed = sorted(os.path.relpath(os.path.join(d, f), root)
                           for d, _, files in os.walk(root) for f in files)
        expected = sorted([
            "usr/bin/pagesift",
            f"usr/share/applications/{app_id}.desktop",
            f"usr/share/metainfo/{app_id}.metainfo.xml",
            "usr/share/man/man1/pagesift.1.gz",
            "usr/share/doc/pagesift/copyright",
            "usr/share/doc/pagesift/changelog.Debian.gz",
            "usr/share/lintian/overrides/pagesift",
            f"usr/share/icons/hicolor/scalable/apps/{app_id}.svg",
        ] + [f"usr/share/icons/hicolor/{size}x{size}/apps/{app_id}.png" for size in ICON_SIZES])
        check(installed == expected, f"package holds {installed}, expected {expected}")

        binary = os.path.join(root, "usr/bin/pagesift")
        if os.path.exists(binary):
            check(os.access(binary, os.X_OK), "usr/bin/pagesift is not executable")
            # Its libraries all come from the system: any run path is a leftover, at
            # worst one into the build tree.
            dynamic = run("readelf", "--dynamic", binary)
            paths = re.findall(r"\((?:RUNPATH|RPATH)\)\s+Library r\w*path: \[([^\]]*)\]", dynamic)
            check(not paths, f"installed binary has a run path: {paths}")

        desktop_file = os.path.join(root, f"usr/share/applications/{app_id}.desktop")
        if os.path.exists(desktop_file):
            entry = configparser.ConfigParser(interpolation=None)
            entry.optionxform = str
            entry.read(desktop_file, encoding="utf-8")
            section = entry["Desktop Entry"]
            check(shutil.which(section.get("Exec", "").split()[0], path=os.path.join(root, "usr/bin")),
                  f"Exec={section.get('Exec')} is not an installed program")
            icon = section.get("Icon", "")
            for size in ICON_SIZES:
                png = os.path.join(root, f"usr/share/icons/hicolor/{size}x{size}/apps/{icon}.png")
                check(os.path.exists(png) and png_size(png) == (size, size),
                      f"Icon={icon} has no {size}x{size} PNG in the hicolor theme")
            check(subprocess.run(["desktop-file-validate", desktop_file]).returncode == 0,
                  "installed desktop entry does not validate")

        metainfo = os.path.join(root, f"usr/share/metainfo/{app_id}.metainfo.xml")
        if os.path.exists(metainfo):
            with open(metainfo, encoding="utf-8") as f:
                text = f.read()
            check(f'<launchable type="desktop-id">{app_id}.desktop</launchable>' in text,
                  "metainfo does not launch the installed desktop entry")
            check(f'<release version="{upstream}"' in text,
                  f"metainfo has no release for the package's upstream version {upstream}")

        # A new version needs its changelog entry, or the package says an old one.
        changelog = os.path.join(root, "usr/share/doc/pagesift/changelog.Debian.gz")
        if os.path.exists(changelog):
            with gzip.open(changelog, "rt", encoding="utf-8") as f:
                latest = f.readline()
            check(latest.startswith(f"pagesift ({version}) "),
                  f"changelog's latest entry is {latest.strip()!r}, the package is {version}")

    for failure in failures:
        print(failure, file=sys.stderr)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
