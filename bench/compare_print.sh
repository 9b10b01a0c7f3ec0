#!/usr/bin/env bash
# Prints the generated 10 MB RTF document to PDF with bench_print (load and print through
# the editor) and converts the same file with LibreOffice (soffice --headless
# --convert-to pdf), where it is installed, printing each one's wall time, peak memory and
# pages. Target: bench_print's load + print faster than LibreOffice.
#
#   bench/compare_print.sh [BUILD_DIR]     (default: build)
set -u
BUILD=${1:-build}
[ -x "$BUILD/bench_print" ] || { echo "missing $BUILD/bench_print: build the bench_print target" >&2; exit 1; }
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
"$BUILD/bench_print" --write "$WORK/print_10mb.rtf" || exit 1

echo "== bench_print"
"$BUILD/bench_print" "$WORK/print_10mb.rtf"

if command -v soffice >/dev/null; then
  echo "== soffice --headless --convert-to pdf"
  /usr/bin/time -f "  wall %e s, peak memory %M KB" \
    soffice -env:UserInstallation="file://$WORK/profile" --headless --convert-to pdf --outdir "$WORK" \
    "$WORK/print_10mb.rtf" >/dev/null
  command -v pdfinfo >/dev/null && pdfinfo "$WORK/print_10mb.pdf" | grep -E "^Pages" | sed 's/^/  /'
else
  echo "soffice is not installed: no comparison"
fi
