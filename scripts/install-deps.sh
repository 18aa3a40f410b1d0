#!/usr/bin/env bash
# Installs every Debian 12 package that Kelvane needs to build, run and test.
# Safe to run again: apt-get skips what is already there.
set -euo pipefail

packages=(cmake ninja-build pkg-config g++ git clang-format clang libclang-rt-14-dev libgtest-dev libgmock-dev libbenchmark-dev qt6-base-dev
          librtmidi-dev libasound2-dev libjack-jackd2-dev libfluidsynth-dev timgm6mb-soundfont libsdl2-dev libsdl2-mixer-dev
          libx11-dev libxtst-dev libxcb-xkb-dev jackd2 xvfb xauth xdotool clang libclang-rt-14-dev
          librsvg2-bin desktop-file-utils appstream shared-mime-info dpkg-dev file lintian)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi
# jackd2 asks whether to enable real-time scheduling; answer for it.
echo "jackd2 jackd/tweak_rt_limits boolean false" | $sudo debconf-set-selections
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
