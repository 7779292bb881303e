#!/usr/bin/env python3
"""Checks the printer descriptions against the rules of Microsoft's GPD
reference and against the plug-in they load:
  gpd_lint.py PLUGIN_DIR FILE.gpd...
- *GPDSpecVersion is the file's first line; other files come in with #Include
  (the *Include entry is obsolete);
- braces pair up, every *DefaultOption names an option of its feature;
- *OptionID of PaperSize and InputBin options lies above DMPAPER_USER /
  DMBIN_USER (256) and within the DEVMODE's short, once per feature;
- every paper option carries the entries the reference requires (a vendor
  size: *PageDimensions, *PrintableArea, *PrintableOrigin, a name and its
  *Command; CUSTOMSIZE: its size range, margins, *CenterPrintable?,
  *CursorOrigin and *Command), a fixed size is the roll's real width (named
  "NN x ..." mm at the master units) with the printable area inside and
  centred;
- each printer command's *Order is in its own section;
- every *CallbackID is one the plug-in handles (oem_interface.h's
  kCallback... constants, used in plugin.cpp), and the description's own
  features and options are exactly the keyword pairs of preferences.cpp.
Prints each fault; the exit code is 1 when there is any."""
import re
import sys
from pathlib import Path

STANDARD_FEATURES = {"Orientation", "InputBin", "Resolution", "ColorMode", "PaperSize", "Duplex", "MediaType",
                     "Halftone", "PageProtect", "Collate", "OutputBin", "Memory"}
ORDER_OF = {"CmdStartJob": "JOB_SETUP", "CmdStartDoc": "DOC_SETUP", "CmdStartPage": "PAGE_SETUP",
            "CmdEndPage": "PAGE_FINISH", "CmdEndDoc": "DOC_FINISH", "CmdEndJob": "JOB_FINISH"}
VENDOR_SIZE = ["*PageDimensions", "*PrintableArea", "*PrintableOrigin", "*Command"]
CUSTOM_SIZE = ["*MinSize", "*MaxSize", "*MaxPrintableWidth", "*MinLeftMargin", "*CenterPrintable?", "*TopMargin",
               "*BottomMargin", "*CursorOrigin", "*Command"]


class Node:
    def __init__(self, key, value, line):
        self.key, self.value, self.line, self.children = key, value, line, []

    def find(self, key):
        return [c for c in self.children if c.key == key]

    def first(self, key):
        found = self.find(key)
        return found[0].value if found else None


def parse(text, faults):
    """The entries as a tree: `*Key: value` with a `{ ... }` block after it."""
    root = Node(None, None, 0)
    stack, last = [root], None
    for number, raw in enumerate(text.splitlines(), 1):
        line = re.sub(r"\*%.*", "", raw)
        for token in re.findall(r"[{}]|[^{}]+", line):
            token = token.strip()
            if token == "{":
                if last is None:
                    faults.append(f"line {number}: a block that follows no entry")
                    last = Node(None, None, number)
                stack.append(last)
            elif token == "}":
                if len(stack) == 1:
                    faults.append(f"line {number}: a closing brace too many")
                else:
                    stack.pop()
                last = None
            elif token:
                key, _, value = token.partition(":")
                last = Node(key.strip(), value.strip(), number)
                stack[-1].children.append(last)
    if len(stack) != 1:
        faults.append("the file ends inside a block")
    return root


def pair(value):
    m = re.fullmatch(r"PAIR\(\s*(-?\d+)\s*,\s*(-?\d+)\s*\)", value or "")
    return (int(m.group(1)), int(m.group(2))) if m else None


def check_paper(option, units, faults):
    where = f"line {option.line}: paper option {option.value}"
    needed = CUSTOM_SIZE if option.value == "CUSTOMSIZE" else VENDOR_SIZE
    for key in needed:
        if not option.find(key):
            faults.append(f"{where} has no {key}")
    if option.value == "CUSTOMSIZE":
        return
    if not option.find("*Name") and not option.find("*rcNameID"):
        faults.append(f"{where} has no *Name or *rcNameID")
    page, area, origin = (pair(option.first(k)) for k in VENDOR_SIZE[:3])
    if None in (page, area, origin):
        return
    if origin[0] + area[0] > page[0] or origin[1] + area[1] > page[1]:
        faults.append(f"{where}: the printable area leaves the page")
    if abs(origin[0] * 2 + area[0] - page[0]) > 1:
        faults.append(f"{where}: the printable area is not centred")
    mm = re.search(r'"[^"]*?(\d+) x', option.first("*Name") or "")
    if mm and abs(page[0] - int(mm.group(1)) * units / 25.4) > 1:
        faults.append(f"{where}: {page[0]} dots is not {mm.group(1)} mm")


def lint(path, callbacks, handled, preferences):
    faults = []
    text = path.read_bytes().decode("ascii")
    if not text.startswith('*GPDSpecVersion: "1.0"'):
        faults.append("*GPDSpecVersion is not the first line")
    root = parse(text, faults)
    if root.find("*Include"):
        faults.append("*Include is obsolete: #Include")
    if not root.find("#Include"):
        faults.append("no #Include of the standard names")
    units = pair(root.first("*MasterUnits")) or (0, 0)
    own = set()
    for feature in root.find("*Feature"):
        options = feature.find("*Option")
        names = [o.value for o in options]
        if feature.first("*DefaultOption") not in names:
            faults.append(f"line {feature.line}: {feature.value}'s default is none of its options")
        if feature.value not in STANDARD_FEATURES:
            own.update((feature.value, name) for name in names)
        ids = [int(o.first("*OptionID"), 0) for o in options if o.first("*OptionID")]
        if len(ids) != len(set(ids)):
            faults.append(f"line {feature.line}: {feature.value} repeats an *OptionID")
        if feature.value in ("PaperSize", "InputBin"):
            faults += [f"line {feature.line}: {feature.value} *OptionID {i} outside 257-32767"
                       for i in ids if not 256 < i <= 32767]
        if feature.value == "PaperSize":
            for option in options:
                check_paper(option, units[0], faults)
            if "CUSTOMSIZE" not in names:
                faults.append("no CUSTOMSIZE paper option")

    def walk(node):
        yield node
        for child in node.children:
            yield from walk(child)

    for node in walk(root):
        if node.key == "*CallbackID" and int(node.value) not in handled:
            faults.append(f"line {node.line}: *CallbackID {node.value} is not one the plug-in handles")
        if node.key == "*Command" and node.value in ORDER_OF:
            order = node.first("*Order") or ""
            if not order.startswith(ORDER_OF[node.value] + "."):
                faults.append(f"line {node.line}: {node.value} ordered in {order or 'no section'}")
    for feature, option in sorted(own ^ preferences):
        side = "the plug-in does not know" if (feature, option) in own else "the description does not offer"
        faults.append(f"{feature}/{option}: an option {side}")
    return faults


def main():
    plugin = Path(sys.argv[1])
    constants = dict(re.findall(r"constexpr DWORD (kCallback\w+) = (\d+);", (plugin / "oem_interface.h").read_text()))
    source = (plugin / "plugin.cpp").read_text()
    handled = {int(v) for k, v in constants.items() if f"oem::{k}" in source}
    preferences = set(re.findall(r'\{"(\w+)", "(\w+)", Setting::', (plugin / "preferences.cpp").read_text()))
    failed = False
    for name in sys.argv[2:]:
        for fault in lint(Path(name), constants, handled, preferences):
            print(f"{name}: {fault}")
            failed = True
    return 1 if failed or len(sys.argv) < 3 else 0


if __name__ == "__main__":
    sys.exit(main())
