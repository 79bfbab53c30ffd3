#!/usr/bin/env bash
# Builds the sample document with the given vellumar-build into a temporary directory and
# checks it in headless Chromium (tools/check_document.py): the classic HTML document, or
# with FORMAT "modern" the modern page (with the changes since the sample's version 1.0),
# whose diagrams it also clicks, or with FORMAT "site" the web site, all of its pages.
# Usage: check_demo.sh VELLUMAR_BUILD [FORMAT] [SCREENSHOT.png]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
format="${2:-html}"
out="$work/demo.htm"
want=()
since=()
# The modern page also opens with the changes since the sample's version 1.0, linked to
# their objects.
[ "$format" = modern ] && out="$work/demo.html"
[ "$format" = site ] && out="$work/site"
[ "$format" != html ] && want=(--want-diagrams) &&
  since=(--changes-since "$(dirname "$1")/../share/vellumar/sample/demo-1.0.sqlite")
"$1" --format "$format" "${since[@]}" --settings "$root/data/sample/demo.ini" "$root/data/sample/demo.vlm" \
  "$out" >/dev/null 2>"$work/build.log" || { cat "$work/build.log" >&2; exit 1; }
python3 "$root/tools/check_document.py" "$out" "${want[@]}" ${3:+--screenshot "$3"}
