#!/usr/bin/env python3
"""Rewrites a .tar.gz or .zip archive in place so that the same files give the
same bytes, whenever and wherever it is built:

    repack.py ARCHIVE...

CPack's archive generators keep what the build left: each file's time of
building, the builder's user and group, the order of the folder listing and,
in the gzip header, the time of packing. Here every entry gets the time
SOURCE_DATE_EPOCH (the last commit's, which packaging/make-release sets),
owner root (0), its permission bits as they were and nothing else of the
build machine; entries are sorted by name, the gzip header has neither a name
nor a time, and every file is compressed at the highest level.
"""
import gzip
import io
import os
import sys
import tarfile
import time
import zipfile


def source_date_epoch():
    value = os.environ.get("SOURCE_DATE_EPOCH")
    if value is None or not value.isdigit():
        sys.exit("repack.py: SOURCE_DATE_EPOCH must be set to a count of seconds (the last commit's time)")
    return int(value)


def repack_tar_gz(path, epoch):
    entries = []
    with tarfile.open(path, "r:gz") as source:
        for member in source.getmembers():
            if not (member.isfile() or member.isdir()):
                sys.exit(f"repack.py: {path}: {member.name} is neither a file nor a folder")
            data = source.extractfile(member).read() if member.isfile() else None
            entries.append((member.name, member.isdir(), member.mode & 0o7777, data))
    raw = io.BytesIO()
    with tarfile.open(fileobj=raw, mode="w", format=tarfile.GNU_FORMAT) as target:
        for name, is_dir, mode, data in sorted(entries):
            info = tarfile.TarInfo(name)
            info.type = tarfile.DIRTYPE if is_dir else tarfile.REGTYPE
            info.mode = mode
            info.mtime = epoch
            info.uid = info.gid = 0
            info.uname = info.gname = "root"
            info.size = 0 if is_dir else len(data)
            target.addfile(info, None if is_dir else io.BytesIO(data))
    with open(path, "wb") as file, gzip.GzipFile(filename="", mode="wb", fileobj=file,
                                                   compresslevel=9, mtime=0) as compressed:
        compressed.write(raw.getvalue())


def repack_zip(path, epoch):
    with zipfile.ZipFile(path) as source:
        entries = [(info.filename, info.external_attr, source.read(info)) for info in source.infolist()]
    # Zip times have no time zone and a two-second resolution; UTC is the
    # reading everywhere the same.
    when = time.gmtime(max(epoch, 315532800))[:6]  # zip's earliest time is 1980
    with zipfile.ZipFile(path, "w") as target:
        for name, attributes, data in sorted(entries):
            info = zipfile.ZipInfo(name, date_time=when)
            info.create_system = 3  # Unix: the permission bits below are read
            info.external_attr = attributes & 0xFFFF0010  # mode bits, and the MS-DOS folder bit
            info.compress_type = zipfile.ZIP_STORED if name.endswith("/") else zipfile.ZIP_DEFLATED
            target.writestr(info, data, compresslevel=9)


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    epoch = source_date_epoch()
    for path in sys.argv[1:]:
        if path.endswith(".tar.gz"):
            repack_tar_gz(path, epoch)
        elif path.endswith(".zip"):
            repack_zip(path, epoch)
        else:
            sys.exit(f"repack.py: {path}: neither a .tar.gz nor a .zip")


if __name__ == "__main__":
    main()
