#!/usr/bin/env python3
"""Compiles a window source file (.form) into the binary form description the runtime reads.

Writes the stream itself (--stream), and a C++ header (--header) and source (--cpp) that embed it
in namespace marvane::resources. Texts are written in GBK. The syntax is described at the top of
resources/startup_window.form; in short, one statement a line, '#' starts a comment:

    handlers NAME...               the program's handlers; a binding stores the name's position
    window ID                      then: stored A B / texts "A" "B"
    unit ID CLASS                  the first unit of a window is the window's own; then each once:
      source ID / name "T" / second-name "T" / position L T W H / container ID|window /
      cursor default / tag "T" / flags visible|disabled|tabstop|none ...
      children ID...               optional
      on EVENT HANDLER|none        optional, repeatable
      data VERSION                 the class's own fields follow, in stream order:
        dword N... / word N / text "T" / ztext "T" / items "A" "B"... /
        block empty / block file NAME / block { ... }
"""
import argparse
import os
import struct
import sys

CLASSES = {
    "window": 0x00010001,
    "edit-box": 0x00010005,
    "group-box": 0x00010009,
    "label": 0x0001000A,
    "button": 0x0001000B,
    "combo-box": 0x0001000E,
    "drop-target": 0x00020001,
    "status-bar": 0x00030002,
}
FLAGS = {"visible": 0x1, "disabled": 0x2, "tabstop": 0x4}
NO_HANDLER = 0xFFFFFFFF
UNIT_FIELDS = ("source", "name", "second-name", "position", "container", "cursor", "tag", "flags")


class FormError(Exception):
    pass


def tokenize(line):
    """Words and quoted strings; a '#' outside quotes ends the line."""
    tokens, i = [], 0
    while i < len(line):
        c = line[i]
        if c.isspace():
            i += 1
        elif c == "#":
            break
        elif c == '"':
            out, i = [], i + 1
            while True:
                if i >= len(line):
                    raise FormError("unterminated text")
                c = line[i]
                if c == '"':
                    i += 1
                    break
                if c == "\\":
                    if i + 1 >= len(line):
                        raise FormError("unterminated text")
                    esc = line[i + 1]
                    if esc not in 'rnt"\\':
                        raise FormError("unknown escape \\%s" % esc)
                    out.append({"r": "\r", "n": "\n", "t": "\t"}.get(esc, esc))
                    i += 2
                else:
                    out.append(c)
                    i += 1
            tokens.append(("text", "".join(out)))
        else:
            start = i
            while i < len(line) and not line[i].isspace() and line[i] not in '#"':
                i += 1
            tokens.append(("word", line[start:i]))
    return tokens


def gbk(text):
    try:
        return text.encode("cp936")
    except UnicodeEncodeError as e:
        raise FormError("text %r has characters GBK cannot hold" % text) from e


def number(token, low, high):
    kind, value = token
    if kind != "word":
        raise FormError("expected a number, found a text")
    if len(value) == 3 and value[0] == value[2] == "'":
        n = ord(value[1])
    else:
        try:
            n = int(value, 0)
        except ValueError as e:
            raise FormError("expected a number, found %r" % value) from e
    if not low <= n <= high:
        raise FormError("%s is out of range" % value)
    return n


def dword(token):
    return number(token, -0x80000000, 0xFFFFFFFF) & 0xFFFFFFFF


def identifier(token):
    n = number(token, 0, 0xFFFFFFFF)
    if n & 0x00FFFFFF == 0 or (n >> 24) & 0xF == 0:
        raise FormError("0x%08X is not a valid identifier" % n)
    return n


def text(token):
    kind, value = token
    if kind != "text":
        raise FormError("expected a quoted text, found %r" % value)
    return value


def u32(n):
    return struct.pack("<I", n & 0xFFFFFFFF)


def counted(data):
    return u32(len(data)) + data


def zero_ended(data):
    if b"\0" in data:
        raise FormError("a zero-ended text cannot hold a 0 byte")
    return data + b"\0"


class Unit:
    def __init__(self, ident, class_type):
        self.id = ident
        self.class_type = class_type
        self.fields = {}
        self.children = []
        self.events = []  # (event, handler name or None)
        self.version = None
        self.blocks = [bytearray()]  # component data, with open nested blocks on top


