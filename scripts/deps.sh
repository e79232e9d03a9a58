#!/usr/bin/env bash
# Installs, with apt-get, the Debian packages the build, the tests and `make run`
# need (the package check included), and only those that are missing. Quick when
# everything is there.
set -euo pipefail

pkgs=(
  cmake make g++ pkg-config
  qt6-base-dev libqcustomplot-dev
  libgtest-dev googletest libbenchmark-dev
  clang libclang-rt-14-dev
  xvfb xauth fonts-dejavu-core poppler-utils tzdata
  dpkg-dev fakeroot file lintian desktop-file-utils appstream librsvg2-bin
)

missing=()
for p in "${pkgs[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
