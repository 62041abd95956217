#!/bin/bash
# Installs what the project needs from Debian's packages; does nothing when all is there.
set -euo pipefail
packages=(
  cmake ninja-build g++ clang git
  googletest libgtest-dev libbenchmark-dev libopencv-dev libpixman-1-dev pkgconf
  libpng-dev
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine wine64 xvfb xauth xdotool x11-utils imagemagick fonts-ipafont-gothic bc nsis
  xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils
  e2fsprogs
  locales
)
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq "${missing[@]}" >/dev/null
fi

# The Japanese locale, under which a Wine prefix has code page 932 (the tests run one).
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  echo "Generating the ja_JP.UTF-8 locale"
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd localedef -i ja_JP -c -f UTF-8 ja_JP.UTF-8
fi
