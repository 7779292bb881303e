#!/usr/bin/env python3
"""Keeps docs/messages.md honest: every message text the program holds has a
row, its English column is the program's English text (the message table in
src/common/message_table.cpp), every row names a test that really expects
that text (a unit test that states its GBK bytes, or an end-to-end scenario
that reads it, or its English text, from the screen), and nothing in the
table is stale.

Usage: check_messages.py [--write]   (--write regenerates the table)
"""
import glob
import os
import re
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
DOC = os.path.join(ROOT, "docs", "messages.md")
MESSAGE_NAME = re.compile(r'constexpr const char (k(?:Msg\w+|Uninstall\w*))\[\] = "([^"]*)";')
TABLE = os.path.join(ROOT, "src", "common", "message_table.cpp")
TABLE_ENTRY = re.compile(r'\{MessageId::(\w+), "([^"]*)", "([^"]*)"\}')
ROW = re.compile(r"^\| (.+?) \| (.+?) \| (.+?) \| (.+?) \| (.+?) \| (.+?) \|$")
MESSAGE, ENGLISH, CAPTION, WHEN, UNIT, E2E = range(6)


def read(path):
    with open(path, encoding="utf-8", errors="replace") as f:
        return f.read()


def program_messages():
    found = {}
    for path in glob.glob(os.path.join(ROOT, "src", "**", "*.*"), recursive=True):
        for name, text in MESSAGE_NAME.findall(read(path)):
            found[text] = name
    return found


def message_table():
    """Chinese text -> (message id, English text), as the program's table holds them."""
    return {zh: (name, en) for name, zh, en in TABLE_ENTRY.findall(read(TABLE))}


def tests_expecting(text, english):
    """Unit tests stating the text's GBK bytes; scenarios stating the text or
    its English text."""
    gbk = "".join("\\x%02x" % b if b > 127 else chr(b) for b in text.encode("gbk")).lower()
    unit = []
    for path in sorted(glob.glob(os.path.join(ROOT, "tests", "unit", "*.cpp"))):
        body = re.sub(r'"\s*"', "", read(path)).lower()  # adjacent literals joined
        body = re.sub(r"\\x([0-7][0-9a-f])", lambda m: chr(int(m.group(1), 16)), body)  # ASCII written in hex
        if gbk in body:
            unit.append(os.path.basename(path)[:-4])
    e2e = []
    for path in sorted(glob.glob(os.path.join(ROOT, "tests", "e2e", "scenarios", "*.sh"))):
        body = read(path)
        # A robot line ("message CAPTION|TEXT") or a quoted 'CAPTION|TEXT' argument.
        if any(re.search(r"^(message|quiet)?.*\|" + re.escape(t) + r"(\s*$|')", body, re.M) for t in (text, english)):
            e2e.append(os.path.basename(path)[:-3])
    return unit, e2e


def table_rows():
    rows = {}
    for line in read(DOC).splitlines():
        m = ROW.match(line)
        if m and m.group(1) not in ("Message", "---"):
            rows[m.group(1)] = m.groups()
    return rows


def main():
    messages = program_messages()
    table = message_table()
    rows = table_rows()
    passed = failed = 0

    def check(ok, what):
        nonlocal passed, failed
        if ok:
            passed += 1
        else:
            failed += 1
            print("FAIL " + what)

    for text in sorted(messages):
        row = rows.get(text)
        check(row is not None, "no row for %r (%s)" % (text, messages[text]))
        if row is None:
            continue
        entry = table.get(text)
        check(entry is not None, "%r (%s) is not in the message table" % (text, messages[text]))
        english = entry[1] if entry else None
        check(row[ENGLISH] == english, "row %r gives the English %r where the program shows %r"
              % (text, row[ENGLISH], english))
        caption = table.get(row[CAPTION])
        check(caption is not None and caption[0] in ("CaptionError", "CaptionNotice"),
              "row %r names the caption %r, which is no caption of the program" % (text, row[CAPTION]))
        unit, e2e = tests_expecting(text, english)
        check(unit or e2e, "no test expects %r" % text)
        listed_unit = [t.strip() for t in row[UNIT].split(",") if t.strip() not in ("", "—")]
        listed_e2e = [t.strip() for t in row[E2E].split(",") if t.strip() not in ("", "—")]
        check(set(listed_unit) <= set(unit), "row %r names unit tests that do not expect it: %s"
              % (text, sorted(set(listed_unit) - set(unit))))
        check(set(listed_e2e) <= set(e2e), "row %r names scenarios that do not show it: %s"
              % (text, sorted(set(listed_e2e) - set(e2e))))
    for text in rows:
        check(text in messages, "row %r is not a message of the program" % text)
    # Every failure message has its exit code in the unattended mode's table
    # and in the README's list.
    codes = read(os.path.join(ROOT, "src", "unattended", "exit_codes.cpp"))
    readme = read(os.path.join(ROOT, "README.md"))
    for text, row in sorted(rows.items()):
        if row[CAPTION] != "错误" or text not in messages or text not in table:
            continue
        check(re.search(r"\{MessageId::%s, \d+\}" % table[text][0], codes) is not None,
              "%s (%r) has no exit code in exit_codes.cpp" % (table[text][0], text))
        check(re.search(r"^\| \d+ \| %s( |$)" % re.escape(text), readme, re.M) is not None,
              "the README lists no exit code for %r" % text)
    print("messages: %d passed, %d failed" % (passed, failed))
    return 0 if failed == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
