#!/usr/bin/env bash
# Saves PNG pictures of the program's windows (main window with the sample project and
# enlarged, the button bar, File menu, a long name's tool tip, a build's progress and version
# dialogs, the coverage window, the four Options pages, About, help) into a folder, default
# build/screenshots.
# Runs under a virtual X server with a window manager, so dialogs show their captions; the
# user's own settings and histories are not touched.
set -euo pipefail
cd "$(dirname "$0")/.."
out="$(realpath -m "${1:-build/screenshots}")"
BUILD="${BUILD:-build}"

bash tools/install-deps.sh screenshots
cmake -S . -B "$BUILD" -G Ninja >/dev/null
cmake --build "$BUILD" --target vellumar_screenshots

home="$(mktemp -d)"
trap 'rm -rf "$home"' EXIT
mkdir -p "$out"
env -u QT_QPA_PLATFORM HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" \
  XDG_CACHE_HOME="$home/cache" XDG_RUNTIME_DIR="$home" \
  xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    openbox --sm-disable & wm=$!
    sleep 1
    status=0
    "$0" "$1" || status=$?
    kill "$wm"
    exit "$status"' "$BUILD/bin/vellumar_screenshots" "$out"
echo "Screenshots in $out"
