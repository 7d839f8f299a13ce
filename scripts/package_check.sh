#!/usr/bin/env bash
# Builds the Debian package from ./build (or $1), validates the desktop entry
# and the AppStream metainfo, checks the package with lintian (an error or a
# warning not overridden in data/lintian-overrides, each with its reason,
# fails), installs it with apt, runs the installed programs, finds the
# compressed man pages and follows the installed documents' links, then
# removes the package again.
# Any failure fails the script. Needs root (or sudo) for apt.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:-build}
sudo_cmd=""
[ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"

scripts/install_packages.sh desktop-file-utils appstream man-db dpkg-dev file lintian python3
[ -f "$build_dir/build.ninja" ] || scripts/setup.sh "$build_dir"
cmake --build "$build_dir" -j "$(nproc)"

desktop-file-validate data/*.desktop
appstreamcli validate --no-net data/*.metainfo.xml

rm -f "$build_dir"/jx-monitor_*.deb
(cd "$build_dir" && cpack -G DEB)
deb=$(ls "$build_dir"/jx-monitor_*.deb)
dpkg-deb --info "$deb"
dpkg-deb --contents "$deb"
# As a distribution would check it; kept tags are overridden in the package.
lintian --fail-on error,warning --info --display-level ">=warning" "$deb"

cleanup() { $sudo_cmd apt-get remove -y --purge jx-monitor >/dev/null 2>&1 || true; }
trap cleanup EXIT
DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y "$(realpath "$deb")"

# As a user without a display would run them.
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM /usr/bin/jx_monitor --version
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM /usr/bin/jx_monitor --list-ports
/usr/bin/zelk_dump --help
/usr/bin/zelk_sim --version
/usr/bin/jx_longrun --version
/usr/bin/jx_monitord --version
# The daemon needs no display libraries.
if ldd /usr/bin/jx_monitord | grep -E "libQt6(Gui|Widgets)"; then
  echo "package_check: jx_monitord links a GUI library" >&2
  exit 1
fi
test -f /lib/systemd/system/jx-monitord.service
dpkg-query -W -f='${Conffiles}\n' jx-monitor | grep -q "/etc/jx-monitord.conf"
# The shipped configuration is taken as it is: the daemon serves for a second and ends cleanly.
/usr/bin/jx_monitord --config /etc/jx-monitord.conf --quit-after 1
if command -v systemd-analyze >/dev/null; then
  systemd-analyze verify /lib/systemd/system/jx-monitord.service
fi
for page in jx_monitor jx_monitord zelk_sim zelk_dump jx_longrun; do
  man -w "$page"
  test -f "/usr/share/man/man1/$page.1.gz"
  [[ "$(/usr/bin/$page -h)" == "usage: $page"* ]]
done
test -f /usr/share/doc/jx-monitor/copyright
test -f /usr/share/icons/hicolor/48x48/apps/org.jxmonitor.JXMonitor.png
# Every relative link of the installed documents leads to an installed file.
python3 - /usr/share/doc/jx-monitor <<'PY'
import pathlib, re, sys
root = pathlib.Path(sys.argv[1])
broken = [f"{md}: {target}" for md in root.rglob("*.md")
          for target in re.findall(r"\]\(([^)#\s]+)", md.read_text())
          if "://" not in target and not (md.parent / target).exists()]
if broken:
    sys.exit("package_check: broken links in the installed documents:\n" + "\n".join(broken))
PY
desktop-file-validate /usr/share/applications/org.jxmonitor.JXMonitor.desktop
test -f /usr/share/icons/hicolor/scalable/apps/org.jxmonitor.JXMonitor.svg
appstreamcli validate --no-net /usr/share/metainfo/org.jxmonitor.JXMonitor.metainfo.xml
test -f /usr/share/doc/jx-monitor/examples/60-gps-receiver.rules.example

$sudo_cmd apt-get remove -y --purge jx-monitor
trap - EXIT
if [ -e /usr/bin/jx_monitor ]; then
  echo "package_check: /usr/bin/jx_monitor is still there after removal" >&2
  exit 1
fi
echo "package_check: ok ($(basename "$deb"))"
