#!/usr/bin/env bash
# The list fidelity check that needs LibreOffice, outside CI: each list fixture written by
# another word processor is loaded and saved with wpconv, and LibreOffice turns both the
# original and our saved copy into text, where every list item shows its number or
# bullet. The two texts must hold the same lists; prints "same" or the difference.
#
#   bench/compare_lists.sh [BUILD_DIR]     (default: build)
set -u
BUILD=${1:-build}
SOURCE=$(cd "$(dirname "$0")/.." && pwd)
[ -x "$BUILD/wpconv" ] || { echo "missing $BUILD/wpconv: build the wpconv target" >&2; exit 1; }
command -v soffice >/dev/null || { echo "soffice (LibreOffice) is needed" >&2; exit 1; }
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
status=0
for fixture in "$SOURCE"/tests/data/rtf/*_lists.rtf; do
  name=$(basename "$fixture" .rtf)
  cp "$fixture" "$WORK/original.rtf"
  "$BUILD/wpconv" "$WORK/original.rtf" "$WORK/saved.rtf" 2>/dev/null || { echo "$name: wpconv failed"; status=1; continue; }
  (cd "$WORK" && timeout 300 soffice --headless --convert-to "txt:Text (encoded):UTF8" original.rtf saved.rtf >/dev/null 2>&1)
  # Empty paragraphs say nothing about lists.
  if diff <(grep -v '^\s*$' "$WORK/original.txt") <(grep -v '^\s*$' "$WORK/saved.txt") >"$WORK/diff"; then
    echo "$name: same ($(grep -cE '^\s+\S+\s' "$WORK/saved.txt") list lines)"
  else
    echo "$name: differs"; cat "$WORK/diff"; status=1
  fi
done
exit $status
