#!/usr/bin/env python3
"""Packs the Windows download so that two builds of one commit give the same bytes:
the entries in the order given, each dated EPOCH (seconds since 1970, UTC), with
fixed attributes and no extra fields (no owner, no access or change time).

    packzip.py ZIP EPOCH FILE...
"""

import sys
import time
import zipfile
from pathlib import Path


def main():
    zip_path, epoch, *files = sys.argv[1:]
    # A zip's times start in 1980.
    stamp = time.gmtime(max(int(epoch), 315532800))[:6]
    with zipfile.ZipFile(zip_path, "w") as archive:
        for name in files:
            info = zipfile.ZipInfo(Path(name).name, date_time=stamp)
            info.create_system = 0  # MS-DOS attributes: none of the packer's owner or mode
            info.external_attr = 0x20  # "archive", as Windows' own zips mark files
            info.compress_type = zipfile.ZIP_DEFLATED
            archive.writestr(info, Path(name).read_bytes())
    return 0


if __name__ == "__main__":
    sys.exit(main())
