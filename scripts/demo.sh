#!/usr/bin/env bash
# Writes the demo installation (settings folder and data folder) with the simulated
# supervisor, once. A real installation named by TARVIK_COMMON_APPDATA is left alone.
set -euo pipefail
build=$1; demo=$2
if [ -n "${TARVIK_COMMON_APPDATA:-}" ]; then
  echo "Using the installation in $TARVIK_COMMON_APPDATA"
  exit 0
fi
data="$demo/Kestrom/Tarvik-SV/data"
if [ ! -f "$demo/.made" ]; then
  echo "Writing the demo installation to $demo"
  "$build/bin/tarvik-sim" --out "$data" --monitors 6 --days 45 --seed 7
  touch "$demo/.made"
fi
