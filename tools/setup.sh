#!/usr/bin/env bash
# Installs what a fresh Debian machine lacks to build, test and run the tool.
set -euo pipefail

packages=(cmake ninja-build g++ clang libclang-rt-14-dev libgtest-dev qt6-base-dev
          fonts-dejavu-core fonts-noto-cjk xvfb
          dpkg-dev fakeroot lintian desktop-file-utils appstream man-db ser2net
          g++-mingw-w64-x86-64-posix wine wine64 nsis unzip python3 xdotool x11-utils
          python3-pyatspi at-spi2-core dbus-x11)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi
echo "Installing: ${missing[*]}"
$sudo apt-get update
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y "${missing[@]}"
