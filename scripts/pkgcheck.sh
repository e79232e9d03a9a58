#!/usr/bin/env bash
# Checks the Debian package that `make package` wrote in the build folder ($1): it is
# unpacked into a scratch root, which must hold exactly the installed file list with
# every file where the desktop looks for it; the unpacked programs must run from
# another folder; the desktop entry and AppStream file must validate; the programs
# must be hardened; lintian must find no error and no hardening note.
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
src=$(cd "$(dirname "$0")/.." && pwd)
shopt -s nullglob
debs=("$build"/tarvik-reporter_*.deb)
[ ${#debs[@]} -eq 1 ] || { echo "pkgcheck: expected one tarvik-reporter .deb in $build, found ${#debs[@]}" >&2; exit 1; }
deb=${debs[0]}
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
fail() { echo "pkgcheck: $*" >&2; exit 1; }

echo "pkgcheck: $deb"
dpkg-deb -x "$deb" "$root/pkg"

# The file list, the same one the install test compares (paths under the prefix /usr).
(cd "$root/pkg/usr" && find . -type f -o -type l | sed 's|^\./||' | LC_ALL=C sort) > "$root/files"
{ grep -v '^#' "$src/packaging/installed-files.txt"
  (cd "$src" && find help-rp -type f | sed 's|^|share/tarvik-reporter/|'); } | LC_ALL=C sort > "$root/expected"
if ! diff -u "$root/expected" "$root/files"; then
  fail "the package's files differ from packaging/installed-files.txt (- missing, + unexpected)"
fi

# The dependencies come from the linked libraries.
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libqt6core6 libqt6widgets6 libqt6printsupport6 libqcustomplot; do
  grep -q "$lib" <<<"$depends" || fail "Depends lacks $lib: $depends"
done

# Where the desktop looks: the entry's program is on the path, its icon in hicolor.
desktop="$root/pkg/usr/share/applications/example.kestrom.TarvikReporter.desktop"
desktop-file-validate "$desktop"
appstreamcli validate --no-net "$root/pkg/usr/share/metainfo/example.kestrom.TarvikReporter.metainfo.xml" >/dev/null
exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
icon=$(sed -n 's/^Icon=//p' "$desktop")
[ -x "$root/pkg/usr/bin/$exec_name" ] || fail "Exec=$exec_name is not in /usr/bin"
[ -f "$root/pkg/usr/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "no scalable icon $icon"
[ -f "$root/pkg/usr/share/icons/hicolor/48x48/apps/$icon.png" ] || fail "no 48x48 icon $icon"
[ -f "$root/pkg/usr/share/tarvik-reporter/help-rp/contents.html" ] || fail "no help pages"
for page in tarvik-reporter tarvik-sim; do
  warn=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$root/pkg/usr/share/man/man1/$page.1.gz" 2>&1 >/dev/null || true)
  [ -z "$warn" ] || fail "man page $page: $warn"
done

# The unpacked programs run from any folder, without a display.
work="$root/work"
mkdir -p "$work"
cd "$work"
mkdir -m 700 "$work/runtime"
export TARVIK_COMMON_APPDATA="$work/appdata" QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$work/runtime"
# The text is read whole first: grep -q would stop reading at its match, and the
# program would die of the broken pipe halfway through writing.
help_text=$("$root/pkg/usr/bin/tarvik-reporter" --help) || fail "tarvik-reporter --help failed"
grep -q -- '--pdf FILE' <<<"$help_text" || fail "tarvik-reporter --help"
"$root/pkg/usr/bin/tarvik-sim" --out "$work/data" --monitors 2 --days 2 --profile-days 1 >/dev/null
"$root/pkg/usr/bin/tarvik-reporter" --export "$work/html" --data "$work/data" --monitors all \
  --kinds per-chart,cal --image-format png >/dev/null
[ -f "$work/html/Tarvik Reports.html" ] || fail "the unpacked program wrote no index page"
"$root/pkg/usr/bin/tarvik-reporter" --pdf "$work/r.pdf" --report periodic-table --data "$work/data" \
  --monitors all >/dev/null
[ -s "$work/r.pdf" ] || fail "the unpacked program wrote no PDF"
# A word that is no option gets the usage and exit status 2, never the window.
set +e
"$root/pkg/usr/bin/tarvik-reporter" --sumary >/dev/null 2>&1
rc=$?
set -e
[ "$rc" -eq 2 ] || fail "tarvik-reporter --sumary exited $rc, not 2"
# The scheduled examples name the installed program by its full path.
for f in tarvik-reporter-nightly.service tarvik-reporter.crontab; do
  grep -q '/usr/bin/tarvik-reporter --export' "$root/pkg/usr/share/doc/tarvik-reporter/examples/$f" \
    || fail "the example $f does not name /usr/bin/tarvik-reporter"
done
cd "$src"

# Hardened as Debian builds its packages: every source compiled with the stack
# protector and fortified C library calls, the programs with read-only relocations
# bound at start and without a .comment section.
commands=$(grep -c '"command":' "$build/compile_commands.json")
hardened=$(grep '"command":' "$build/compile_commands.json" | grep -- '-D_FORTIFY_SOURCE=' | grep -c -- '-fstack-protector-strong')
[ "$commands" -gt 0 ] && [ "$commands" -eq "$hardened" ] \
  || fail "only $hardened of $commands compile commands have -D_FORTIFY_SOURCE and -fstack-protector-strong"
for prog in tarvik-reporter tarvik-sim; do
  elf="$root/pkg/usr/bin/$prog"
  # grep reads each listing whole (no -q), so readelf never dies of a broken pipe.
  readelf -lW "$elf" | grep 'GNU_RELRO' >/dev/null || fail "$prog: no RELRO"
  readelf -dW "$elf" | grep -E '\(FLAGS\).*BIND_NOW|\(FLAGS_1\).*NOW' >/dev/null || fail "$prog: not bound at start (BIND_NOW)"
  readelf --dyn-syms -W "$elf" | grep '__stack_chk_fail' >/dev/null || fail "$prog: no stack protector"
  if readelf -SW "$elf" | grep '\.comment' >/dev/null; then fail "$prog: has a .comment section"; fi
done

# lintian: no errors (warnings are shown, not fatal), and none of its hardening notes
# even at the informational level.
lintian_out=$(lintian --fail-on error --tag-display-limit 0 -I "$deb") || { echo "$lintian_out"; fail "lintian found errors"; }
[ -z "$lintian_out" ] || echo "$lintian_out"
if grep -E 'hardening-|binary-has-unneeded-section' <<<"$lintian_out"; then
  fail "lintian: the binaries are not hardened"
fi
echo "pkgcheck: all good"
