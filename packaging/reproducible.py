#!/usr/bin/env python3
"""Byte-for-byte repeatable package parts, for the package target's CPack scripts.

  reproducible.py zip <folder> <epoch> <output.zip>
      zips the folder's contents in name order, every entry dated <epoch> (UTC), with
      fixed permissions and no owner, access or change times (which differ per build)
  reproducible.py pe-timestamp <file> <epoch>
      writes <epoch> into a Windows program's header as its link time (NSIS's !packhdr)
"""
import os
import struct
import sys
import time
import zipfile

# Zip's DOS dates start in 1980.
DOS_EPOCH = 315532800


def entry(name, stamp, mode):
    info = zipfile.ZipInfo(name, stamp)
    info.create_system = 3  # Unix, whatever system builds it
    info.external_attr = mode << 16
    return info


def make_zip(folder, epoch, output):
    stamp = time.gmtime(max(epoch, DOS_EPOCH))[:6]
    entries = []
    for parent, dirs, files in os.walk(folder):
        dirs.sort()
        for name in dirs + sorted(files):
            path = os.path.join(parent, name)
            entries.append((os.path.relpath(path, folder).replace(os.sep, "/"), path))
    entries.sort()
    with zipfile.ZipFile(output + ".tmp", "w") as archive:
        for name, path in entries:
            if os.path.isdir(path):
                info = entry(name + "/", stamp, 0o40755)
                info.external_attr |= 0x10  # the MS-DOS directory bit
                archive.writestr(info, b"")
                continue
            mode = 0o755 if os.stat(path).st_mode & 0o100 else 0o644
            info = entry(name, stamp, 0o100000 | mode)
            info.compress_type = zipfile.ZIP_DEFLATED
            with open(path, "rb") as data:
                archive.writestr(info, data.read(), compresslevel=9)
    os.replace(output + ".tmp", output)


def set_pe_timestamp(path, epoch):
    with open(path, "r+b") as image:
        header = image.read(0x40)
        if header[:2] != b"MZ":
            sys.exit(f"{path}: not a Windows program")
        (pe,) = struct.unpack_from("<I", header, 0x3C)
        image.seek(pe)
        if image.read(4) != b"PE\0\0":
            sys.exit(f"{path}: no PE header")
        image.seek(pe + 8)  # the COFF header's TimeDateStamp
        image.write(struct.pack("<I", epoch))


def main(args):
    if len(args) == 4 and args[0] == "zip":
        make_zip(args[1], int(args[2]), args[3])
    elif len(args) == 3 and args[0] == "pe-timestamp":
        set_pe_timestamp(args[1], int(args[2]))
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main(sys.argv[1:])
