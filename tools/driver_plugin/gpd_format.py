#!/usr/bin/env python3
"""The GPD format's own rules, as Microsoft documents them and as its own
sample files use them; nothing here is about this package (that is
gpd_lint.py). Usage: gpd_format.py FILE.gpd...  prints each fault, exits 1
when there is any.

Calibration: every rule accepts all six GPD files of Microsoft's unidrv
samples, repository microsoft/Windows-driver-samples (the versions before
commit 575745be, which removed them; stored commits 1f27b71c, 3965a237,
79bbbca2 and d4023263):
  print/OEM Printer Customization Plug-in Samples/C++/bitmap.gpd
  print/OEM Printer Customization Plug-in Samples/C++/oem.gpd
  print/OEM Printer Customization Plug-in Samples/C++/oemprean.gpd
  print/OEM Printer Customization Plug-in Samples/C++/syncset.gpd
  print/OEM Printer Customization Plug-in Samples/C++/PTPCPlPr/install/ptpcplpr.gpd
  print/autoconfig/AutoCnfg.GPD
tools/driver_plugin/gpd_calibrate.sh reruns that against a checkout. Where a
page and the samples disagree, the samples win (unidrv loads them) and the
rule is left out; such cases are listed at the end.

Pages (learn.microsoft.com/windows-hardware/drivers/print/..., sources in
MicrosoftDocs/windows-driver-docs, windows-driver-docs-pr/print/):
  [PP]  "Preprocessor Directives" (preprocessor-directives): *Define,
        *Undefine, *Ifdef, *Elseifdef, *Else, *Endif, *Include: "FileName",
        *SetPPPrefix: the prefix is '*' until *SetPPPrefix changes it; every
        *Ifdef needs its *Endif.
  [RL]  "Root-Level-Only Attributes" (root-level-only-attributes):
        *GPDSpecVersion, *MasterUnits, *PrinterType (PAGE, SERIAL, TTY) are
        required, *ModelName unless *rcModelNameID; these attributes stand at
        root level only; the *Include attribute is obsolete, "redefined as a
        preprocessor directive" (still spelled *Include).
  [LC]  "Line Continuation" (line-continuation): a continued entry's further
        lines start with '+' in the first column.
  [OA]  "Option Attributes for All Features": every option has *Name or
        *rcNameID; *OptionID only in PaperSize, InputBin (the page says
        InputSlot), Halftone and MediaType, and "must be greater than 512"
        (unidrv assigns ids above 256 itself).
  [PS]  "Option Attributes for the PaperSize Feature": *PrintableArea and
        *PrintableOrigin in every option but CUSTOMSIZE; *PageDimensions
        "used only for vendor-defined paper sizes"; CUSTOMSIZE needs
        *MinSize, *MaxSize and *MaxPrintableWidth.
  [SO]  "Standard Options": the standard PaperSize names (STANDARD_PAPER);
        customized names within CCHFORMNAME (32, with its NUL: our reading).
  [CE]  "Command Execution Order" and "Printer Configuration Commands":
        option selection (CmdSelect) and printer configuration commands carry
        *Order: SECTION.number, SECTION one of the six job sections.
Our inference, not a page's words: *DefaultOption, where a feature has one,
names one of its options (AutoCnfg.GPD's RESDLL feature has none); an
*OptionID fits DEVMODEW's short members (at most 32767); a '{' follows an
entry and braces pair up; a quoted string ends on its line.

Left out because the samples contradict the page: *GPDSpecVersion "must be
first entry in GPD file" [RL] (bitmap.gpd and others put *GPDFileName first,
AutoCnfg.GPD its *Include lines; gpd_lint.py keeps it first in ours);
"*Command: Required" for every option [OA] (most sample options have none);
sequence numbers unique within a section [CE] (bitmap.gpd gives
CmdStartDoc and the Resolution options both DOC_SETUP.7)."""
import re
import sys
from pathlib import Path

