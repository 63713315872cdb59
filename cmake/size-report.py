#!/usr/bin/env python3
"""What a shipped program's bytes are made of, from its link map (lld's or GNU ld's).

    cmake/size-report.py build/win32/shipped/setup.map [build/win32/bin/setup.exe]

Adds up the input sections that the link kept in each loaded output section (.text,
.rdata, .eh_frame, .data, .rsrc, ...) by where they came from: the kit's own libraries,
libstdc++/libsupc++ (C++ runtime), libgcc (compiler support), zlib, the mingw-w64 C
runtime, the Windows import libraries and the resources. With the program file given, the
rest of its size (headers, section alignment, relocations, and with lld the import tables,
which the linker makes itself) is shown as "other".

A program linked with link-time optimization (setup.exe, uninstall.exe) has its own code
in one piece; a build with -DKESTRUNE_LTO=OFF shows it split by library.

lld's map names an archive member without its archive ("deflate.o:(.text)"), so the
members are looked up in the archives that the link could have taken them from: the
build's lib/ folder beside shipped/ and the folders of the toolchain's start files, whose
full paths the map shows.
"""
import os
import re
import sys
from collections import defaultdict

LOADED = ('.text', '.data', '.rdata', '.eh_frame', '.gcc_except_table', '.idata', '.CRT', '.tls', '.rsrc',
          '.pdata', '.xdata')
# The archives whose members the report tells apart (lld maps); import libraries' members are
# recognised by their names.
RUNTIME_ARCHIVES = ('libstdc++.a', 'libsupc++.a', 'libgcc.a', 'libgcc_eh.a', 'libz.a', 'libwinpthread.a',
                    'libpthread.a', 'libmingw32.a', 'libmingwex.a', 'libmsvcrt.a', 'libmoldname.a')


def category(origin):
    base = os.path.basename(origin)
    archive = base.split('(')[0]
    if base.endswith('.res') or '.rc.' in base or archive.endswith('.res.obj') or 'res.o' in base:
        return 'resources (script, bitmap, version)'
    if '.ltrans' in base:
        # A program linked with link-time optimization: the kit's libraries and the program's
        # own sources compiled together into the linker's temporary objects.
        return 'own code: all of it, link-time optimized'
    if archive.startswith('libkestrune_'):
        return 'own code: ' + archive[len('lib'):-len('.a')]
    if archive in ('libstdc++.a', 'libsupc++.a'):
        return 'C++ runtime (libstdc++)'
    if archive in ('libgcc.a', 'libgcc_eh.a', 'libgcc_s.a'):
        return 'compiler support (libgcc)'
    if archive in ('libz.a', 'libzlib.a'):
        return 'zlib'
    if archive in ('libwinpthread.a', 'libpthread.a'):
        return 'C runtime (mingw-w64, winpthreads)'
    if archive.startswith(('libmingw', 'libmsvcr', 'libmoldname', 'libucrt')) or archive.startswith('crt') \
            or archive in ('libmsvcrt.a',):
        return 'C runtime (mingw-w64, winpthreads)'
    if archive.endswith('.a') and archive[3:-2] in (
            'kernel32', 'user32', 'gdi32', 'advapi32', 'shell32', 'ole32', 'oleaut32', 'uuid', 'comdlg32',
            'version', 'comctl32', 'psapi', 'shlwapi', 'winmm', 'ws2_32', 'msimg32', 'imm32', 'winspool'):
        return 'Windows import stubs'
    if archive.endswith(('.obj', '.o')) or archive == 'objects.a':
        return 'own code: the program\'s own sources'
    return 'other: ' + archive


def archive_members(path):
    """The member names of a GNU/System V ar archive."""
    names = []
    with open(path, 'rb') as f:
        if f.read(8) != b'!<arch>\n':
            return names
        long_names = b''
        while True:
            header = f.read(60)
            if len(header) < 60:
                break
            name = header[:16].decode('latin-1').rstrip()
            size = int(header[48:58])
            start = f.tell()
            if name == '//':
                long_names = f.read(size)
            elif name not in ('/', '/SYM64/', '__.SYMDEF'):
                if name.startswith('/') and name[1:].isdigit():
                    offset = int(name[1:])
                    name = long_names[offset:long_names.index(b'\n', offset)].decode('latin-1')
                names.append(name.rstrip('/'))
            f.seek(start + size + (size & 1))
    return names


def parse(map_path):
    with open(map_path, errors='replace') as f:
        first = f.readline()
    if first.startswith('Address') and 'Out' in first and 'In' in first:
        return parse_lld(map_path)
    return parse_gnu(map_path)


