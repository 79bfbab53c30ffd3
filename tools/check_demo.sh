#!/usr/bin/env bash
# Builds the sample document with the given vellumar-build into a temporary directory and
# checks it in headless Chromium (tools/check_document.py).
# Usage: check_demo.sh VELLUMAR_BUILD [SCREENSHOT.png]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
"$1" --settings "$root/data/sample/demo.ini" "$root/data/sample/demo.vlm" "$work/demo.htm" \
  >/dev/null 2>"$work/build.log" || { cat "$work/build.log" >&2; exit 1; }
python3 "$root/tools/check_document.py" "$work/demo.htm" ${2:+--screenshot "$2"}
