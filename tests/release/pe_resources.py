#!/usr/bin/env python3
"""Lists the resources of a PE file, or writes one resource's bytes.

  pe_resources.py FILE              one line per resource: TYPE NAME LANGUAGE SIZE
  pe_resources.py FILE TYPE NAME    the bytes of that resource on standard output

Types and names are numbers or strings as the resource directory holds them
(RT_MANIFEST is 24, RT_BITMAP 2, RT_GROUP_ICON 14, RT_DIALOG 5).
"""
import struct
import sys


def resources(image):
    if image[:2] != b"MZ":
        raise ValueError("no MZ header")
    pe = struct.unpack_from("<I", image, 0x3C)[0]
    if image[pe:pe + 4] != b"PE\0\0":
        raise ValueError("no PE signature")
    sections = struct.unpack_from("<H", image, pe + 6)[0]
    optional_size = struct.unpack_from("<H", image, pe + 20)[0]
    optional = pe + 24
    magic = struct.unpack_from("<H", image, optional)[0]
    directories = optional + (96 if magic == 0x10B else 112)
    rsrc_rva, _ = struct.unpack_from("<II", image, directories + 2 * 8)
    table = optional + optional_size

    def offset_of(rva):
        for i in range(sections):
            s = table + i * 40
            vsize, vaddr, rawsize, rawptr = struct.unpack_from("<IIII", image, s + 8)
            if vaddr <= rva < vaddr + max(vsize, rawsize):
                return rawptr + (rva - vaddr)
        raise ValueError("RVA 0x%x lies in no section" % rva)

    if rsrc_rva == 0:
        return []
    base = offset_of(rsrc_rva)

    def label(entry_name):
        if entry_name & 0x80000000:
            at = base + (entry_name & 0x7FFFFFFF)
            length = struct.unpack_from("<H", image, at)[0]
            return image[at + 2:at + 2 + 2 * length].decode("utf-16-le")
        return str(entry_name)

    def entries(directory):
        named, numbered = struct.unpack_from("<HH", image, base + directory + 12)
        for i in range(named + numbered):
            name, target = struct.unpack_from("<II", image, base + directory + 16 + 8 * i)
            yield label(name), target

    found = []
    for rtype, t in entries(0):
        for name, n in entries(t & 0x7FFFFFFF):
            for lang, leaf in entries(n & 0x7FFFFFFF):
                data_rva, size = struct.unpack_from("<II", image, base + leaf)
                at = offset_of(data_rva)
                found.append((rtype, name, lang, image[at:at + size]))
    return found


def main(argv):
    with open(argv[1], "rb") as f:
        image = f.read()
    found = resources(image)
    if len(argv) == 2:
        for rtype, name, lang, data in found:
            print(rtype, name, lang, len(data))
        return 0
    for rtype, name, _, data in found:
        if rtype == argv[2] and name == argv[3]:
            sys.stdout.buffer.write(data)
            return 0
    print("no resource %s %s" % (argv[2], argv[3]), file=sys.stderr)
    return 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
