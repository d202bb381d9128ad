#!/usr/bin/env python3
"""Writes client lists of a given size in both export formats, as a site's management system
would: GBK text, CR LF line ends.

    gen_lists.py --clients N --format ini|xml --out FILE [--seed S]

The INI list has one section per client, named by its MAC address (00-1A-2B-3C-4D-5E), with the
keys Name, IPAddr, Group and Mask. The XML list has a declaration and a root ClientInfor with one
Client element per client holding Mac (12 hex digits, small letters, no separators), Name and IP.

Names mix Chinese, ASCII letters of both cases, full-width small letters and digits, so that the
edit box's conversion to capitals has work to do. The same seed and size always give the same
bytes.
"""
import argparse
import random
import sys

# Areas of a typical site; the last ones carry small letters, ASCII and full width.
AREAS = ["网吧A区", "网吧B区", "电竞区", "休闲区", "前台", "收银台", "vip包厢", "ｇａｍｅ区",
         "Pc-", "网管机"]
GROUPS = ["默认分组", "电竞组", "包厢组", "办公组"]


def mac_bytes(i, rng):
    # Unique per client: the index in the low three bytes, a fixed vendor prefix.
    return [0x00, 0x1A, 0x2B, (i >> 16) & 0xFF, (i >> 8) & 0xFF, i & 0xFF] if i < 1 << 24 else \
        [rng.randrange(256) for _ in range(6)]


def clients(n, seed):
    rng = random.Random(seed)
    for i in range(n):
        mac = mac_bytes(i, rng)
        area = AREAS[rng.randrange(len(AREAS))]
        name = "%s%0*d" % (area, 3 if n < 1000 else len(str(n)), i + 1)
        ip = "10.%d.%d.%d" % ((i >> 16) & 0xFF, (i >> 8) & 0xFF, i & 0xFF)
        group = GROUPS[rng.randrange(len(GROUPS))]
        yield mac, name, ip, group


def write_ini(out, n, seed):
    parts = []
    for mac, name, ip, group in clients(n, seed):
        parts.append("[%s]\r\nName=%s\r\nIPAddr=%s\r\nGroup=%s\r\nMask=255.255.0.0\r\n"
                     % ("-".join("%02X" % b for b in mac), name, ip, group))
    out.write("".join(parts).encode("gbk"))


def write_xml(out, n, seed):
    parts = ['<?xml version="1.0" encoding="gb2312"?>\r\n<ClientInfor>\r\n']
    for mac, name, ip, _ in clients(n, seed):
        parts.append("  <Client>\r\n    <Mac>%s</Mac>\r\n    <Name>%s</Name>\r\n"
                     "    <IP>%s</IP>\r\n  </Client>\r\n"
                     % ("".join("%02x" % b for b in mac), name, ip))
    parts.append("</ClientInfor>\r\n")
    out.write("".join(parts).encode("gbk"))


def main():
    p = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    p.add_argument("--clients", type=int, required=True)
    p.add_argument("--format", choices=["ini", "xml"], required=True)
    p.add_argument("--out", required=True)
    p.add_argument("--seed", type=int, default=936)
    a = p.parse_args()
    if a.clients < 0:
        p.error("--clients must not be negative")
    with open(a.out, "wb") as out:
        (write_ini if a.format == "ini" else write_xml)(out, a.clients, a.seed)
    return 0


if __name__ == "__main__":
    sys.exit(main())
