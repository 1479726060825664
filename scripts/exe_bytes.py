#!/usr/bin/env python3
"""Where the bytes of the stripped exe go: our code, the C++ runtime, libgcc's
unwinder, the C start-up and imports, resources, relocations and the file's
headers and padding, each split into code, unwind tables (.eh_frame),
exception tables (.gcc_except_table) and data. Reads the link map the build
writes beside the exe (LLD's format) and the stripped exe itself.

    scripts/exe_bytes.py [BUILD-DIR]     (default build/win32)
    scripts/exe_bytes.py BUILD-DIR -v    (and every object of the runtime)
"""
import collections
import os
import re
import struct
import sys

KINDS = [('.text', 'code'), ('.eh_frame', 'unwind'), ('.gcc_except_table', 'except'),
         ('.rdata', 'rdata'), ('.data', 'data')]


def bucket(obj):
    if obj.endswith('.cpp.obj') or obj.endswith('.c.obj') or obj == 'korvane_whole.obj':
        return 'our code'
    if obj.endswith('.res'):
        return 'resources'
    if obj.startswith('libwinpthread'):
        return 'winpthreads'
    if obj.startswith(('unwind', 'emutls', '_')):
        return 'libgcc (unwinder)'
    if (obj.startswith('lib32_') or obj in ('crt2.o', 'crtbegin.o', 'crtend.o')
            or re.match(r'^lib\w+?s\d+\.o$', obj) or re.match(r'^lib\w+_(defs\d+|defh|defs)\.o$', obj)
            or obj.startswith('libmsvcrt')):
        return 'C start-up, imports'
    if obj.endswith('.o'):
        return 'C++ runtime'
    return 'other'


def read_map(path):
    out = None
    sizes = collections.Counter()
    objs = collections.Counter()
    with open(path, errors='replace') as f:
        for line in f:
            m = re.match(r'^[0-9a-f]+ ([0-9a-f]+)\s+\d+ (\S+)\s*$', line)
            if m:
                out = m.group(2)
                continue
            m = re.match(r'^[0-9a-f]+ ([0-9a-f]+)\s+\d+\s{9}(\S.*)$', line)
            if m and out and not out.startswith('.debug'):
                obj = re.sub(r':\(.*$', '', m.group(2)).split('/')[-1]
                size = int(m.group(1), 16)
                # The unwind and exception tables are merged into other
                # sections: counted by the section each came from.
                kind = re.search(r':\((\.[a-z_]+)', m.group(2))
                kind = kind.group(1) if kind and kind.group(1) in ('.eh_frame', '.gcc_except_table') else out
                sizes[(bucket(obj), kind)] += size
                objs[(bucket(obj), obj)] += size
    return sizes, objs


def pe_sections(path):
    """(name, raw size) of each section, and the file's size."""
    data = open(path, 'rb').read()
    pe = struct.unpack_from('<I', data, 0x3c)[0]
    count = struct.unpack_from('<H', data, pe + 6)[0]
    optional = struct.unpack_from('<H', data, pe + 20)[0]
    table = pe + 24 + optional
    sections = []
    for i in range(count):
        name = data[table + 40 * i:table + 40 * i + 8].rstrip(b'\0').decode()
        raw = struct.unpack_from('<I', data, table + 40 * i + 16)[0]
        sections.append((name, raw))
    return sections, len(data)


def main():
    args = [a for a in sys.argv[1:] if a != '-v']
    build = args[0] if args else 'build/win32'
    sizes, objs = read_map(os.path.join(build, 'Korvane.map'))
    sections, total = pe_sections(os.path.join(build, 'dist', 'Korvane.exe'))
    print(f'stripped exe: {total:,} bytes')
    for name, raw in sections:
        print(f'  section {name:10s} {raw:9,}')
    buckets = collections.Counter()
    for (b, _), v in sizes.items():
        buckets[b] += v
    print(f'\n{"":22s}{"total":>9s}' + ''.join(f'{k:>9s}' for _, k in KINDS))
    for b, v in buckets.most_common():
        print(f'{b:22s}{v:9,}' + ''.join(f'{sizes[(b, s)]:9,}' for s, _ in KINDS))
    placed = sum(buckets.values())
    reloc = sum(raw for name, raw in sections if name == '.reloc')
    print(f'{"relocations":22s}{reloc:9,}')
    # Map sizes are before file alignment: what remains is headers, the
    # import tables LLD makes itself, the build id and the padding.
    print(f'{"headers, padding":22s}{total - placed - reloc:9,}')
    if '-v' in sys.argv:
        print()
        for (b, o), v in objs.most_common():
            if b != 'our code':
                print(f'{v:9,} {b:22s} {o}')


if __name__ == '__main__':
    main()
