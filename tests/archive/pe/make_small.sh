#!/bin/sh
# Builds the small version-resource DLLs kept in tests/fuzz/corpus/fuzz_pe_version (the
# fuzz seeds and the native reader's samples): the resources of this folder linked
# without a runtime, so each is a few KB. Needs mingw-w64 (i686).
set -eu
here=$(cd "$(dirname "$0")" && pwd)
out=${1:-$here/../../fuzz/corpus/fuzz_pe_version}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
echo 'int __stdcall entry(void* h, unsigned r, void* p) { return 1; }' >"$tmp/entry.c"
link() { i686-w64-mingw32-gcc -Os -s -nostdlib -shared -Wl,--entry,_entry@12 -o "$@"; }
for v in ver_en ver_cz ver_nostrings ver_font ver_selfreg; do
  i686-w64-mingw32-windres "$here/$v.rc" -O coff -o "$tmp/$v.o"
  link "$out/$v.dll" "$tmp/entry.c" "$tmp/$v.o"
done
link "$out/ver_none.dll" "$tmp/entry.c"