class Window:
    def __init__(self, ident):
        self.id = ident
        self.stored = None
        self.texts = None
        self.units = []


class Compiler:
    def __init__(self, search_dirs):
        self.search_dirs = search_dirs
        self.handlers = []
        self.windows = []

    def parse(self, path):
        with open(path, encoding="utf-8") as f:
            lines = f.read().splitlines()
        for n, line in enumerate(lines, 1):
            try:
                tokens = tokenize(line)
                if tokens:
                    self.statement(tokens[0], tokens[1:])
            except FormError as e:
                sys.exit("%s:%d: %s" % (path, n, e))
        try:
            self.check()
        except FormError as e:
            sys.exit("%s: %s" % (path, e))

    def expect(self, args, count):
        if len(args) != count:
            raise FormError("expected %d value(s), found %d" % (count, len(args)))

    def statement(self, head, args):
        kind, key = head
        if kind != "word":
            raise FormError("a line starts with a keyword")
        unit = self.windows[-1].units[-1] if self.windows and self.windows[-1].units else None
        if unit is not None and unit.version is not None and key not in ("unit", "window"):
            return self.data_field(unit, key, args)
        if key == "handlers":
            if self.handlers or not args:
                raise FormError("one 'handlers' line naming at least one handler")
            names = [a[1] for a in args]
            if len(set(names)) != len(names) or any(not a[1].isidentifier() for a in args):
                raise FormError("handler names must be distinct identifiers")
            self.handlers = names
        elif key == "window":
            self.expect(args, 1)
            if unit is not None and len(unit.blocks) > 1:
                raise FormError("block left open")
            self.windows.append(Window(identifier(args[0])))
        elif not self.windows:
            raise FormError("'%s' outside a window" % key)
        elif key == "stored":
            self.expect(args, 2)
            self.windows[-1].stored = [dword(a) for a in args]
        elif key == "texts":
            self.expect(args, 2)
            self.windows[-1].texts = [gbk(text(a)) for a in args]
        elif key == "unit":
            self.expect(args, 2)
            if unit is not None and len(unit.blocks) > 1:
                raise FormError("block left open")
            cls = CLASSES.get(args[1][1]) if args[1][0] == "word" else None
            if cls is None:
                cls = number(args[1], 1, 0xFFFFFFFF)
            self.windows[-1].units.append(Unit(identifier(args[0]), cls))
        elif unit is None:
            raise FormError("'%s' outside a unit" % key)
        else:
            self.unit_field(unit, key, args)

    def unit_field(self, unit, key, args):
        if key in UNIT_FIELDS and key in unit.fields:
            raise FormError("'%s' given twice" % key)
        if key == "source":
            self.expect(args, 1)
            n = number(args[0], 0, 0xFFFFFFFF)
            unit.fields[key] = n if n == 0 else identifier(args[0])
        elif key in ("name", "second-name", "tag"):
            self.expect(args, 1)
            unit.fields[key] = zero_ended(gbk(text(args[0])))
        elif key == "position":
            self.expect(args, 4)
            unit.fields[key] = [number(a, -0x80000000, 0x7FFFFFFF) for a in args]
        elif key == "container":
            self.expect(args, 1)
            unit.fields[key] = 0 if args[0] == ("word", "window") else identifier(args[0])
        elif key == "children":
            unit.children += [identifier(a) for a in args]
        elif key == "cursor":
            self.expect(args, 1)
            if args[0] != ("word", "default"):
                raise FormError("only the default cursor is known")
            unit.fields[key] = b"\0\0\0\0"
        elif key == "flags":
            if not args:
                raise FormError("flags: name them, or 'none'")
            bits = 0
            for a in args:
                if a == ("word", "none") and len(args) == 1:
                    continue
                if a[0] != "word" or a[1] not in FLAGS:
                    raise FormError("unknown flag %r" % a[1])
                bits |= FLAGS[a[1]]
            unit.fields[key] = bits
        elif key == "on":
            self.expect(args, 2)
            event = number(args[0], -0x80000000, 0x7FFFFFFF)
            if any(e == event for e, _ in unit.events):
                raise FormError("event %d bound twice" % event)
            name = None if args[1] == ("word", "none") else args[1][1]
            unit.events.append((event, name))
        elif key == "data":
            self.expect(args, 1)
            unit.version = dword(args[0])
            unit.blocks[0] += u32(unit.version)
        else:
            raise FormError("unknown unit field '%s'" % key)

    def data_field(self, unit, key, args):
        out = unit.blocks[-1]
        if key == "dword":
            if not args:
                raise FormError("dword: at least one value")
            for a in args:
                out += u32(dword(a))
        elif key == "word":
            self.expect(args, 1)
            out += struct.pack("<H", number(args[0], 0, 0xFFFF))
        elif key == "text":
            self.expect(args, 1)
            out += counted(gbk(text(args[0])))
        elif key == "ztext":
            self.expect(args, 1)
            out += zero_ended(gbk(text(args[0])))
        elif key == "items":
            items = [gbk(text(a)) for a in args]
            if len(items) < 0xFFFF:
                out += struct.pack("<H", len(items))
            else:
                out += struct.pack("<H", 0xFFFF) + u32(len(items))
            for item in items:
                out += counted(item)
        elif key == "block":
            if args == [("word", "empty")]:
                out += u32(0)
            elif args == [("word", "{")]:
                unit.blocks.append(bytearray())
            elif len(args) == 2 and args[0] == ("word", "file"):
                out += counted(self.read_file(args[1][1]))
            else:
                raise FormError("block: 'empty', 'file NAME' or '{'")
        elif key == "}":
            self.expect(args, 0)
            if len(unit.blocks) == 1:
                raise FormError("'}' without an open block")
            inner = unit.blocks.pop()
            unit.blocks[-1] += counted(bytes(inner))
        else:
            raise FormError("unknown data field '%s'" % key)

    def read_file(self, name):
        for d in self.search_dirs:
            path = os.path.join(d, name)
            if os.path.isfile(path):
                with open(path, "rb") as f:
                    return f.read()
        raise FormError("file %s not found in %s" % (name, ", ".join(self.search_dirs)))

    def check(self):
        if not self.windows:
            raise FormError("no window")
        seen_windows = set()
        for w in self.windows:
            where = "window 0x%08X" % w.id
            if w.id in seen_windows:
                raise FormError("%s given twice" % where)
            seen_windows.add(w.id)
            if w.stored is None or w.texts is None:
                raise FormError("%s: 'stored' and 'texts' are required" % where)
            if not w.units or w.units[0].class_type != CLASSES["window"]:
                raise FormError("%s: its first unit must be the window's own" % where)
            ids = [u.id for u in w.units]
            if len(set(ids)) != len(ids):
                raise FormError("%s: a unit identifier is given twice" % where)
            by_id = {u.id: u for u in w.units}
            for u in w.units:
                self.check_unit(w, u, by_id)

    def check_unit(self, w, u, by_id):
        where = "unit 0x%08X" % u.id
        missing = [k for k in UNIT_FIELDS if k not in u.fields]
        if missing:
            raise FormError("%s: missing %s" % (where, ", ".join(missing)))
        if u.version is None:
            raise FormError("%s: no 'data'" % where)
        if len(u.blocks) > 1:
            raise FormError("%s: block left open" % where)
        container = u.fields["container"]
        if container:
            if container not in by_id or container == u.id:
                raise FormError("%s: container 0x%08X is not a unit of the window" % (where, container))
            if u.id not in by_id[container].children:
                raise FormError("%s: its container does not list it as a child" % where)
        for child in u.children:
            if child not in by_id or by_id[child].fields.get("container") != u.id:
                raise FormError("%s: child 0x%08X does not name it as container" % (where, child))
        for _, name in u.events:
            if name is not None and name not in self.handlers:
                raise FormError("%s: handler %s is not in the 'handlers' list" % (where, name))
        source = u.fields["source"]
        if source and source not in by_id:
            raise FormError("%s: event source 0x%08X is not a unit of the window" % (where, source))

    def unit_record(self, u):
        f = u.fields
        out = bytearray()
        out += u32(u.class_type) + u32(f["source"]) + bytes(16)
        out += f["name"] + f["second-name"]
        out += u32(0)  # object slot, filled at run time
        out += b"".join(struct.pack("<i", v) for v in f["position"])
        out += u32(0) + u32(f["container"])
        out += u32(len(u.children)) + b"".join(u32(c) for c in u.children)
        out += counted(f["cursor"]) + f["tag"]
        out += u32(0) + u32(f["flags"]) + u32(0)
        out += u32(len(u.events))
        for event, name in u.events:
            handler = NO_HANDLER if name is None else self.handlers.index(name)
            out += u32(event) + u32(handler)
        out += bytes(20)
        out += u.blocks[0]
        return bytes(out)

    def stream(self):
        out = bytearray()
        table = b"".join(u32(w.id) for w in self.windows) + bytes(4 * len(self.windows))
        out += counted(table)
        for w in self.windows:
            out += u32(w.stored[0]) + u32(w.stored[1])
            out += counted(w.texts[0]) + counted(w.texts[1])
            records = [counted(self.unit_record(u)) for u in w.units]
            offsets, at = [], 0
            for r in records:
                offsets.append(at)
                at += len(r)
            collection = b"".join(u32(u.id) for u in w.units)
            collection += b"".join(u32(o) for o in offsets) + b"".join(records)
            out += u32(len(w.units)) + counted(collection)
        return bytes(out)


