#!/usr/bin/env python3
"""A second, independent conversion of a client list, written with the Python standard library
only (configparser, xml.etree.ElementTree), to check marvane-convert's output and to time it
against.

    convert.py [--dir DIR] FILE

Behaves like marvane-convert: recognises the list by "IPAddr=" and "Name=" (INI list) or
"<ClientInfor>" (XML list) anywhere in the text before its first NUL, writes the MAC list to
DIR/mac_sample.txt as GBK (lines "MAC name" joined by CR LF, no final line end, letters in
capitals as the edit box gives them back) and prints the count as the status bar shows it.
Exit code 0 when saved, 1 when refused or nothing to save, 2 for a usage error.

The generated lists keep to the ground where both conversions agree. Outside it they differ,
because the standard readers read the formats differently from the program:

INI lists (configparser against the program's line pass and profile reader)
- a section header repeated is one section here, counted once; the program gives a line for each;
- of two equal keys the later wins here, the first in the program;
- "[]" and other lines without "=" fail the whole file here; the program skips or counts them;
- an indented line (a header too) continues the value before it here; in the program it is a key
  line of its own;
- the name runs to the last "]" here, to the first "]" in the program's list; a "|" in a name
  splits it into several in the program;
- values keep their quotes and any length here; the program drops one pair of quotes and cuts
  values at 10239 bytes;
- section names match exactly here, ASCII letters regardless of case in the program;
- a NUL or 0x1A byte ends the program's line pass; here only a NUL ends the text.

XML lists (ElementTree against the program's own tree)
- a document that is not well-formed XML (a bare "&", an unquoted attribute, an unknown entity)
  is refused here and read by the program;
- numeric character references are decoded here and kept by the program; of several CDATA
  sections the text joins them here and keeps the last in the program.

Both: the file is decoded as GBK here; a file with a byte-order mark reads differently.
"""
import argparse
import configparser
import os
import sys
import xml.etree.ElementTree as ET

CODEC = "gbk"


def capitals(text):
    """The edit box's conversion to capitals: ASCII letters, and a double-byte character only
    when its capital is a single character that GBK holds in two bytes."""
    def capital(c):
        if c < "\x80":
            return c.upper() if "a" <= c <= "z" else c
        u = c.upper()
        if u == c or len(u) != 1:
            return c
        try:
            return u if len(u.encode(CODEC)) == 2 else c
        except UnicodeEncodeError:
            return c

    changed = {c: capital(c) for c in set(text)}
    changed = {c: u for c, u in changed.items() if u != c}
    if not changed:
        return text
    # str.upper is fast; use it when it agrees with the rule on every character that occurs.
    upper = text.upper()
    if len(upper) == len(text) and all(
            c.upper() == changed.get(c, c) for c in set(text) if c.upper() != c):
        return upper
    return text.translate({ord(c): u for c, u in changed.items()})


def read_ini(text):
    parser = configparser.ConfigParser(interpolation=None, strict=False, delimiters=("=",),
                                       comment_prefixes=(), empty_lines_in_values=False,
                                       default_section="\x00")
    try:
        parser.read_string(text)
    except configparser.Error:
        return [], 0
    lines = []
    sections = parser.sections()
    for section in sections:
        if section:
            lines.append("%s %s" % (section, parser.get(section, "name", fallback="")))
    return lines, len(sections)


def format_mac(mac):
    raw = mac.encode(CODEC)
    result = b""
    for j in range(6):
        piece = raw[2 * j:2 * j + 2]
        result = piece if not result else result + b"-" + piece
    return result.decode(CODEC, errors="replace")


def read_xml(data):
    parser = ET.XMLParser(encoding="utf-8")
    try:
        parser.feed(data.encode("utf-8"))
        root = parser.close()
    except ET.ParseError:
        return [], 0
    if root.tag != "ClientInfor":
        return [], 0
    blanks = " \t\r\n"
    lines = []
    for client in root:
        mac = (client.findtext("Mac") or "").strip(blanks)
        name = (client.findtext("Name") or "").strip(blanks)
        lines.append("%s %s" % (format_mac(mac), name))
    return lines, len(lines)


def main():
    p = argparse.ArgumentParser(description="converts a client list like marvane-convert")
    p.add_argument("--dir", default=".")
    p.add_argument("file")
    try:
        a = p.parse_args()
    except SystemExit as e:
        return 2 if e.code else 0
    try:
        with open(a.file, "rb") as f:
            data = f.read()
    except OSError:
        data = b""
    text = data.split(b"\x00", 1)[0].decode(CODEC, errors="replace")
    if "IPAddr=" in text and "Name=" in text:
        lines, count = read_ini(text)
    elif "<ClientInfor>" in text:
        lines, count = read_xml(text)
    else:
        sys.stderr.write("[信息：] 暂不支持此文件列表\n")
        return 1
    print(" 共 %d 条" % count)
    listing = capitals("\r\n".join(lines))
    if not listing:
        sys.stderr.write("[信息：] 没有可保存的列表\n")
        return 1
    with open(os.path.join(a.dir, "mac_sample.txt"), "wb") as f:
        f.write(listing.encode(CODEC))
    return 0


if __name__ == "__main__":
    sys.exit(main())
