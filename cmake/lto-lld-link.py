#!/usr/bin/env python3
"""Link launcher of a shipped Windows program marked LLD (the RULE_LAUNCH_LINK that
kestrune_shipped_program sets): link-time optimization by GCC with GNU ld, the program
linked by lld.

    lto-lld-link.py LLD_SPECS COMPILER ARGS...

GCC's link-time optimization runs inside GNU ld (its linker plugin; lld reads only LLVM's
intermediate code), and GNU ld for Windows keeps every function whose unwind table entry it
keeps, i.e. whatever it took from the system archives (zlib, the C runtime) for code that
the optimizer then dropped. So the link runs twice:

1. the compiler's own link command, into a temporary folder beside the output, with
   -save-temps: GNU ld resolves the symbols and the optimizer compiles the whole program
   into one object (one partition);
2. the same command through lld (LLD_SPECS names ld.lld as the compiler's link step), with
   that object in place of the objects and archives that carry intermediate code (the
   kit's), the same system archives and libraries, without -flto (lld would not take it):
   lld drops what nothing reaches.

The optimizer's object holds all of the kit's code that the program uses, so nothing else
from the kit's archives is wanted; were anything missing, lld would stop on an undefined
symbol. (Taken in, a member's own copies of inline functions would clash with the
optimizer's.)
"""
import glob
import os
import shutil
import subprocess
import sys


def has_intermediate_code(path):
    """Whether an object, or a member of an archive, carries GCC's intermediate code."""
    if not path.endswith(('.obj', '.o', '.a')) or not os.path.isfile(path):
        return False
    with open(path, 'rb') as f:
        return b'.gnu.lto_' in f.read()


def main():
    if len(sys.argv) < 4:
        sys.exit(__doc__)
    specs, command = sys.argv[1], sys.argv[2:]
    if '-o' not in command:
        sys.exit('lto-lld-link.py: the link command names no output (-o)')
    out = command[command.index('-o') + 1]
    work = out + '.lto'
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    try:
        first = list(command)
        first[first.index('-o') + 1] = os.path.join(work, 'program' + os.path.splitext(out)[1])
        # GNU ld's map and import library of the first link are not wanted: lld writes both.
        first = ['-Wl,-Map=' + os.path.join(work, 'gnu.map') if a.startswith('-Wl,-Map=') else a
                 for a in first if not a.startswith('-Wl,--out-implib,')]
        first.append('-save-temps')
        if subprocess.call(first) != 0:
            return 1
        optimized = sorted(glob.glob(os.path.join(work, 'program.ltrans*.ltrans.o')))
        if not optimized:
            sys.exit('lto-lld-link.py: the link left no optimized object (no -flto in the command?)')
        second = [command[0], '-specs=' + specs]
        placed = False
        for a in command[1:]:
            if a.startswith('-flto'):
                continue
            if has_intermediate_code(a):
                if not placed:
                    second += optimized
                    placed = True
                continue
            second.append(a)
        return subprocess.call(second)
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == '__main__':
    sys.exit(main())
