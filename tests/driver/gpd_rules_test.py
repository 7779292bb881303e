#!/usr/bin/env python3
"""The GPD checks on small descriptions of our own: the format's rules
(tools/driver_plugin/gpd_format.py) accept what Microsoft's samples do and
refuse the known-bad variants; the package's policy (gpd_lint.py) is stricter
on our own files where the format is not.
  gpd_rules_test.py SOURCE_DIR"""
import sys
import unittest
from pathlib import Path

SOURCE = Path(sys.argv.pop(1)).resolve() if len(sys.argv) > 1 else Path(__file__).resolve().parents[2]
sys.path.insert(0, str(SOURCE / "tools" / "driver_plugin"))
import gpd_format  # noqa: E402
import gpd_lint  # noqa: E402

# What the samples do that a naive reader trips on: *GPDFileName before
# *GPDSpecVersion, *Ifdef blocks, EXTERN_GLOBAL, "*Cmd :", braces of a
# parameter inside a command, '+' continuations, a standard size without
# *PageDimensions, its area inside a *switch, a feature without a default.
GOOD = """*GPDFileName: "t.gpd"
*GPDSpecVersion: "1.0"
*Include: "StdNames.gpd"
*ModelName: "T"
*MasterUnits: PAIR(600, 600)
*PrinterType: PAGE
*% a comment { with a brace
*Ifdef: WINNT_51
*Feature: Extra
{
    *Option: One { *Name: "one" }
}
*Endif:
*Feature: Resolution
{
    *DefaultOption: R1
    *Option: R1
    {
        *Name: "600 dpi"
        EXTERN_GLOBAL: *StripBlanks: LIST(ENCLOSED)
        *Command: CmdSendBlockData { *Cmd : "<1B>*b" %d{NumOfDataBytes}"W" }
        *Command: CmdSelect
        {
            *Order: DOC_SETUP.7
            *Cmd: "<1B>"
+                 "*t600R"
        }
    }
}
*Feature: PaperSize
{
    *DefaultOption: LETTER
    *Option: LETTER
    {
        *rcNameID: =RCID_DMPAPER_SYSTEM_NAME
        *OptionID: 513
        *switch: Orientation
        {
            *case: PORTRAIT
            {
                *PrintableArea: PAIR(4800, 6400)
                *PrintableOrigin: PAIR(50, 50)
            }
        }
    }
    *Option: Roll
    {
        *Name: "Roll"
        *PageDimensions: PAIR(1370, 7000)
        *PrintableArea: PAIR(1200, 7000)
        *PrintableOrigin: PAIR(85, 0)
    }
    *Option: CUSTOMSIZE
    {
        *rcNameID: =USER_DEFINED_SIZE_DISPLAY
        *MinSize: PAIR(1370, 600)
        *MaxSize: PAIR(1370, 70000)
        *MaxPrintableWidth: 1200
    }
}
*Command: CmdStartPage
{
    *Order: PAGE_SETUP.1
    *Cmd: ""
}
"""