DIRECTIVES = ("Define", "Undefine", "Ifdef", "Elseifdef", "Else", "Endif", "Include", "SetPPPrefix")
ROOT_ONLY = {"CodePage", "FontCartSlots", "GPDFileName", "GPDFileVersion", "GPDSpecVersion", "HelpFile",
             "InstalledOptionName", "MasterUnits", "MaxCopies", "ModelName", "NotInstalledOptionName",
             "Personality", "PrinterType", "PrintRate", "PrintRatePPM", "PrintRateUnit", "rcInstalledOptionNameID",
             "rcNotInstalledOptionNameID", "rcPersonalityID", "rcPrinterIconID", "ResourceDLL"}
SECTIONS = ("JOB_SETUP", "DOC_SETUP", "PAGE_SETUP", "PAGE_FINISH", "DOC_FINISH", "JOB_FINISH")
CONFIG_COMMANDS = {"CmdStartJob", "CmdStartDoc", "CmdStartPage", "CmdEndPage", "CmdEndDoc", "CmdEndJob", "CmdCopies",
                   "CmdSleepTimeOut", "CmdSelect"}
OPTION_ID_FEATURES = {"PaperSize", "InputBin", "Halftone", "MediaType"}
STANDARD_PAPER = set("""10X11 10X14 11X17 12X11 15X11 9X11 A_PLUS A2 A3 A3_EXTRA A3_EXTRA_TRANSVERSE A3_ROTATED
A3_TRANSVERSE A4 A4_EXTRA A4_PLUS A4_ROTATED A4_TRANSVERSE A4SMALL A5 A5_EXTRA A5_ROTATED A5_TRANSVERSE A6
A6_ROTATED B_PLUS B4 B4_JIS_ROTATED B5 B5_EXTRA B5_JIS_ROTATED B5_TRANSVERSE B6_JIS B6_JIS_ROTATED CSHEET
CUSTOMSIZE DBL_JAPANESE_POSTCARD DBL_JAPANESE_POSTCARD_ROTATED DSHEET ENV_10 ENV_11 ENV_12 ENV_14 ENV_9 ENV_B4
ENV_B5 ENV_B6 ENV_C3 ENV_C4 ENV_C5 ENV_C6 ENV_C65 ENV_DL ENV_INVITE ENV_ITALY ENV_MONARCH ENV_PERSONAL ESHEET
EXECUTIVE FANFOLD_LGL_GERMAN FANFOLD_STD_GERMAN FANFOLD_US FOLIO ISO_B4 JAPANESE_POSTCARD JAPANESE_POSTCARD_ROTATED
JENV_CHOU3 JENV_CHOU3_ROTATED JENV_CHOU4 JENV_CHOU4_ROTATED JENV_KAKU2 JENV_KAKU2_ROTATED JENV_KAKU3
JENV_KAKU3_ROTATED JENV_YOU4 JENV_YOU4_ROTATED LEDGER LEGAL LEGAL_EXTRA LETTER LETTER_EXTRA LETTER_EXTRA_TRANSVERSE
LETTER_PLUS LETTER_ROTATED LETTER_TRANSVERSE LETTERSMALL NOTE P16K P16K_ROTATED P32K P32K_ROTATED P32KBIG
P32KBIG_ROTATED PENV_1 PENV_1_ROTATED PENV_10 PENV_10_ROTATED PENV_2 PENV_2_ROTATED PENV_3 PENV_3_ROTATED PENV_4
PENV_4_ROTATED PENV_5 PENV_5_ROTATED PENV_6 PENV_6_ROTATED PENV_7 PENV_7_ROTATED PENV_8 PENV_8_ROTATED PENV_9
PENV_9_ROTATED QUARTO STATEMENT TABLOID TABLOID_EXTRA""".split())
ENTRY = re.compile(r"\s*(?:EXTERN_GLOBAL\s*:\s*)?\*([A-Za-z0-9_?]+)\s*(?::\s*(.*?))?\s*$", re.S)
TOKEN = re.compile(r'"[^"]*"|%[-+\w]*(?:\[[^\]]*\])?\{[^}]*\}|[{}]|[^"{}%]+|%|"')


class Node:
    def __init__(self, key, value, line):
        self.key, self.value, self.line, self.children = key, value, line, []

    def find(self, key):
        return [c for c in self.children if c.key == key]

    def first(self, key):
        found = self.find(key)
        return found[0].value if found else None

    def walk(self):
        yield self
        for child in self.children:
            yield from child.walk()


