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

# A weather station's file beside the data, and the weather rules switched on, so that
# the wind and rain periods show as automatic exclusions: hourly readings of the last
# days, wind above 5 m/s some afternoons and rain some mornings.
weather="$demo/Kestrom/Tarvik-SV/weather.csv"
ini="$demo/Kestrom/Tarvik-SV/rp_settings.ini"
if [ -f "$demo/.made" ] && [ ! -f "$weather" ]; then
  {
    printf '%s\r\n' 'Date time,Wind speed [m/s],Rain [mm/h],Temperature [C]'
    for n in $(seq 45 -1 0); do
      day=$(date -d "$n days ago" +%Y-%m-%d)
      for h in $(seq 0 23); do
        wind=3.0; rain=0.0
        if [ $((n % 5)) -eq 1 ] && [ "$h" -ge 13 ] && [ "$h" -le 15 ]; then wind=7.5; fi
        if [ $((n % 7)) -eq 2 ] && [ "$h" -ge 6 ] && [ "$h" -le 7 ]; then rain=2.4; fi
        printf '%s %02d:00,%s,%s,12.0\r\n' "$day" "$h" "$wind" "$rain"
      done
    done
  } > "$weather"
  if ! grep -q '^\[weather\]' "$ini" 2>/dev/null; then
    printf '%s\r\n' '[weather]' 'on=1' "file=$weather" >> "$ini"
  fi
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
