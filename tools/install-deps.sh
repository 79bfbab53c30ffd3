#!/usr/bin/env bash
# Installs the Debian 12 packages that building, testing and running Vellumar need.
# Idempotent: when every package is present it does nothing and asks no registry.
# The accessibility engine the document checks run (axe-core) is on npm only: it is installed
# at the version tools/axe/package-lock.json pins, into tools/axe/node_modules.
# With the argument "fuzz" it also installs what the fuzz targets need (clang, libFuzzer);
# with "screenshots" the window manager the screenshots are taken under.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config ccache
  qt6-base-dev qt6-svg-dev libgl-dev
  libsqlite3-dev sqlite3
  libkainjow-mustache-dev libgraphviz-dev libmimalloc-dev
  libgtest-dev libgmock-dev
  xvfb xauth imagemagick
  python3 chromium poppler-utils nodejs
  dpkg-dev desktop-file-utils appstream lintian
)
if [ "${1:-}" = fuzz ]; then
  packages+=(clang libclang-rt-14-dev)
fi
if [ "${1:-}" = screenshots ]; then
  packages+=(openbox)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
# Debian's npm, unless the nodejs package brings its own.
command -v npm >/dev/null || missing+=(npm)

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "ERROR: root or sudo is needed to install ${missing[*]}" >&2; exit 1; }
    sudo="sudo"
  fi
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

axe="$(cd "$(dirname "$0")" && pwd)/axe"
if [ ! -f "$axe/node_modules/axe-core/axe.min.js" ]; then
  echo "Installing: axe-core (npm, as tools/axe/package-lock.json pins it)"
  npm ci --prefix "$axe" --ignore-scripts --no-audit --no-fund >/dev/null
fi
