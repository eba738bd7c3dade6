#!/usr/bin/env bash
# Runs a command with Wine ready: the project's own 32-bit prefix under the build folder,
# a Chinese locale (ANSI code page 936), a persistent wineserver, and an X display:
# the user's when WINE_DISPLAY=user and one is reachable, otherwise a fresh Xvfb.
# Usage: with-wine.sh BUILD_DIR command...
set -euo pipefail
build=$(cd "$1" && pwd); shift
export WINEPREFIX="$build/wineprefix" WINEARCH=win32 WINEDEBUG=-all
{ export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8; } 2>/dev/null
export VELMORA_BUILD="$build"

xvfb_pid=""
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  return 0
}
trap cleanup EXIT

if [ "${WINE_DISPLAY:-}" = user ] && [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  echo "wine: using display $DISPLAY"
else
  dfile=$(mktemp)
  Xvfb -displayfd 5 -screen 0 "${XVFB_SCREEN:-1600x900x24}" -nolisten tcp 5>"$dfile" >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do [ -s "$dfile" ] && break; sleep 0.1; done
  [ -s "$dfile" ] || { echo "wine: Xvfb did not start" >&2; exit 1; }
  export DISPLAY=":$(head -n 1 "$dfile")" VELMORA_VIRTUAL_DISPLAY=1
  rm -f "$dfile"
fi

stamp="$WINEPREFIX/.velmora-ready-2"
if [ ! -f "$stamp" ]; then
  echo "wine: preparing the prefix (once)"
  wineboot -i >/dev/null 2>&1 </dev/null || true
  # Without a window manager Wine waits two seconds for each closing window to be
  # withdrawn by one; the program's windows are borderless and need none.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 </dev/null
  wineserver -w
  touch "$stamp"
fi
# One persistent wineserver for the whole run, started outside whatever runs the programs.
wineserver -p >/dev/null 2>&1 </dev/null
wine cmd /c exit >/dev/null 2>&1 </dev/null || true

"$@"
