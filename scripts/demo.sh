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

# Example exclusions, so that the bands on the charts, the excluded cells and figures
# and the Exclusions tab show from the start: rain, works and wind in the last days,
# and one withdrawn exclusion, whose row stays as the trail.
excl="$demo/Kestrom/Tarvik-SV/rp_exclusions.csv"
if [ -f "$demo/.made" ] && [ ! -f "$excl" ]; then
  d() { date -d "$1 days ago" +%Y-%m-%d; }
  {
    printf '%s\r\n' 'id,monitor,from,to,covers,reason,comment,author,created,withdrawn,withdrawn by'
    printf '%s\r\n' "1,M01,$(d 1) 10:00:00,$(d 1) 12:00:00,all,rain,Heavy shower over the site,demo,$(d 1) 13:05:00,,"
    printf '%s\r\n' "2,M02,$(d 2) 08:00:00,$(d 2) 16:30:00,all,works,Road resurfacing next to the microphone,demo,$(d 2) 17:00:00,,"
    printf '%s\r\n' "3,*,$(d 3) 01:30:00,$(d 3) 04:00:00,all,wind,Gusts above 8 m/s at the mast,demo,$(d 2) 09:12:00,,"
    printf '%s\r\n' "4,M03,$(d 1) 14:00:00,$(d 1) 15:00:00,LAFmax,fault,Cable checked: no fault found,demo,$(d 1) 15:10:00,$(d 0) 08:30:00,demo"
  } > "$excl"
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
