#!/bin/sh
# Configures and builds build/native (host g++), build/win32 (mingw-w64 i686, Ninja) and
# build/fuzz (clang libFuzzer targets), each on its own: the win32 and fuzz builds make
# the host form compiler they need in a sub-build of their own (build/*/host-tools).
# Warnings are errors here (KESTRUNE_WERROR), as in CI.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc 2>/dev/null || echo 2)
common="-DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTRUNE_WERROR=ON"
cmake -S "$root" -B "$root/build/native" $common >/dev/null
cmake --build "$root/build/native" -j"$jobs"
# The cross-build uses Ninja (the native and fuzz builds the default generator), so that
# both generators stay working. A build folder made earlier by another generator keeps it:
# CMake cannot switch the generator of an existing build.
generator="-G Ninja"
if [ -f "$root/build/win32/CMakeCache.txt" ] &&
   ! grep -q '^CMAKE_GENERATOR:INTERNAL=Ninja$' "$root/build/win32/CMakeCache.txt"; then
  generator=""
fi
cmake -S "$root" -B "$root/build/win32" $generator -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
      $common >/dev/null
cmake --build "$root/build/win32" -j"$jobs"
if [ "${KESTRUNE_SKIP_FUZZ:-0}" != 1 ]; then
  CC=clang CXX=clang++ cmake -S "$root" -B "$root/build/fuzz" -DKESTRUNE_FUZZ=ON $common >/dev/null
  cmake --build "$root/build/fuzz" -j"$jobs"
fi
