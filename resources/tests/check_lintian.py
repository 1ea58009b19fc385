#!/usr/bin/env python3
"""Builds the .deb with CPack and runs lintian on it. Fails on any error or warning,
and, for a hardened build, on the hardening tags that lintian reports only as
information (a binary built without PIE, fortified functions, stack protector, relro
or bindnow).

    check_lintian.py CPACK CPACK_CONFIG hardened|unhardened

Exits 77, which ctest counts as skipped, where lintian is not installed.
"""

import glob
import os
import re
import shutil
import subprocess
import sys
import tempfile

SKIPPED = 77


def main():
    cpack, config, build = sys.argv[1:4]
    lintian = shutil.which("lintian")
    if not lintian:
        print("lintian is not installed (Debian package lintian): skipped")
        return SKIPPED

    with tempfile.TemporaryDirectory() as work:
        subprocess.run([cpack, "--config", config, "-G", "DEB", "-B", work],
                       check=True, stdout=subprocess.DEVNULL)
        debs = glob.glob(os.path.join(work, "*.deb"))
        if len(debs) != 1:
            print(f"expected one .deb, found {debs}", file=sys.stderr)
            return 1
        result = subprocess.run([lintian, "--display-info", "--no-tag-display-limit", debs[0]],
                                capture_output=True, text=True)
    print(result.stdout, end="")
    # "E: pagesift: tag [context]": the level, then the package, then the tag.
    tags = re.findall(r"^([A-Z]): [^:\n]+: (\S+)", result.stdout, re.MULTILINE)
    failing = [f"{level}: {tag}" for level, tag in tags
               if level in "EW" or (build == "hardened" and tag.startswith("hardening-"))]
    if result.returncode != 0 and not failing:
        # lintian itself failed: say why.
        print(result.stderr, file=sys.stderr)
        return 1
    for tag in failing:
        print(f"not accepted: {tag}", file=sys.stderr)
    return 1 if failing else 0


if __name__ == "__main__":
    sys.exit(main())
