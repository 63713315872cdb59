#!/bin/sh
# Compares docs/reference.md with what `kestrune-script classes` writes now, and refuses a
# class without a purpose. Usage: check_class_reference.sh TOOL REFERENCE.md
set -u
tool=$1 reference=$2
fresh=$(mktemp)
trap 'rm -f "$fresh"' EXIT
"$tool" classes >"$fresh" || { echo "kestrune-script classes failed"; exit 1; }
status=0
if ! cmp -s "$fresh" "$reference"; then
  diff -u "$reference" "$fresh" | head -40
  echo "FAIL: $reference is stale; write it again with: kestrune-script classes > docs/reference.md"
  echo "      (e.g. build/native/bin/kestrune-script classes > docs/reference.md)"
  status=1
fi
if grep -q '(no description)' "$fresh"; then
  grep -B2 '(no description)' "$fresh" | grep '^## '
  echo "FAIL: these classes have no purpose in programs/kestrune-script/class_purposes.cpp"
  status=1
fi
exit $status
