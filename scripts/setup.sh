#!/bin/sh
# Installs every build and test dependency from Debian packages; skips what is present.
set -eu
export DEBIAN_FRONTEND=noninteractive

need=""
have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi

for p in cmake g++ clang libclang-rt-14-dev make ninja-build zlib1g-dev libgtest-dev googletest \
         mingw-w64 g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix libz-mingw-w64-dev lld \
         wine wine32:i386 xvfb x11-apps imagemagick fonts-liberation fpc python3 python3-pyftpdlib xauth; do
  have "$p" || need="$need $p"
done

if [ -n "$need" ]; then
  echo "setup: installing$need"
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends $need
fi
