#!/usr/bin/env bash
# Opens the program on the demo installation, or on the one TARVIK_COMMON_APPDATA names.
set -euo pipefail
build=$1; demo=$2; shift 2
export TARVIK_COMMON_APPDATA=${TARVIK_COMMON_APPDATA:-$demo}
exec "$build/bin/tarvik-reporter" "$@"
