#!/usr/bin/env bash
# `make run`: starts Velmora.exe from the build's program folder under Wine, once per build. A
# second start while one runs says where that one runs and leaves it alone. The run has a Wine
# prefix of its own: the tests clear the settings and start the program in theirs. On a virtual
# display it keeps a screenshot of the screen up to date so the user can look at it.
# Usage: run-program.sh BUILD_DIR             starts it, unless it already runs
#        run-program.sh BUILD_DIR --running   succeeds when it already runs
set -u
here=$(cd "$(dirname "$0")" && pwd)
# Held by the run while it lasts; it holds the run's display once that is known.
lock="$1/velmora-run.lock"

case "${2:-}" in
--running)
  [ -f "$lock" ] && ! flock -n "$lock" true
  exit
  ;;
--inside)
  # Under with-wine.sh, on the display it chose.
  build=$VELMORA_BUILD
  echo "$DISPLAY" >"$lock"
  cd "$build/bin"
  log="$build/velmora.log"
  echo "run: starting Velmora"
  wine Velmora.exe </dev/null >"$log" 2>&1 &
  pid=$!
  stopped=0
  trap 'stopped=1; kill $pid 2>/dev/null' INT TERM
  # It is up once its hub window exists (captioned with the product name).
  for _ in $(seq 300); do
    xdotool search --name '^Kelvane$' >/dev/null 2>&1 || ! kill -0 $pid 2>/dev/null && break
    sleep 0.2
  done
  if [ $stopped = 1 ] || ! kill -0 $pid 2>/dev/null; then
    :  # stopped or ended while starting
  elif [ "${VELMORA_VIRTUAL_DISPLAY:-0}" = 1 ]; then
    shot="$build/screen.png"
    echo "Velmora runs on the virtual display $DISPLAY: see $shot (refreshed every 2 s). Ctrl-C ends it."
    while kill -0 $pid 2>/dev/null; do
      import -window root "$shot.tmp.png" 2>/dev/null && mv -f "$shot.tmp.png" "$shot"
      sleep 2
    done
  else
    echo "Velmora runs on display $DISPLAY. End it from its tray menu or with Ctrl-C."
  fi
  wait $pid
  rc=$?
  # A signal cuts the wait short; the program is ending.
  [ $stopped = 1 ] && wait $pid 2>/dev/null
  if [ $stopped = 1 ]; then
    echo "Velmora was stopped; its output is in $log"
  else
    echo "Velmora ended (exit code $rc); its output is in $log"
  fi
  exit 0
  ;;
esac

build=$(cd "$1" && pwd)
exec 9>>"$lock"
if ! flock -n 9; then
  display=$(cat "$lock")
  echo "Velmora already runs from $build${display:+ on display $display}; this make run leaves it alone."
  exit 0
fi
: >"$lock"
# The lock stays with this shell; the programs started below do not inherit it.
WINE_DISPLAY=user WINE_PREFIX_NAME=run-prefix bash "$here/with-wine.sh" "$build" bash "$here/run-program.sh" "$build" --inside 9>&-
