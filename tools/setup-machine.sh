#!/usr/bin/env bash
# Installs what the build and the tests need on a fresh Debian machine.
# Quiet and quick when everything is already there.
# Usage: setup-machine.sh ROAD   (ROAD from wine-road.sh: "32" installs 32-bit Wine, "64" installs
# 64-bit Wine and the 64-bit compiler; the 32-bit compiler for the shipped program comes either way)
set -euo pipefail
road=${1:-32}

SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive

# A mirror in the middle of a sync can fail one index file; the packages still install from the
# others, so a failed update is retried once and then only reported.
apt_update() {
  $SUDO apt-get update -qq || { sleep 5; $SUDO apt-get update -qq; } || echo "setup: apt-get update reported errors; going on"
}

# When one architecture's index could not be read, the 64-bit and 32-bit twins of a library
# can be offered at different versions and apt gives up. Then each library it names is installed
# at the newest version both architectures have, with its 32-bit twin where that is asked for or
# already installed, until the install resolves. The versions are named in the install command
# only: nothing is pinned or held afterwards, so a later install of the other Wine resolves too.
installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "ok installed"; }
pinned_pair() {
  local name=${1%:i386} a b v
  a=$(apt-cache madison "$name" | awk -F'|' '$3 ~ /amd64|all/ {gsub(/ /,"",$2); print $2}' | sort -u)
  b=$(apt-cache madison "$name:i386" | awk -F'|' '{gsub(/ /,"",$2); print $2}' | sort -u)
  v=$(comm -12 <(echo "$a") <(echo "$b") | sort -V | tail -n 1)
  [ -n "$v" ] || return 0
  echo -n "$name=$v "
  if [ "$1" != "$name" ] || installed "$name:i386"; then echo -n "$name:i386=$v"; fi
}
install_pinned() {
  local names="" pins out p
  for _ in $(seq 12); do
    pins=""; for p in $names; do pins="$pins $(pinned_pair "$p")"; done
    out=$($SUDO apt-get install -s --no-install-recommends --allow-downgrades "$@" $pins 2>&1) || true
    if ! grep -q '^E:' <<<"$out"; then
      $SUDO apt-get install -y -qq --no-install-recommends --allow-downgrades "$@" $pins >/dev/null
      return
    fi
    names=$(echo $names $(grep -oE 'Depends: [^ ]+' <<<"$out" | sed 's/Depends: //') | tr ' ' '\n' | sort -u)
  done
  echo "setup: the packages could not be resolved" >&2
  return 1
}

need=()
wanted=(g++-mingw-w64-i686-posix mingw-w64-tools cmake make tcl xvfb xserver-xephyr x11-utils xdotool
        imagemagick fonts-wqy-zenhei fonts-wqy-microhei googletest dpkg-dev locales sqlite3 fp-utils p7zip-full)
# Wine finds the second monitor through Xinerama, loaded by Wine itself in its own bitness.
if [ "$road" = 64 ]; then
  wanted+=(wine wine64 libxinerama1 g++-mingw-w64-x86-64-posix)
else
  wanted+=(wine wine32:i386 libxinerama1:i386)
fi
for p in "${wanted[@]}"; do installed "$p" || need+=("$p"); done

if [ ${#need[@]} -gt 0 ]; then
  if [ "$road" = 32 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
  fi
  # SQLite comes from Debian's source package: the source twin of each binary entry.
  src=/etc/apt/sources.list.d/debian-src.sources
  if [ ! -f "$src" ] && [ -f /etc/apt/sources.list.d/debian.sources ]; then
    sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources | $SUDO tee "$src" >/dev/null
  fi
  echo "setup: installing ${need[*]}"
  apt_update
  $SUDO apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null || install_pinned "${need[@]}"
fi
# deb-src entries are needed for the SQLite source even when all packages are present.
src=/etc/apt/sources.list.d/debian-src.sources
if [ ! -f "$src" ] && [ -f /etc/apt/sources.list.d/debian.sources ]; then
  sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources | $SUDO tee "$src" >/dev/null
  apt_update
fi
# Wine takes its ANSI code page (936) from the Chinese locale.
if ! locale -a 2>/dev/null | grep -qi '^zh_CN.utf8$'; then
  $SUDO sed -i 's/^# *zh_CN.UTF-8 UTF-8/zh_CN.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  $SUDO locale-gen >/dev/null
fi