def header_text(source_name, handlers, size):
    lines = [
        "// Generated from %s by form_compiler.py; edit that file instead." % source_name,
        "#pragma once",
        "",
        "#include <cstddef>",
        "#include <cstdint>",
        "#include <string_view>",
        "",
        "namespace marvane::resources {",
        "",
        "// The handler identifiers that the form's event bindings store: positions in the",
        "// program's handler table, which must list the handlers in this order.",
    ]
    for i, name in enumerate(handlers):
        lines.append("inline constexpr std::uint32_t kHandler%s = %d;" % (name, i))
    lines += [
        "inline constexpr std::size_t kHandlerCount = %d;" % len(handlers),
        "inline constexpr const char* kHandlerNames[kHandlerCount] = {",
    ]
    lines += ['    "%s",' % h for h in handlers]
    lines += [
        "};",
        "",
        "// The form description stream.",
        "inline constexpr std::size_t kFormDescriptionSize = %d;" % size,
        "extern const unsigned char kFormDescription[kFormDescriptionSize];",
        "inline std::string_view FormDescriptionStream() {",
        "  return {reinterpret_cast<const char*>(kFormDescription), kFormDescriptionSize};",
        "}",
        "",
        "}  // namespace marvane::resources",
        "",
    ]
    return "\n".join(lines)


