#!/usr/bin/env bash
# Installs the Debian packages named as arguments that are not installed yet
# (sudo when not root). Safe to run again. Package lists fetched by an earlier
# call within the hour are used as they are (CI installs in three steps); if
# the install fails with them, they are fetched again and it is retried.
set -euo pipefail
missing=()
for p in "$@"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  stamp=${TMPDIR:-/tmp}/jx-apt-lists-updated
  install() { DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y --no-install-recommends "${missing[@]}"; }
  update() { $sudo_cmd apt-get update && { touch "$stamp" 2>/dev/null || true; }; }
  if [ -n "$(find "$stamp" -mmin -60 2>/dev/null)" ]; then
    install || { update && install; }
  else
    update
    install
  fi
fi
