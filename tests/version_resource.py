#!/usr/bin/env python3
"""Checks what Windows shows of the built program (Properties, Details) and the
manifest it runs it with, read back from the executable by windres.

usage: version_resource.py WINDRES PROGRAM VERSION
"""
import re
import subprocess
import sys

WINDOWS_7_TO_11 = [
    "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  # 7
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  # 8
    "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  # 8.1
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  # 10 and 11
]


def main():
    windres, program, version = sys.argv[1:4]
    rc = subprocess.run([windres, "-i", program, "-O", "rc"], capture_output=True, text=True, check=True).stdout
    numbers = ", ".join(version.split(".") + ["0"])
    values = dict(re.findall(r'VALUE "(\w+)", "([^"]*)"', rc))
    manifests = re.findall(r"^\S+ 24 /\* RT_MANIFEST \*/\nBEGIN\n(.*?)^END", rc, re.M | re.S)
    manifest = manifests[0].replace('""', '"') if manifests else ""
    checks = [
        ("file version %s" % numbers, "FILEVERSION %s\n" % numbers in rc),
        ("product version %s" % numbers, "PRODUCTVERSION %s\n" % numbers in rc),
        ("FileVersion", values.get("FileVersion") == version),
        ("ProductVersion", values.get("ProductVersion") == version),
        ("ProductName", values.get("ProductName") == "pigreco"),
        ("OriginalFilename", values.get("OriginalFilename") == "pigreco.exe"),
        ("LegalCopyright", values.get("LegalCopyright") == "The pigreco authors"),
        ("FileDescription", bool(values.get("FileDescription"))),
        ("one manifest", len(manifests) == 1),
        ("runs as invoker", 'level="asInvoker"' in manifest),
    ] + [("supported OS " + id, 'Id="%s"' % id in manifest) for id in WINDOWS_7_TO_11]
    failed = [name for name, ok in checks if not ok]
    for name in failed:
        print("FAIL %s" % name)
    if failed:
        print("windres reads back:\n" + rc)
    print("%d passed, %d failed" % (len(checks) - len(failed), len(failed)))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
