#!/usr/bin/env bash
# CPU and resident memory of jx_monitord with 16 simulated receivers at 1 Hz
# (one zelk_sim --count 16), no display, recording off. After WARMUP seconds,
# reads utime+stime of /proc/PID/stat over SECONDS_MEASURED seconds and VmRSS
# at the end; prints % of one core (goal: under 0.3 %) and MB. A scrape every
# 5 s is included, as a Prometheus server would make.
#   usage: bench/daemon_idle.sh [SECONDS_MEASURED] [WARMUP]   (BUILD=build by default)
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${BUILD:-build}
MEASURE=${1:-30}
WARMUP=${2:-5}
cleanup() { for pid in ${MON_PID:-} ${SRC_PID:-}; do kill "$pid" 2>/dev/null || true; done; }
trap cleanup EXIT

PATHS=$(mktemp)
"$BUILD/zelk_sim" --count 16 >"$PATHS" &
SRC_PID=$!
for _ in $(seq 200); do [ "$(wc -l <"$PATHS")" -ge 16 ] && break; sleep 0.05; done
args=()
n=1
while read -r dev; do args+=("--com$n=$dev"); n=$((n + 1)); done <"$PATHS"
rm -f "$PATHS"
CONF=$(mktemp)
PORT=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
printf '[metrics]\nlisten = 127.0.0.1:%s\n' "$PORT" >"$CONF"
"$BUILD/jx_monitord" --config "$CONF" "${args[@]}" 2>/dev/null &
MON_PID=$!
sleep "$WARMUP"
ticks() { awk '{print $14 + $15}' "/proc/$MON_PID/stat"; }
hz=$(getconf CLK_TCK)
start=$(ticks)
for _ in $(seq $((MEASURE / 5))); do
  sleep 5
  python3 -c "import urllib.request; urllib.request.urlopen('http://127.0.0.1:$PORT/metrics').read()"
done
end=$(ticks)
rss=$(awk '/VmRSS/ {print $2}' "/proc/$MON_PID/status")
rm -f "$CONF"
awk -v t=$((end - start)) -v hz="$hz" -v s="$MEASURE" -v rss="$rss" \
  'BEGIN { printf "jx_monitord, 16 receivers: %.2f %% of one core, RSS %.1f MB\n", 100 * t / hz / s, rss / 1024 }'
