#!/usr/bin/env bash
# zelk_dump throughput on a large recording: the real receivers' captures
# (tests/data/captures) repeated to SIZE_MB, decoded to text and to JSON
# Lines, each written to /dev/null. For reference the same file through
# `od -An -tx1`, a plain byte dumper, in the same run. Best of RUNS runs.
# With BEFORE=path/to/an/earlier/zelk_dump, that program is timed on the
# same file in the same run and its text and JSON output compared byte for
# byte with this build's.
#   usage: [BEFORE=...] bench/dump_large.sh [SIZE_MB] [RUNS]   (BUILD=build by default)
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${BUILD:-build}
SIZE_MB=${1:-64}
RUNS=${2:-3}
FILE=$(mktemp --suffix=.zlk)
TIMES=$(mktemp)
trap 'rm -f "$FILE" "$TIMES"' EXIT

while [ "$(stat -c %s "$FILE")" -lt $((SIZE_MB * 1024 * 1024)) ]; do
  cat tests/data/captures/*.bin >>"$FILE"
done
BYTES=$(stat -c %s "$FILE")

# Best wall time of RUNS runs of the command, and the CPU time (user +
# system) of that run, in seconds: "WALL CPU". On a loaded machine the CPU
# time is the steadier figure.
best_time() {
  local best="" cpu="" t c
  for _ in $(seq "$RUNS"); do
    /usr/bin/time -o "$TIMES" -f "%e %U %S" "$@" >/dev/null 2>&1
    read -r t c < <(awk '{ printf "%s %.2f\n", $1, $2 + $3 }' "$TIMES")
    if [ -z "$best" ] || awk -v t="$t" -v b="$best" 'BEGIN { exit !(t < b) }'; then best=$t; cpu=$c; fi
  done
  echo "$best $cpu"
}

od_s=$(best_time od -An -tx1 "$FILE" | cut -d' ' -f1)
report() {
  local wall cpu
  read -r wall cpu <<<"$2"
  awk -v n="$1" -v s="$wall" -v c="$cpu" -v od="$od_s" -v b="$BYTES" \
    'BEGIN { printf "%-22s %7.3f s  %7.1f MB/s  (CPU %.2f s: %6.1f MB/s; %.2f x the time of od)\n", n, s, b / 1048576 / s, c, b / 1048576 / c, s / od }'
}
echo "recording: $BYTES bytes ($(awk -v b="$BYTES" 'BEGIN { printf "%.1f", b / 1048576 }') MB)"
"$BUILD/zelk_dump" "$FILE" 2>&1 >/dev/null | head -1
report "zelk_dump" "$(best_time "$BUILD/zelk_dump" "$FILE")"
report "zelk_dump --json" "$(best_time "$BUILD/zelk_dump" --json "$FILE")"
report "zelk_dump --csv" "$(best_time "$BUILD/zelk_dump" --csv "$FILE")"
if [ -n "${BEFORE:-}" ]; then
  report "before: zelk_dump" "$(best_time "$BEFORE" "$FILE")"
  report "before: --json" "$(best_time "$BEFORE" --json "$FILE")"
  for opt in "" --json; do
    if cmp -s <("$BEFORE" $opt "$FILE" 2>&1) <("$BUILD/zelk_dump" $opt "$FILE" 2>&1); then
      echo "output ${opt:-(text)}: byte-identical to BEFORE's"
    else
      echo "output ${opt:-(text)}: DIFFERS from BEFORE's"
    fi
  done
fi
report "od -An -tx1" "$(best_time od -An -tx1 "$FILE")"
