#!/usr/bin/env python3
"""Reads back the version information of a built program or plug-in.

  check_version.py FILE ORIGINAL_NAME

Checks the VERSIONINFO resource: file and product version 1.0.0.0 in the
fixed part, CompanyName Tovlan, ProductVersion V1.00, FileVersion 1.0.0.0,
OriginalFilename and InternalName ORIGINAL_NAME, and a product name, file
description and copyright. Prints the strings; exits 1 on a difference.
"""
import struct
import sys

import pe_resources


def blocks(data, at, end):
    """The version blocks from `at` to `end`: (key, value bytes, value type, children)."""
    while at + 6 <= end:
        length, value_length, value_type = struct.unpack_from("<HHH", data, at)
        if length == 0:
            break
        key_end = at + 6
        while data[key_end:key_end + 2] != b"\0\0":
            key_end += 2
        key = data[at + 6:key_end].decode("utf-16-le")
        value_at = (key_end + 2 + 3) & ~3
        value_size = value_length * 2 if value_type == 1 else value_length
        value = data[value_at:value_at + value_size]
        children_at = (value_at + value_size + 3) & ~3
        yield key, value, value_type, (children_at, at + length)
        at = (at + length + 3) & ~3


def version_info(data):
    (key, fixed, _, (first, last)), = list(blocks(data, 0, len(data)))[:1]
    if key != "VS_VERSION_INFO" or struct.unpack_from("<I", fixed)[0] != 0xFEEF04BD:
        raise ValueError("no VS_VERSION_INFO with a fixed part")
    ms, ls, pms, pls = struct.unpack_from("<IIII", fixed, 8)
    numbers = lambda hi, lo: "%d.%d.%d.%d" % (hi >> 16, hi & 0xFFFF, lo >> 16, lo & 0xFFFF)
    strings = {}
    for name, _, _, (a, b) in blocks(data, first, last):
        if name != "StringFileInfo":
            continue
        for _, _, _, (c, d) in blocks(data, a, b):  # one table per language
            for text_key, text, _, _ in blocks(data, c, d):
                strings[text_key] = text.decode("utf-16-le").rstrip("\0")
    return numbers(ms, ls), numbers(pms, pls), strings


def main(argv):
    path, original = argv[1], argv[2]
    with open(path, "rb") as f:
        found = [r for r in pe_resources.resources(f.read()) if r[0] == "16" and r[1] == "1"]
    if not found:
        print("no version information (resource 16 1)")
        return 1
    file_version, product_version, strings = version_info(found[0][3])
    want = {"CompanyName": "Tovlan", "ProductVersion": "V1.00", "FileVersion": "1.0.0.0",
            "OriginalFilename": original, "InternalName": original}
    wrong = ["%s is %r, not %r" % (k, strings.get(k), v) for k, v in want.items() if strings.get(k) != v]
    wrong += ["%s is missing" % k for k in ("ProductName", "FileDescription", "LegalCopyright")
              if not strings.get(k)]
    wrong += ["%s version is %s" % (kind, v) for kind, v in (("file", file_version), ("product", product_version))
              if v != "1.0.0.0"]
    print("; ".join(wrong) if wrong else "%s %s, %s" % (strings["ProductName"], strings["ProductVersion"],
                                                        strings["FileDescription"]))
    return 1 if wrong else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
