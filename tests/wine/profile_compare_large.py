#!/usr/bin/env python3
"""Writes the large corpus files for the profile comparison into a directory.

Too big to keep in the repository: a 2.4 MB list of 60000 sections, values around the 10239-byte
limit with double-byte characters at every offset of the cut, and long names.
usage: profile_compare_large.py <dir>
"""
import os
import sys


def esc(data):
    return ''.join(chr(c) if 0x21 <= c < 0x7F and c != 0x5C else '\\x%02X' % c for c in data)


def write(d, name, data, queries):
    with open(os.path.join(d, name + '.ini'), 'wb') as f:
        f.write(data)
    with open(os.path.join(d, name + '.queries'), 'w') as f:
        f.writelines(esc(s) + '\t' + esc(k) + '\n' for s, k in queries)


def main():
    d = sys.argv[1]
    os.makedirs(d, exist_ok=True)

    sections = 60000
    data = b''.join(b'[00-1A-2B-%02X-%02X-%02X]\r\nName=PC%d\r\nIPAddr=10.%d.%d.%d\r\n' %
                    (i >> 16, (i >> 8) & 255, i & 255, i, i >> 16, (i >> 8) & 255, i & 255)
                    for i in range(sections))
    queries = []
    for i in list(range(0, sections, 997)) + [sections - 1, sections]:
        mac = b'00-1A-2B-%02X-%02X-%02X' % (i >> 16, (i >> 8) & 255, i & 255)
        queries += [(mac, b'Name'), (mac.lower(), b'NAME'), (mac, b'IPAddr')]
    write(d, 'large_sections', data, queries)

    lines, queries = [], []
    for n in range(10230, 10246):
        for fill, step in ((b'a', b'\xb0\xa1'), (b'\xb0\xa1', b'a')):
            value = (fill * n)[:n] + step + b'\xd6\xd0' * 3
            key = b'K%d_%s' % (n, fill.hex().encode())
            lines.append(key + b'=' + value)
            queries.append((b'A', key))
    for n in range(10236, 10244):
        key = b'Q%d' % n
        lines.append(key + b'="' + b'\xb0\xa1' * (n // 2) + b'b' * (n % 2) + b'"')
        queries.append((b'A', key))
    long_name = b'\xc3\xfb' * 6000
    lines.append(long_name + b'=long name')
    queries.append((b'A', long_name))
    lines.append(b'[' + long_name + b']\r\nK=long section')
    queries.append((long_name, b'K'))
    write(d, 'large_values', b'[A]\r\n' + b'\r\n'.join(lines) + b'\r\n', queries)


if __name__ == '__main__':
    main()
