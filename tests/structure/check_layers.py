#!/usr/bin/env python3
"""Checks that includes between the source folders only point down.

Each folder under src/ has a level; a file may include headers of its own
folder or of folders on a lower level, never of a higher one or a sibling on
the same level (the commands do not reach into each other). Prints one line
per include that points the wrong way, then the summary.
"""
import pathlib
import re
import sys

# Top to bottom. Folders on one line share a level and may not include each other.
LEVELS = [
    ["app"],                                         # the dialog and WinMain
    ["unattended"],                                  # the same commands from a command line
    ["install", "testprint", "uninstall", "port_list"],  # the commands: only they show messages
    ["usb", "payload", "spooler", "trust"],          # what the commands use
    ["process"],                                     # starting programs, reading their output
    ["common"],                                      # setup form, message sink, port list view, models, rules
    ["os"],                                          # the operating-system boundary
]

root = pathlib.Path(__file__).resolve().parents[2] / "src"
level = {folder: i for i, folders in enumerate(LEVELS) for folder in folders}
# "folder/file.h" includes; "../../resources/resource.h" lies outside src/.
include = re.compile(r'^\s*#\s*include\s+"(\w+)/')

bad = []
checked = 0
for path in sorted(root.rglob("*")):
    if path.suffix not in (".h", ".cpp"):
        continue
    own = path.relative_to(root).parts[0]
    if own not in level:
        bad.append(f"{path.relative_to(root)}: folder {own} has no level")
        continue
    for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        m = include.match(line)
        if not m or m.group(1) == own:
            continue
        checked += 1
        target = m.group(1)
        if target not in level:
            bad.append(f"{path.relative_to(root)}:{number}: includes {target}/, a folder with no level")
        elif level[target] <= level[own]:
            way = "up" if level[target] < level[own] else "sideways"
            bad.append(f"{path.relative_to(root)}:{number}: includes {target}/ ({way} from {own}/)")

for line in bad:
    print("FAIL " + line)
print(f"layers: {max(checked - len(bad), 0)} passed, {len(bad)} failed")
sys.exit(1 if bad else 0)
