#!/usr/bin/env python3
"""Turns a UTF-8 list of the program's texts into a C++ header of GBK byte constants.

Input lines: `kName = text`; blank lines and lines starting with '#' are skipped. In the text,
\\r, \\n, \\t and \\\\ are escapes; trailing blanks are kept up to an optional closing `|`.
"""
import sys


def unescape(s):
    out, i = [], 0
    while i < len(s):
        if s[i] == "\\" and i + 1 < len(s):
            out.append({"r": "\r", "n": "\n", "t": "\t", "\\": "\\"}.get(s[i + 1], s[i + 1]))
            i += 2
        else:
            out.append(s[i])
            i += 1
    return "".join(out)


def c_literal(data):
    """The bytes as the body of a C string literal, non-ASCII as hex escapes."""
    out, after_escape = [], False
    for b in data:
        if b >= 0x7F or b < 0x20 or b in (0x22, 0x5C, 0x3F):
            out.append("\\x%02X" % b)
            after_escape = True
            continue
        if after_escape and chr(b) in "0123456789abcdefABCDEF":
            out.append('" "')  # end the literal so the digit is not read as part of the escape
        out.append(chr(b))
        after_escape = False
    return "".join(out)


def main():
    src, dst, namespace = sys.argv[1], sys.argv[2], sys.argv[3]
    lines = ["// Generated from %s; edit that file instead." % src.split("/")[-1],
             "#pragma once", "", "namespace %s {" % namespace, ""]
    with open(src, encoding="utf-8") as f:
        for n, raw in enumerate(f, 1):
            line = raw.rstrip("\n")
            if not line.strip() or line.lstrip().startswith("#"):
                continue
            name, sep, text = line.partition(" = ")
            if not sep:
                sys.exit("%s:%d: expected 'kName = text'" % (src, n))
            if text.endswith("|"):
                text = text[:-1]
            data = unescape(text).encode("cp936")
            lines.append("// %s" % text.replace("\r", "\\r").replace("\n", "\\n"))
            lines.append('inline constexpr char %s[] = "%s";' % (name.strip(), c_literal(data)))
    lines += ["", "}  // namespace %s" % namespace, ""]
    out = "\n".join(lines)
    try:
        with open(dst, encoding="utf-8") as f:
            if f.read() == out:
                return
    except OSError:
        pass
    with open(dst, "w", encoding="utf-8") as f:
        f.write(out)


if __name__ == "__main__":
    main()
