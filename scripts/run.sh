#!/usr/bin/env bash
# Opens the program on the demo installation, or on the one TARVIK_COMMON_APPDATA names.
# Without a display it writes the demo's HTML report library instead and says where.
set -euo pipefail
build=$1; demo=$2; shift 2
export TARVIK_COMMON_APPDATA=${TARVIK_COMMON_APPDATA:-$demo}
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  out="$(cd "$build" && pwd)/demo-report"
  echo "No display: writing the HTML report library of the last 7 days instead."
  "$build/bin/tarvik-reporter" --export "$out" --monitors all \
    --from "$(date -d '6 days ago' +%F)" --to "$(date +%F)"
  echo "Open $out/Tarvik Reports.html in a browser."
  exit 0
fi
exec "$build/bin/tarvik-reporter" "$@"
