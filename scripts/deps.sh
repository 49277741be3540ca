#!/usr/bin/env bash
# Installs the Debian 12 packages Zorva builds and tests with, when any is missing.
set -euo pipefail
packages=(
  cmake g++ make pkg-config
  qt6-base-dev libgl-dev qt6-image-formats-plugins libtiff-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  liberfa-dev libcfitsio-dev libcfitsio-bin zlib1g-dev libexiv2-dev libopenjp2-7-dev
  libopencv-imgproc-dev libsqlite3-dev
  clang libclang-rt-14-dev clang-format
  fonts-dejavu-core xvfb xauth
  dpkg-dev
  locales tzdata
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
# Some tests run under a German locale, whose decimal separator is a comma, to show that
# what the program writes does not follow the locale.
if ! locale -a 2>/dev/null | grep -qix 'de_DE\.utf-\?8'; then
  echo "Generating the de_DE.UTF-8 locale"
  sed -i 's/^# *\(de_DE\.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^de_DE\.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' >>/etc/locale.gen
  locale-gen
fi
