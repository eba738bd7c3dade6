#!/usr/bin/env bash
# Installs what the build and the tests need on a fresh Debian machine.
# Quiet and quick when everything is already there.
set -euo pipefail

SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive

need=()
have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "ok installed"; }
for p in g++-mingw-w64-i686-posix mingw-w64-tools cmake make tcl xvfb xserver-xephyr x11-utils xdotool \
         imagemagick fonts-wqy-zenhei googletest dpkg-dev locales sqlite3; do
  have "$p" || need+=("$p")
done
have wine32:i386 || need+=(wine wine32:i386)
# Wine finds the second monitor through Xinerama, loaded by the 32-bit Wine itself.
have libxinerama1:i386 || need+=(libxinerama1:i386)

if [ ${#need[@]} -gt 0 ]; then
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
  fi
  # SQLite comes from Debian's source package: the source twin of each binary entry.
  src=/etc/apt/sources.list.d/debian-src.sources
  if [ ! -f "$src" ] && [ -f /etc/apt/sources.list.d/debian.sources ]; then
    sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources | $SUDO tee "$src" >/dev/null
  fi
  echo "setup: installing ${need[*]}"
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi
# deb-src entries are needed for the SQLite source even when all packages are present.
src=/etc/apt/sources.list.d/debian-src.sources
if [ ! -f "$src" ] && [ -f /etc/apt/sources.list.d/debian.sources ]; then
  sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources | $SUDO tee "$src" >/dev/null
  $SUDO apt-get update -qq
fi
# Wine takes its ANSI code page (936) from the Chinese locale.
if ! locale -a 2>/dev/null | grep -qi '^zh_CN.utf8$'; then
  $SUDO sed -i 's/^# *zh_CN.UTF-8 UTF-8/zh_CN.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  $SUDO locale-gen >/dev/null
fi