# (name, text replaced, replacement, part of the fault, or None: accepted)
CASES = [
    ("# is GDL's prefix", '*Include: "Std', '#Include: "Std', "#Include is no directive"),
    ("# while *SetPPPrefix makes it so", '*Include: "StdNames.gpd"\n',
     '*SetPPPrefix: #\n#Include: "StdNames.gpd"\n#SetPPPrefix: *\n', None),
    ("an unquoted *Include", '*Include: "StdNames.gpd"', "*Include: StdNames.gpd", "quoted file name"),
    ("no *GPDSpecVersion", '*GPDSpecVersion: "1.0"\n', "", "no root-level *GPDSpecVersion"),
    ("*GPDSpecVersion first", '*GPDFileName: "t.gpd"\n*GPDSpecVersion: "1.0"',
     '*GPDSpecVersion: "1.0"\n*GPDFileName: "t.gpd"', None),
    ("no *MasterUnits", "*MasterUnits: PAIR(600, 600)\n", "", "*MasterUnits"),
    ("an unknown *PrinterType", "*PrinterType: PAGE", "*PrinterType: LASER", "*PrinterType"),
    ("a root-level attribute in a block", '*Name: "600 dpi"', '*Name: "600 dpi"\n*ModelName: "X"', "root level only"),
    ("a brace too many", "*Command: CmdStartPage\n{", "}\n*Command: CmdStartPage\n{", "closing brace too many"),
    ("a block never closed", "    *Option: One { *Name: \"one\" }", "    *Option: One { *Name: \"one\"", "never closed"),
    ("a block after no entry", "*Feature: Resolution\n{", "*Feature: Resolution\n{\n{", "follows no entry"),
    ("a quote left open", '*Name: "Roll"', '*Name: "Roll', "does not end on its line"),
    ("*Ifdef without *Endif", "*Endif:\n", "", "*Ifdef without its *Endif"),
    ("*Endif without *Ifdef", "*Ifdef: WINNT_51\n", "", "*Endif without its *Ifdef"),
    ("a continuation after blanks", '+                 "*t600R"', ' +                "*t600R"', "first character"),
    ("a default that is no option", "*DefaultOption: R1", "*DefaultOption: R2", "none of its options"),
    ("an option without a name", '*Option: One { *Name: "one" }', "*Option: One { *Installable?: FALSE }",
     "no *Name or *rcNameID"),
    ("an *OptionID of unidrv's own range", "*OptionID: 513", "*OptionID: 257", "513-32767"),
    ("an *OptionID where none belongs", '*Name: "600 dpi"', '*Name: "600 dpi"\n*OptionID: 600', "only PaperSize"),
    ("a vendor size without its page", "*PageDimensions: PAIR(1370, 7000)\n", "", "vendor-defined size needs"),
    ("a standard size with a page", "*OptionID: 513", "*OptionID: 513\n*PageDimensions: PAIR(5100, 6600)",
     "vendor-defined sizes only"),
    ("a size without its area", "*PrintableArea: PAIR(4800, 6400)\n", "", "no *PrintableArea"),
    ("a custom size without its width", "*MaxPrintableWidth: 1200\n", "", "no *MaxPrintableWidth"),
    ("a configuration command without *Order", "    *Order: PAGE_SETUP.1\n", "", "CmdStartPage has no *Order"),
    ("an *Order in no section", "*Order: PAGE_SETUP.1", "*Order: PAGE_START.1", "no SECTION.number"),
]


class FormatRules(unittest.TestCase):
    def test_the_base_is_accepted(self):
        self.assertEqual([], gpd_format.check(GOOD))

    def test_each_variant(self):
        for name, old, new, fault in CASES:
            with self.subTest(name):
                self.assertIn(old, GOOD)
                faults = gpd_format.check(GOOD.replace(old, new, 1))
                if fault is None:
                    self.assertEqual([], faults)
                else:
                    self.assertTrue(any(fault in f for f in faults), faults)


class PackagePolicy(unittest.TestCase):
    """Our own description, changed where the format allows it and we do not."""

    def lint(self, old, new, tmp=Path("/tmp")):
        text = (SOURCE / "resources" / "driver" / "lumatrek.gpd").read_bytes().decode("ascii")
        self.assertIn(old, text)
        path = tmp / f"gpd_rules_test_{id(self)}.gpd"
        path.write_bytes(text.replace(old, new, 1).encode("ascii"))
        try:
            return gpd_format.check(path.read_text()), gpd_lint.lint(path, {1, 2, 3}, set())
        finally:
            path.unlink()

    def test_stricter_than_the_format(self):
        for old, new, fault in [
            ('*GPDSpecVersion: "1.0"\r\n*% lumatrek.gpd\r\n', '*% lumatrek.gpd\r\n*GPDSpecVersion: "1.0"\r\n',
             "not the first line"),
            ('*Include: "StdNames.gpd"\r\n', "", "StdNames.gpd"),
            ("*Order: JOB_SETUP.1", "*Order: DOC_SETUP.1", "CmdStartJob ordered in DOC_SETUP.1"),
            ("*PrintableOrigin: PAIR(40, 0)", "*PrintableOrigin: PAIR(0, 0)", "not centred"),
        ]:
            with self.subTest(fault):
                format_faults, policy_faults = self.lint(old, new)
                self.assertEqual([], format_faults)
                self.assertTrue(any(fault in f for f in policy_faults), policy_faults)


if __name__ == "__main__":
    unittest.main(verbosity=1)
