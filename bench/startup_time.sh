#!/usr/bin/env bash
# Start-up time of the real monitor: from just before the program is started
# to the first paint of its main window (jx_monitor --time-to-paint prints the
# moment and quits). Runs under Xvfb (one server for all runs) and offscreen;
# the display port COM1 is a silent pseudo-terminal. Prints each run and the
# median, in ms.
#   usage: bench/startup_time.sh [RUNS]        (BUILD=build by default)
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${BUILD:-build}
RUNS=${1:-9}
MONITOR=$BUILD/jx_monitor
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}

cleanup() {
  [ -n "${PTY_PID:-}" ] && kill "$PTY_PID" 2>/dev/null || true
  [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null || true
}
trap cleanup EXIT

PTYS=$(mktemp)
python3 bench/pty_hold.py 1 >"$PTYS" &
PTY_PID=$!
for _ in $(seq 100); do [ -s "$PTYS" ] && break; sleep 0.05; done
DEVICE=$(head -1 "$PTYS")
rm -f "$PTYS"

# A free display number for our own Xvfb.
DISP=99
while [ -e "/tmp/.X11-unix/X$DISP" ] || [ -e "/tmp/.X$DISP-lock" ]; do DISP=$((DISP + 1)); done
Xvfb ":$DISP" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
XVFB_PID=$!
for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$DISP" ] && break; sleep 0.05; done

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# One run: "total after_main" in ms: from just before exec to the first
# paint, and from the start of main() to it.
one_run() {
  local start line
  start=$(date +%s%6N)
  line=$(env "$@" "$MONITOR" -e -c1 "--com1=$DEVICE" --time-to-paint)
  echo "$line" | awk -v a="$start" '{ printf "%.1f %.1f\n", ($(NF - 4) - a) / 1000, $3 }'
}

for platform in xvfb offscreen; do
  if [ "$platform" = xvfb ]; then envs=(DISPLAY=":$DISP" QT_QPA_PLATFORM=xcb); else envs=(QT_QPA_PLATFORM=offscreen); fi
  one_run "${envs[@]}" >/dev/null # warm the file cache
  runs=$(for _ in $(seq "$RUNS"); do one_run "${envs[@]}"; done)
  echo "$platform: runs (ms) $(echo "$runs" | awk '{ printf "%s ", $1 }')"
  echo "$platform: median $(echo "$runs" | awk '{ print $1 }' | median) ms from exec," \
    "$(echo "$runs" | awk '{ print $2 }' | median) ms from main()"
done