def source_text(source_name, header_include, data):
    lines = [
        "// Generated from %s by form_compiler.py; edit that file instead." % source_name,
        '#include "%s"' % header_include,
        "",
        "namespace marvane::resources {",
        "",
        "const unsigned char kFormDescription[kFormDescriptionSize] = {",
    ]
    for i in range(0, len(data), 16):
        lines.append("    " + " ".join("0x%02X," % b for b in data[i:i + 16]))
    lines += ["};", "", "}  // namespace marvane::resources", ""]
    return "\n".join(lines)


def write_if_changed(path, content):
    mode = "b" if isinstance(content, bytes) else ""
    try:
        with open(path, "r" + mode) as f:
            if f.read() == content:
                return
    except OSError:
        pass
    os.makedirs(os.path.dirname(os.path.abspath(path)), exist_ok=True)
    with open(path, "w" + mode) as f:
        f.write(content)


def main():
    p = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    p.add_argument("source")
    p.add_argument("--search", action="append", default=[],
                   help="directory where 'block file' names are looked up (repeatable)")
    p.add_argument("--stream", help="where to write the binary stream")
    p.add_argument("--header", help="where to write the C++ header")
    p.add_argument("--header-include", default="resources/embedded.h",
                   help="how the generated source includes the header")
    p.add_argument("--cpp", help="where to write the C++ source")
    args = p.parse_args()

    compiler = Compiler(args.search or [os.path.dirname(os.path.abspath(args.source))])
    compiler.parse(args.source)
    data = compiler.stream()
    name = os.path.basename(args.source)
    if args.stream:
        write_if_changed(args.stream, data)
    if args.header:
        write_if_changed(args.header, header_text(name, compiler.handlers, len(data)))
    if args.cpp:
        write_if_changed(args.cpp, source_text(name, args.header_include, data))


if __name__ == "__main__":
    main()
