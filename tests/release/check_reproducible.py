#!/usr/bin/env python3
"""Compares what two builds of one commit made, from two folders.

  check_reproducible.py BUILD_A BUILD_B [--catalogs-may-differ]

Every shipped artefact must be byte-identical: both programs, the four
plug-ins, the catalogs and their signer's certificate, sample.zip and
install.zip. Neither may hold its
build folder's path, and no PE time stamp may be set. With
--catalogs-may-differ (a build that signs its catalogs with a throw-away
certificate) the catalogs may differ, and with them install.zip and the
programs; the programs must then still agree in every section but the
resources, and in every resource but the driver package (ZIPRES 205).
"""
import os
import struct
import sys

import pe_resources

PROGRAMS = ["win32/lumatrek-setup.exe", "win64/lumatrek-setup.exe"]
PACKAGE = "native/generated/package/"
PLUGINS = [PACKAGE + "%s/%s.dll" % (a, m) for a in ("i386", "amd64") for m in ("lumatrek", "lumatrek80")]
CATALOGS = [PACKAGE + "lumatrek.cat", PACKAGE + "lumatrek80.cat"]
ARCHIVES = ["native/generated/sample.zip", "native/generated/install.zip"]


def read(build, name):
    with open(os.path.join(build, name), "rb") as f:
        return f.read()


def folders(build):
    """The build folder and the sources it was configured from."""
    found = [os.path.abspath(build)]
    with open(os.path.join(build, "native", "CMakeCache.txt")) as f:
        for line in f:
            if line.startswith("CMAKE_HOME_DIRECTORY:"):
                found.append(line.split("=", 1)[1].strip())
    return found


def pe_header(image):
    pe = struct.unpack_from("<I", image, 0x3C)[0]
    return pe, struct.unpack_from("<H", image, pe + 6)[0], struct.unpack_from("<I", image, pe + 8)[0]


def sections(image):
    pe, count, _ = pe_header(image)
    table = pe + 24 + struct.unpack_from("<H", image, pe + 20)[0]
    found = {}
    for i in range(count):
        s = table + 40 * i
        name = image[s:s + 8].rstrip(b"\0").decode()
        size, at = struct.unpack_from("<II", image, s + 16)
        found[name] = image[at:at + size]
    return found


def same_but_driver_package(a, b):
    """What differs between programs a and b beyond the driver package resource."""
    sa, sb = sections(a), sections(b)
    if sorted(sa) != sorted(sb):
        return "sections %s and %s" % (sorted(sa), sorted(sb))
    differ = [n for n in sa if n != ".rsrc" and sa[n] != sb[n]]
    if differ:
        return "sections %s differ" % differ
    keep = lambda image: [r for r in pe_resources.resources(image) if (r[0], r[1]) != ("ZIPRES", "205")]
    if keep(a) != keep(b):
        return "resources besides ZIPRES 205 differ"
    return None


def main(argv):
    a, b = argv[1], argv[2]
    # The signer's certificate beside the catalogs: the PFX's, or a throw-away one.
    CATALOGS.extend(PACKAGE + c for c in ("publisher.cer", "build-signer.cer") if os.path.exists(os.path.join(a, PACKAGE + c)))
    relaxed = "--catalogs-may-differ" in argv[3:]
    failures, notes, identical = [], [], 0
    catalogs_differ = any(read(a, n) != read(b, n) for n in CATALOGS)
    for name in PROGRAMS + PLUGINS + CATALOGS + ARCHIVES:
        da, db = read(a, name), read(b, name)
        for build, data in ((a, da), (b, db)):
            for folder in folders(build):
                if folder.encode() in data:
                    failures.append("%s holds the path %s" % (name, folder))
        if name.endswith((".exe", ".dll")) and (pe_header(da)[2] or pe_header(db)[2]):
            failures.append("%s has a PE time stamp" % name)
        if da == db:
            identical += 1
            continue
        if relaxed and catalogs_differ and (name in CATALOGS or name.endswith("install.zip")):
            notes.append("%s differs (throw-away catalog signature)" % name)
        elif relaxed and catalogs_differ and name in PROGRAMS:
            problem = same_but_driver_package(da, db)
            if problem:
                failures.append("%s: %s" % (name, problem))
            else:
                notes.append("%s differs only in its driver package resource" % name)
        else:
            failures.append("%s differs" % name)
    for line in notes:
        print("note " + line)
    for line in failures:
        print("FAIL " + line)
    print("%d artefacts compared, %d identical, %d failures" % (
        len(PROGRAMS + PLUGINS + CATALOGS + ARCHIVES), identical, len(failures)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