def preprocess(lines, faults, includes):
    """[PP] The directives checked and taken out of the text, as the
    preprocessor does before the parser reads it; both branches of a
    condition stay, so that each is checked."""
    prefix, open_ifs, out = "*", [], []
    directive = re.compile(r"(Define|Undefine|Ifdef|Elseifdef|Else|Endif|Include|SetPPPrefix)\s*:(.*)$")
    for number, raw in enumerate(lines, 1):
        text = raw.strip()
        found = directive.match(text[len(prefix):]) if text.startswith(prefix) else None
        if not found:
            stray = re.match(r"([#*][^\s:]*?)(%s)\s*:" % "|".join(DIRECTIVES), text)
            if stray and not text.startswith("*%"):
                faults.append(f"line {number}: {stray.group(1)}{stray.group(2)} is no directive: the preprocessor "
                              f"prefix is '{prefix}' (in a GPD file '*' until *SetPPPrefix changes it)")
            out.append("" if stray and not text.startswith("*%") else raw)
            continue
        name, value = found.group(1), re.sub(r"\s*\*%.*$", "", found.group(2)).strip()
        out.append("")
        if name == "Ifdef":
            open_ifs.append([number, False])
        elif name in ("Elseifdef", "Else"):
            if not open_ifs or open_ifs[-1][1]:
                faults.append(f"line {number}: *{name} without its *Ifdef")
            elif name == "Else":
                open_ifs[-1][1] = True
        elif name == "Endif":
            if open_ifs:
                open_ifs.pop()
            else:
                faults.append(f"line {number}: *Endif without its *Ifdef")
        elif name == "Include":
            if re.fullmatch(r'"[^"]+"', value):
                includes.append(value.strip('"'))
            else:
                faults.append(f"line {number}: *Include takes a quoted file name")
        elif name == "SetPPPrefix":
            prefix = value or prefix
        if name in ("Define", "Undefine", "Ifdef", "Elseifdef", "SetPPPrefix") and not value:
            faults.append(f"line {number}: *{name} needs a value")
    faults += [f"line {n}: *Ifdef without its *Endif" for n, _ in open_ifs]
    return out


def strip_comment(line):
    """A '*%' outside a quoted string starts a comment."""
    quoted = False
    for i, c in enumerate(line):
        if c == '"':
            quoted = not quoted
        elif not quoted and line.startswith("*%", i):
            return line[:i]
    return line


def parse(text, faults, includes=None):
    """The entries as a tree: `*Key: value`, a `{ ... }` block after it
    belonging to it."""
    includes = [] if includes is None else includes
    logical = []  # [first line number, text]
    for number, raw in enumerate(preprocess(text.splitlines(), faults, includes), 1):
        if raw.startswith("+"):  # [LC]
            if logical:
                logical[-1][1] += " " + strip_comment(raw[1:])
            continue
        if raw.lstrip().startswith("+"):
            faults.append(f"line {number}: a continuation's '+' must be the line's first character")
        logical.append([number, strip_comment(raw)])
    root = Node(None, None, 0)
    stack, last = [root], None

    def entry(number, segment):
        if not segment.strip():
            return None
        m = ENTRY.fullmatch(segment)
        if not m:
            faults.append(f"line {number}: not an entry: {segment.strip()[:40]}")
            return None
        node = Node(m.group(1), (m.group(2) or "").strip(), number)
        stack[-1].children.append(node)
        return node

    for number, line in logical:
        segment = ""
        for token in TOKEN.findall(line):
            if token == '"':
                faults.append(f"line {number}: a quoted string that does not end on its line")
            elif token in "{}":
                last = entry(number, segment) or last
                segment = ""
                if token == "{":
                    if last is None:
                        faults.append(f"line {number}: a block that follows no entry")
                        last = Node(None, None, number)
                    stack.append(last)
                elif len(stack) == 1:
                    faults.append(f"line {number}: a closing brace too many")
                else:
                    stack.pop()
                last = None
            else:
                segment += token
        last = entry(number, segment) or (last if not segment.strip() else None)
    if len(stack) != 1:
        faults.append(f"line {stack[-1].line}: its block is never closed")
    return root


