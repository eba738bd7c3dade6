#!/usr/bin/env bash
# `make run`: builds what it runs, then starts Velmora.exe from the build's program folder under
# Wine, once per build. A second start while one builds or runs says so and leaves that one alone.
# The run has a Wine prefix of its own: the tests clear the settings and start the program in
# theirs. On a virtual display it keeps a screenshot of the screen up to date so the user can
# look at it.
# Usage: run-program.sh BUILD_DIR build-command...
set -u
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$1"
# Held by the run from its build to its end; it says "building", then holds the run's display.
lock="$1/velmora-run.lock"

case "${2:-}" in
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
shift
exec 9>>"$lock"
if ! flock -n 9; then
  state=$(cat "$lock")
  if [ "$state" = building ]; then
    echo "Another make run is building Velmora in $build and starts it then; this make run leaves it alone."
  else
    echo "Velmora already runs from $build${state:+ on display $state}; this make run leaves it alone."
  fi
  exit 0
fi
echo building >"$lock"
"$@" 9>&- || exit
: >"$lock"
# The lock stays with this shell; the programs started below do not inherit it.
WINE_DISPLAY=user WINE_PREFIX_NAME=run-prefix bash "$here/with-wine.sh" "$build" bash "$here/run-program.sh" "$build" --inside 9>&-
