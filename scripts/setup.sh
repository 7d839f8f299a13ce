#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need, then
# configures and builds into ./build (or $1). Safe to run again.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:-build}
shift || true

packages=(qt6-base-dev cmake g++ ninja-build libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth x11-apps imagemagick)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y --no-install-recommends "${missing[@]}"
fi

cmake -S . -B "$build_dir" -G Ninja "$@"
cmake --build "$build_dir" -j "$(nproc)"
