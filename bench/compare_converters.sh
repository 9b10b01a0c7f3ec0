#!/usr/bin/env bash
# Converts the load/save benchmark documents (about 1 MB and 10 MB of RTF) to plain text
# with wpconv and with other converters installed on the machine (unrtf, abiword,
# soffice), and prints each one's best time of three and how many times slower it is
# than wpconv. Target: wpconv faster than each of them.
#
#   bench/compare_converters.sh [BUILD_DIR]     (default: build)
set -u
BUILD=${1:-build}
RUNS=3
LIMIT=${LIMIT:-600}   # seconds one conversion may take before it is stopped
for tool in "$BUILD/wpconv" "$BUILD/bench_loadsave"; do
  [ -x "$tool" ] || { echo "missing $tool: build the wpconv and bench_loadsave targets" >&2; exit 1; }
done
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
"$BUILD/bench_loadsave" --write "$WORK" >/dev/null 2>&1 || exit 1

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }

# best_ms COMMAND...: the best wall time of $RUNS runs in ms, "failed", or "over" when a
# run exceeds $LIMIT seconds. A run over a minute is not repeated.
best_ms() {
  local best="" start elapsed status
  for _ in $(seq "$RUNS"); do
    start=$(now_ms)
    timeout -k 10 "$LIMIT" bash -c '"$@"' _ "$@" >/dev/null 2>"$WORK/last.err"
    status=$?
    [ "$status" -eq 124 ] || [ "$status" -eq 137 ] && { echo over; return; }
    [ "$status" -ne 0 ] && { echo failed; return; }
    elapsed=$(( $(now_ms) - start ))
    if [ -z "$best" ] || [ "$elapsed" -lt "$best" ]; then best=$elapsed; fi
    [ "$elapsed" -gt 60000 ] && break
  done
  echo "$best"
}

# unrtf writes embedded pictures to the current folder: keep them in the work folder.
unrtf_text() { (cd "$WORK" && unrtf --text "$1" > "$2"); }
abiword_text() { abiword --to=txt --to-name="$2" "$1"; }
soffice_text() {
  soffice -env:UserInstallation="file://$WORK/soffice-profile" --headless \
    --convert-to txt:Text --outdir "$WORK/soffice-out" "$1"
}
wpconv_text() { "$BUILD/wpconv" --text "$1" "$2"; }
export BUILD WORK
export -f unrtf_text abiword_text soffice_text wpconv_text

# soffice creates its profile on the first start; that is not part of a conversion.
if command -v soffice >/dev/null; then
  printf '{\\rtf1 warm up\\par}' > "$WORK/warm.rtf"
  soffice_text "$WORK/warm.rtf" >/dev/null 2>&1
fi

for doc in loadsave_1mb.rtf loadsave_10mb.rtf; do
  in="$WORK/$doc"
  printf '%s (%s bytes)\n' "$doc" "$(stat -c %s "$in")"
  ours=$(best_ms wpconv_text "$in" "$WORK/wpconv.txt")
  printf '  %-8s %8s ms  %7s lines\n' wpconv "$ours" "$(wc -l < "$WORK/wpconv.txt")"
  for tool in unrtf abiword soffice; do
    if ! command -v "$tool" >/dev/null; then
      printf '  %-8s not installed\n' "$tool"; continue
    fi
    out="$WORK/$tool.txt"
    ms=$(best_ms "${tool}_text" "$in" "$out")
    [ "$tool" = soffice ] && out="$WORK/soffice-out/${doc%.rtf}.txt"
    if [ "$ms" = over ]; then
      printf '  %-8s over %s s: stopped (wpconv faster)\n' "$tool" "$LIMIT"; continue
    fi
    if [ "$ms" = failed ] || [ "$ours" = failed ]; then
      printf '  %-8s failed: %s\n' "$tool" "$(head -c 200 "$WORK/last.err")"; continue
    fi
    ratio=$(awk -v a="$ms" -v b="$ours" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }')
    verdict=$(awk -v r="$ratio" 'BEGIN { print (r > 1 ? "wpconv faster" : "wpconv SLOWER") }')
    printf '  %-8s %8s ms  %7s lines  %sx the time of wpconv (%s)\n' \
      "$tool" "$ms" "$(wc -l < "$out" 2>/dev/null || echo '?')" "$ratio" "$verdict"
  done
done
