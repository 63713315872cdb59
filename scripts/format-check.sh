#!/bin/sh
# Checks the C++ sources against .clang-format without changing them: names each file
# clang-format would change and how many of its lines, and ends with 1 when there is any.
# With file arguments only those are checked, else every tracked .cpp and .h file.
# scripts/format-check.sh --fix rewrites the files in place instead.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
fix=0
if [ "${1:-}" = "--fix" ]; then fix=1; shift; fi
if [ $# -eq 0 ]; then set -- $(git ls-files '*.cpp' '*.h'); fi
if [ $fix = 1 ]; then exec clang-format -i --style=file "$@"; fi
files=0 lines=0
for f in "$@"; do
  n=$(clang-format --style=file "$f" | diff "$f" - | grep -c '^<' || true)
  if [ "$n" -gt 0 ]; then
    echo "$f: $n lines"
    files=$((files + 1)) lines=$((lines + n))
  fi
done
echo "format-check: $files of $# files would change ($lines lines)"
[ $files -eq 0 ]