def parse_lld(map_path):
    """lld's map: "ADDR SIZE ALIGN NAME" for an output section, "ADDR SIZE ALIGN         FILE:(SECTION)"
    for an input section in it, deeper lines for symbols."""
    sections = []
    folders = {os.path.join(os.path.dirname(os.path.abspath(map_path)), '..', 'lib')}
    out_section = None
    with open(map_path, errors='replace') as f:
        next(f)
        for line in f:
            m = re.match(r'^[0-9a-f]+ ([0-9a-f]+) +\d+ (\S.*)$', line)
            if m:
                out_section = m.group(2).strip()
                continue
            m = re.match(r'^[0-9a-f]+ ([0-9a-f]+) +\d+ {9}(\S.*):\(([^()]*)\)$', line)
            if m:
                origin = m.group(2)
                if os.path.isabs(origin):
                    folders.add(os.path.dirname(origin))
                sections.append((out_section, m.group(3), int(m.group(1), 16), origin))
    member_archive = {}
    for folder in sorted(folders):
        for archive in sorted(os.listdir(folder)) if os.path.isdir(folder) else ():
            if archive in RUNTIME_ARCHIVES or (archive.startswith('lib') and archive.endswith('.a')
                                               and folder.endswith('lib') and 'kestrune' in archive):
                for member in archive_members(os.path.join(folder, archive)):
                    member_archive.setdefault(member, archive)
    sizes = defaultdict(lambda: defaultdict(int))
    for out_section, in_section, size, origin in sections:
        if in_section.startswith('.bss'):
            continue  # merged into .data, but takes no room in the file
        if '/' not in origin and '(' not in origin:
            if re.match(r'^lib\w+s\d+\.o$', origin) or origin.endswith('_iname.o') or origin.endswith('_head.o'):
                origin = 'lib' + re.sub(r's\d+\.o$|_iname\.o$|_head\.o$', '', origin[3:]) + '.a'
            elif origin in member_archive:
                origin = member_archive[origin] + '(' + origin + ')'
        add(sizes, out_section, size, origin)
    return sizes


def parse_gnu(map_path):
    sizes = defaultdict(lambda: defaultdict(int))
    out_section = None
    pending = None
    in_map = False
    with open(map_path, errors='replace') as f:
        for line in f:
            line = line.rstrip('\n')
            if not in_map:
                in_map = line.startswith('Linker script and memory map')
                continue
            m = re.match(r'^(\.\S+|\S+)\s+0x[0-9a-f]+\s+0x([0-9a-f]+)', line)
            if m and not line.startswith(' '):
                out_section = m.group(1)
                continue
            if re.match(r'^\S', line):
                name = line.split()[0]
                out_section = name if name.startswith('.') else None
                continue
            # Input section: " .text$foo  0xADDR  0xSIZE origin", possibly split over two lines.
            m = re.match(r'^ (\S+)\s+0x([0-9a-f]+)\s+0x([0-9a-f]+)\s+(.+)$', line)
            if m:
                pending = None
                add(sizes, out_section, int(m.group(3), 16), m.group(4))
                continue
            m = re.match(r'^ (\S+)$', line)
            if m and not line.startswith(' *'):
                pending = m.group(1)
                continue
            m = re.match(r'^\s+0x([0-9a-f]+)\s+0x([0-9a-f]+)\s+(\S.*)$', line)
            if m and pending is not None:
                add(sizes, out_section, int(m.group(2), 16), m.group(3))
                pending = None
                continue
            pending = None
    return sizes


def add(sizes, out_section, size, origin):
    if out_section is None or size == 0:
        return
    if not any(out_section == s or out_section.startswith(s + '$') for s in LOADED):
        return
    if '*fill*' in origin or not re.search(r'[/.(]', origin):
        return
    sizes[category(origin)][out_section] += size


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    sizes = parse(sys.argv[1])
    sections = [s for s in LOADED if any(s in v for v in sizes.values())]
    total = sum(sum(v.values()) for v in sizes.values())
    rows = sorted(sizes.items(), key=lambda kv: -sum(kv[1].values()))
    head = '| part | ' + ' | '.join(sections) + ' | total | share |'
    print(head)
    print('|' + '---|' * (len(sections) + 3))
    for cat, v in rows:
        t = sum(v.values())
        print(f'| {cat} | ' + ' | '.join(f'{v.get(s, 0) / 1024:.1f}' for s in sections)
              + f' | {t / 1024:.1f} | {100 * t / total:.1f} % |')
    if len(sys.argv) > 2:
        file_size = os.path.getsize(sys.argv[2])
        print(f'| other (headers, alignment, relocations) | ' + ' | '.join('' for _ in sections)
              + f' | {(file_size - total) / 1024:.1f} | |')
        print(f'| **file** | ' + ' | '.join('' for _ in sections) + f' | {file_size / 1024:.1f} | |')
    else:
        print(f'| **sections** | ' + ' | '.join('' for _ in sections) + f' | {total / 1024:.1f} | |')
    print('(KiB)')


if __name__ == '__main__':
    main()