def pair(value):
    m = re.fullmatch(r"PAIR\(\s*(-?\d+)\s*,\s*(-?\d+)\s*\)", value or "")
    return (int(m.group(1)), int(m.group(2))) if m else None


def has(node, key):
    return any(n.key == key for n in node.walk())


def check(text):
    """The format's faults of one GPD text, each as 'line N: ...'."""
    faults = []
    root = parse(text, faults)
    nodes = list(root.walk())
    # [RL]
    if root.first("GPDSpecVersion") != '"1.0"':
        faults.append('no root-level *GPDSpecVersion: "1.0"')
    if not pair(root.first("MasterUnits")):
        faults.append("no root-level *MasterUnits: PAIR(x, y)")
    if root.first("PrinterType") not in ("PAGE", "SERIAL", "TTY"):
        faults.append("no root-level *PrinterType: PAGE, SERIAL or TTY")
    if not root.find("ModelName") and not root.find("rcModelNameID"):
        faults.append("no root-level *ModelName or *rcModelNameID")
    for parent in nodes[1:]:
        for child in parent.children:
            if child.key in ROOT_ONLY:
                faults.append(f"line {child.line}: *{child.key} belongs at root level only")
    for feature in (n for n in nodes if n.key == "Feature"):
        options = feature.find("Option")
        names = [o.value for o in options]
        default = feature.first("DefaultOption")
        if default is not None and default not in names:
            faults.append(f"line {feature.line}: {feature.value}'s *DefaultOption {default} is none of its options")
        ids = []
        for option in options:  # [OA]
            if not option.find("Name") and not option.find("rcNameID"):
                faults.append(f"line {option.line}: option {option.value} has no *Name or *rcNameID")
            for value in (o.value for o in option.find("OptionID")):
                where = f"line {option.line}: {feature.value}.{option.value} *OptionID {value}"
                if feature.value not in OPTION_ID_FEATURES:
                    faults.append(f"{where}: only PaperSize, InputBin, Halftone and MediaType options take one")
                elif not value.isdigit() or not 512 < int(value) <= 32767:
                    faults.append(f"{where}: must lie in 513-32767")
                ids.append(value)
        if len(ids) != len(set(ids)):
            faults.append(f"line {feature.line}: {feature.value} repeats an *OptionID")
        if feature.value == "PaperSize":
            faults += paper_faults(options)
    for command in (n for n in nodes if n.key == "Command"):  # [CE]
        orders = [n.value for n in command.walk() if n.key == "Order"]
        if command.value in CONFIG_COMMANDS and not orders:
            faults.append(f"line {command.line}: {command.value} has no *Order")
        for order in orders:
            if not re.fullmatch(r"(%s)\.\d+" % "|".join(SECTIONS), order):
                faults.append(f"line {command.line}: {command.value}'s *Order {order} is no SECTION.number")
    return faults


def paper_faults(options):
    """[PS], [SO]"""
    faults = []
    for option in options:
        where = f"line {option.line}: paper option {option.value}"
        if option.value == "CUSTOMSIZE":
            faults += [f"{where} has no *{k}" for k in ("MinSize", "MaxSize", "MaxPrintableWidth") if not has(option, k)]
            continue
        faults += [f"{where} has no *{k}" for k in ("PrintableArea", "PrintableOrigin") if not has(option, k)]
        if option.value in STANDARD_PAPER:
            if has(option, "PageDimensions"):
                faults.append(f"{where}: *PageDimensions is for vendor-defined sizes only")
        elif not has(option, "PageDimensions"):
            faults.append(f"{where}: a vendor-defined size needs *PageDimensions")
        if len(option.value) >= 32:
            faults.append(f"{where}: the name is longer than CCHFORMNAME allows")
    return faults


def main():
    failed = False
    for name in sys.argv[1:]:
        for fault in check(Path(name).read_bytes().decode("latin-1")):
            print(f"{name}: {fault}")
            failed = True
    return 1 if failed or len(sys.argv) < 2 else 0


if __name__ == "__main__":
    sys.exit(main())
