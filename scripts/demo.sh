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
  # Three monitors ticked, so the first window shows a report, and example noise limits
  # (a working-day limit and two for the nights), so that the limit lines, the marks and
  # the Exceedances tab show from the start.
  printf '%s\r\n' '[report]' 'monitorsel=M01,M02,M03' '[rp_limits]' \
    'rule1=* ; LAeq ; Mon-Fri ; 07:00-19:00 ; 65.0 ; Day' \
    'rule2=* ; LAeq ; Mon-Sun ; 23:00-07:00 ; 50.0 ; Night' \
    'rule3=* ; LAFmax ; Mon-Sun ; 23:00-07:00 ; 75.0 ; Night maximum' \
    > "$demo/Kestrom/Tarvik-SV/rp_settings.ini"
  touch "$demo/.made"
fi

# The Supervisor button starts the program beside the viewer: for the demo that is the
# simulated supervisor in live mode, and only ever on the demo's own data folder.
cat > "$build/bin/tarviksv" <<'SH'
#!/usr/bin/env bash
appdata=${TARVIK_COMMON_APPDATA:-}
if [ -z "$appdata" ] || [ ! -f "$appdata/.made" ]; then
  echo "tarviksv: only the demo installation has a simulated supervisor" >&2
  exit 1
fi
exec "$(dirname "$0")/tarvik-sim" --out "$appdata/Kestrom/Tarvik-SV/data" --monitors 6 --days 1 --seed 7 --live
SH
chmod +x "$build/bin/tarviksv"
