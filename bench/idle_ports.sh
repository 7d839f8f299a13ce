#!/usr/bin/env bash
# CPU and resident memory of the real monitor with 16 ports open and
# monitored (--open-all), under Xvfb, display port COM1.
#   silent: 16 pseudo-terminals that never send (bench/pty_hold.py)
#   sim:    16 simulated receivers sending their once-a-second reports and
#           answering the monitor's queries (one zelk_sim --count 16)
#   tcp:    the same 16 receivers over loopback TCP (zelk_sim --listen), the
#           monitor on tcp://127.0.0.1:PORT ports
# After WARMUP seconds, reads utime+stime of /proc/PID/stat over SECONDS_MEASURED
# seconds and VmRSS at the end. Prints % of one core and MB.
# WINDOWS: "main" (the default) shows the main window only, as the program
# starts; "all" also opens every window of the Window menu (--show-all).
#   usage: bench/idle_ports.sh silent|sim|tcp [SECONDS_MEASURED] [WARMUP] [main|all]   (BUILD=build by default)
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${BUILD:-build}
MODE=${1:-silent}
MEASURE=${2:-30}
WARMUP=${3:-5}
WINDOWS=${4:-main}
case "$WINDOWS" in
  main) show=() ;;
  all) show=(--show-all) ;;
  *) echo "usage: $0 silent|sim|tcp [SECONDS] [WARMUP] [main|all]" >&2; exit 2 ;;
esac
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}

cleanup() {
  for pid in ${MON_PID:-} ${SRC_PID:-} ${XVFB_PID:-}; do kill "$pid" 2>/dev/null || true; done
}
trap cleanup EXIT

PATHS=$(mktemp)
case "$MODE" in
  silent) python3 bench/pty_hold.py 16 >"$PATHS" & ;;
  sim) "$BUILD/zelk_sim" --count 16 >"$PATHS" & ;;
  tcp) "$BUILD/zelk_sim" --count 16 --listen 127.0.0.1:0 >"$PATHS" & ;;
  *) echo "usage: $0 silent|sim|tcp [SECONDS] [WARMUP] [main|all]" >&2; exit 2 ;;
esac
SRC_PID=$!
for _ in $(seq 200); do [ "$(wc -l <"$PATHS")" -ge 16 ] && break; sleep 0.05; done
args=()
n=1
while read -r dev; do args+=("--com$n=$dev"); n=$((n + 1)); done <"$PATHS"
rm -f "$PATHS"

DISP=99
while [ -e "/tmp/.X11-unix/X$DISP" ] || [ -e "/tmp/.X$DISP-lock" ]; do DISP=$((DISP + 1)); done
Xvfb ":$DISP" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
XVFB_PID=$!
for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$DISP" ] && break; sleep 0.05; done

DISPLAY=":$DISP" QT_QPA_PLATFORM=xcb "$BUILD/jx_monitor" -c1 --open-all "${show[@]}" "${args[@]}" &
MON_PID=$!
sleep "$WARMUP"

cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$MON_PID/stat"; }
open_ptys=$(ls -l "/proc/$MON_PID/fd" | grep -c '/dev/pts/' || true)
if [ "$MODE" = tcp ]; then
  open_ptys=$(ss -tnp state established 2>/dev/null | grep -c "pid=$MON_PID," || true)
fi
# The monitor's top-level windows on the X server (Qt creates one at a
# window's first show), to see that "all" opened them; needs xwininfo.
if command -v xwininfo >/dev/null; then
  echo "monitor windows on screen: $(DISPLAY=":$DISP" xwininfo -root -children | grep -c '("jx_monitor"')"
fi
before=$(cpu_ticks)
sleep "$MEASURE"
after=$(cpu_ticks)
rss_kb=$(awk '/^VmRSS/ { print $2 }' "/proc/$MON_PID/status")
hz=$(getconf CLK_TCK)
awk -v d=$((after - before)) -v hz="$hz" -v s="$MEASURE" -v rss="$rss_kb" -v m="$MODE" -v p="$open_ptys" \
  -v w="$WINDOWS" \
  'BEGIN { printf "%s, %s windows: %d ports open; CPU %.2f %% of one core over %d s; VmRSS %.1f MB\n", m, w, p, 100 * d / hz / s, s, rss / 1024 }'
