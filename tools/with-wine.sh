#!/usr/bin/env bash
# Runs a command with Wine ready: the project's own prefix under the build folder, of the
# build's bitness, a Chinese locale (ANSI code page 936), a persistent wineserver, and an X
# display: the user's when WINE_DISPLAY=user and one is reachable, otherwise a fresh virtual one
# with two monitors. WINE_PREFIX_NAME names the prefix folder (default "wineprefix").
# Runs on one prefix may overlap: the clean-up ends only the X servers its own run started, and
# the wineserver only when no other run still uses the prefix.
# Usage: with-wine.sh BUILD_DIR command...
set -euo pipefail
build=$(cd "$1" && pwd); shift
export WINEPREFIX="$build/${WINE_PREFIX_NAME:-wineprefix}" WINEARCH=win32 WINEDEBUG=-all
if grep -q '^CMAKE_TOOLCHAIN_FILE:.*mingw-x86_64' "$build/CMakeCache.txt" 2>/dev/null; then
  # Debian's `wine` prefers the 32-bit loader whenever it is installed, even where it cannot
  # run: a 64-bit build is run by the 64-bit loader, for every command started from here.
  export WINEARCH=win64 WINELOADER=/usr/lib/wine/wine64
  shim="$build/wine64-bin"
  mkdir -p "$shim"
  for name in wine wine-stable; do
    printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "$@"\n' >"$shim/$name"
    chmod +x "$shim/$name"
  done
  export PATH="$shim:$PATH"
fi
{ export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8; } 2>/dev/null
export VELMORA_BUILD="$build"

# Every run holds a shared lock on the prefix while it lasts; descriptor 8 is closed for each
# program started here, which would otherwise hold the lock as long as it lives.
exec 8>>"$WINEPREFIX.lock"
flock -s 8

server_pids=()
cleanup() {
  flock -u 8
  if flock -n -x 8; then wineserver -k >/dev/null 2>&1 || true; fi
  for pid in "${server_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  return 0
}
trap cleanup EXIT

# Starts an X server that names its display on a descriptor; sets `started` to that name.
start_server() {
  local dfile; dfile=$(mktemp)
  "$@" -displayfd 5 -nolisten tcp 5>"$dfile" >/dev/null 2>&1 8>&- &
  server_pids+=($!)
  for _ in $(seq 100); do [ -s "$dfile" ] && break; sleep 0.1; done
  started=":$(head -n 1 "$dfile")"; rm -f "$dfile"
  [ "$started" != ":" ] || { echo "wine: $1 did not start" >&2; exit 1; }
}

if [ "${WINE_DISPLAY:-}" = user ] && [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  echo "wine: using display $DISPLAY"
else
  # Two monitors side by side, the primary on the left, so the second-screen windows have a
  # screen to show on: a nested Xephyr with two Xinerama screens, drawn into a hidden Xvfb.
  start_server Xvfb -screen 0 3200x900x24
  DISPLAY=$started start_server Xephyr +xinerama -screen 1600x900+0+0 -screen 1600x900+1600+0
  export DISPLAY=$started VELMORA_VIRTUAL_DISPLAY=1
fi

stamp="$WINEPREFIX/.velmora-ready-4"
# One run prepares the prefix; another one waits for it on the lock's twin.
exec 9>>"$WINEPREFIX.prepare-lock"
flock -x 9
if [ ! -f "$stamp" ]; then
  echo "wine: preparing the prefix $WINEPREFIX (once, about half a minute)"
  wineboot -i >/dev/null 2>&1 </dev/null || true
  # Without a window manager Wine waits two seconds for each closing window to be
  # withdrawn by one; the program's windows are borderless and need none.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 </dev/null
  # Monitors come from Xinerama; the virtual display's RandR knows only one screen.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v UseXRandR /d N /f >/dev/null 2>&1 </dev/null
  # The dialog font (MS Shell Dlg, standing for SimSun) would come from WenQuanYi Zen Hei, whose
  # small bitmap strikes drop thin strokes, the hyphen among them; Micro Hei draws from outlines.
  wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v SimSun /d 'WenQuanYi Micro Hei' /f >/dev/null 2>&1 </dev/null
  wineserver -w
  touch "$stamp"
fi 8>&- 9>&-
exec 9>&-
# One persistent wineserver for the whole run, started outside whatever runs the programs; it
# refuses to start when another run's server is already there, and that one serves both.
wineserver -p >/dev/null 2>&1 </dev/null 8>&- || true
wine cmd /c exit >/dev/null 2>&1 </dev/null 8>&- || true

"$@" 8>&-
