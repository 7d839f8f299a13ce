#!/usr/bin/env bash
# zelk_dump throughput on a large recording: the real receivers' captures
# (tests/data/captures) repeated to SIZE_MB, decoded to text and to JSON
# Lines, each written to /dev/null. For reference the same file through
# `od -An -tx1`, a plain byte dumper, in the same run. Best of RUNS runs.
#   usage: bench/dump_large.sh [SIZE_MB] [RUNS]   (BUILD=build by default)
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${BUILD:-build}
SIZE_MB=${1:-64}
RUNS=${2:-3}
FILE=$(mktemp --suffix=.zlk)
trap 'rm -f "$FILE"' EXIT

while [ "$(stat -c %s "$FILE")" -lt $((SIZE_MB * 1024 * 1024)) ]; do
  cat tests/data/captures/*.bin >>"$FILE"
done
BYTES=$(stat -c %s "$FILE")

# Best wall time of RUNS runs of the command, in seconds.
best_time() {
  local best="" start end t
  for _ in $(seq "$RUNS"); do
    start=$(date +%s%N)
    "$@" >/dev/null 2>&1
    end=$(date +%s%N)
    t=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", (b - a) / 1e9 }')
    if [ -z "$best" ] || awk -v t="$t" -v b="$best" 'BEGIN { exit !(t < b) }'; then best=$t; fi
  done
  echo "$best"
}

od_s=$(best_time od -An -tx1 "$FILE")
report() {
  awk -v n="$1" -v s="$2" -v od="$od_s" -v b="$BYTES" \
    'BEGIN { printf "%-22s %7.3f s  %7.1f MB/s  (%.2f x the time of od)\n", n, s, b / 1048576 / s, s / od }'
}
echo "recording: $BYTES bytes ($(awk -v b="$BYTES" 'BEGIN { printf "%.1f", b / 1048576 }') MB)"
"$BUILD/zelk_dump" "$FILE" 2>&1 >/dev/null | head -1
report "zelk_dump" "$(best_time "$BUILD/zelk_dump" "$FILE")"
report "zelk_dump --json" "$(best_time "$BUILD/zelk_dump" --json "$FILE")"
report "od -An -tx1" "$od_s"
