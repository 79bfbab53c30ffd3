#!/usr/bin/env bash
# Installs the build in BUILD_DIR into a scratch root (DESTDIR, prefix /usr), checks that
# every installed piece is there, builds the installed sample project with the installed
# vellumar-build from an unrelated folder and compares the document with the one the build
# tree's vellumar-build writes (but for the project file's times), and validates the
# desktop entry and the AppStream data when the validators are installed.
# Usage: check_install.sh BUILD_DIR
set -euo pipefail
build="$(realpath "$1")"  # it is used after changing into a scratch home
root="$(mktemp -d)"
trap 'rm -rf "$root"' EXIT
fail() { echo "check_install: $*" >&2; exit 1; }

DESTDIR="$root" cmake --install "$build" --prefix /usr >/dev/null
usr="$root/usr"
id=org.vellumar.Vellumar
for f in bin/vellumar bin/vellumar-build \
    share/vellumar/sample/demo.sqlite share/vellumar/sample/sales.sqlite \
    share/vellumar/sample/demo.vlm share/vellumar/sample/demo.ini \
    share/vellumar/help/index.html share/vellumar/help/help.css \
    share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
    share/mime/packages/vellumar.xml \
    share/icons/hicolor/scalable/apps/vellumar.svg \
    share/icons/hicolor/16x16/apps/vellumar.png share/icons/hicolor/256x256/apps/vellumar.png \
    share/man/man1/vellumar.1.gz share/man/man1/vellumar-build.1.gz \
    share/doc/vellumar/copyright; do
  [ -s "$usr/$f" ] || fail "$f is not installed"
done

# Run as a user would: own home, no options, from a folder of their own.
export HOME="$root/home" XDG_CONFIG_HOME="$root/home/config" XDG_DATA_HOME="$root/home/data"
mkdir -p "$HOME"
cd "$HOME"
sample="$usr/share/vellumar/sample"
"$usr/bin/vellumar-build" --version | grep -qx "vellumar-build [0-9.]*" || fail "--version"
"$usr/bin/vellumar-build" --settings "$sample/demo.ini" "$sample/demo.vlm" installed.htm \
  >/dev/null 2>build.log || { cat build.log >&2; fail "the installed sample does not build"; }
"$build/bin/vellumar-build" --settings "$sample/demo.ini" "$sample/demo.vlm" built.htm \
  >/dev/null 2>&1 || fail "the build tree's vellumar-build fails"
times='^(Created|Updated) '
grep -qE "$times" installed.htm || fail "the document has no project times"
diff <(grep -vE "$times" installed.htm) <(grep -vE "$times" built.htm) >/dev/null ||
  fail "the installed program writes another document than the build tree's"

if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$usr/share/applications/$id.desktop" || fail "desktop entry"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$usr/share/metainfo/$id.metainfo.xml" >validate.log ||
    { cat validate.log >&2; fail "AppStream data"; }
fi
