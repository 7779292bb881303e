#!/usr/bin/env python3
"""Checks our printer descriptions: first the GPD format's own rules
(gpd_format.py, calibrated on Microsoft's samples; its header names the
sources), then this package's policy:
  gpd_lint.py PLUGIN_DIR FILE.gpd...
Policy, with where each rule comes from:
- *GPDSpecVersion: "1.0" is the first line, as "Root-Level-Only Attributes"
  asks ("Must be first entry in GPD file, before any comments"; Microsoft's
  own samples do not, so the format check leaves it out);
- the standard names (=PAPER_SIZE_DISPLAY, ...) come from *Include:
  "StdNames.gpd" ("Standard Options": their resource ids are in stdnames.gpd);
- every vendor paper size selects itself with a CmdSelect and is the roll's
  real width, named "NN x ..." mm, at the master units, with the printable
  area inside and centred (ours: applications keep their margins);
- a CUSTOMSIZE option with every entry "Supporting User-Defined Paper Sizes"
  lists for a range given explicitly (*MinSize, *MaxSize,
  *MaxPrintableWidth, *MinLeftMargin, *CenterPrintable?, *TopMargin,
  *BottomMargin, *CursorOrigin, *Command);
- each printer configuration command's *Order is in the section of its name
  (CmdStartJob in JOB_SETUP, ...): our reading of "Command Execution Order",
  which every sample follows;
- every *CallbackID is one the plug-in handles (oem_interface.h's
  kCallback... constants, used in plugin.cpp), and the description's own
  features and options are exactly the keyword pairs of preferences.cpp.
Prints each fault; the exit code is 1 when there is any."""
import re
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import gpd_format  # noqa: E402

STANDARD_FEATURES = {"Orientation", "InputBin", "Resolution", "ColorMode", "PaperSize", "Duplex", "MediaType",
                     "Halftone", "PageProtect", "Collate", "OutputBin", "Memory"}
ORDER_OF = {"CmdStartJob": "JOB_SETUP", "CmdStartDoc": "DOC_SETUP", "CmdStartPage": "PAGE_SETUP",
            "CmdEndPage": "PAGE_FINISH", "CmdEndDoc": "DOC_FINISH", "CmdEndJob": "JOB_FINISH"}
CUSTOM_SIZE = ["MinSize", "MaxSize", "MaxPrintableWidth", "MinLeftMargin", "CenterPrintable?", "TopMargin",
               "BottomMargin", "CursorOrigin", "Command"]


def check_paper(option, units, faults):
    where = f"line {option.line}: paper option {option.value}"
    if option.value == "CUSTOMSIZE":
        faults += [f"{where} has no *{key}" for key in CUSTOM_SIZE if not option.find(key)]
        return
    if not any(c.value == "CmdSelect" for c in option.find("Command")):
        faults.append(f"{where} has no *Command: CmdSelect")
    page, area, origin = (gpd_format.pair(option.first(k)) for k in ("PageDimensions", "PrintableArea",
                                                                     "PrintableOrigin"))
    if None in (page, area, origin):
        faults.append(f"{where}: not a fixed size with its page, area and origin")
        return
    if origin[0] + area[0] > page[0] or origin[1] + area[1] > page[1]:
        faults.append(f"{where}: the printable area leaves the page")
    if abs(origin[0] * 2 + area[0] - page[0]) > 1:
        faults.append(f"{where}: the printable area is not centred")
    mm = re.search(r'"[^"]*?(\d+) x', option.first("Name") or "")
    if not mm:
        faults.append(f"{where}: its *Name does not say its width in mm")
    elif abs(page[0] - int(mm.group(1)) * units / 25.4) > 1:
        faults.append(f"{where}: {page[0]} dots is not {mm.group(1)} mm")


def lint(path, handled, preferences):
    text = path.read_bytes().decode("ascii")
    faults = gpd_format.check(text)
    if not text.startswith('*GPDSpecVersion: "1.0"'):
        faults.append("*GPDSpecVersion is not the first line")
    includes = []
    root = gpd_format.parse(text, [], includes)
    if "stdnames.gpd" not in (name.lower() for name in includes):
        faults.append('no *Include: "StdNames.gpd"')
    units = gpd_format.pair(root.first("MasterUnits")) or (0, 0)
    own = set()
    for feature in root.find("Feature"):
        names = [o.value for o in feature.find("Option")]
        if feature.value not in STANDARD_FEATURES:
            own.update((feature.value, name) for name in names)
        if feature.value == "PaperSize":
            for option in feature.find("Option"):
                check_paper(option, units[0], faults)
            if "CUSTOMSIZE" not in names:
                faults.append("no CUSTOMSIZE paper option")
    for node in root.walk():
        if node.key == "CallbackID" and int(node.value) not in handled:
            faults.append(f"line {node.line}: *CallbackID {node.value} is not one the plug-in handles")
        if node.key == "Command" and node.value in ORDER_OF:
            order = node.first("Order") or ""
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
        for fault in lint(Path(name), handled, preferences):
            print(f"{name}: {fault}")
            failed = True
    return 1 if failed or len(sys.argv) < 3 else 0


if __name__ == "__main__":
    sys.exit(main())
