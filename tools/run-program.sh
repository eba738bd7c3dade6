#!/usr/bin/env bash
# Starts Velmora.exe from the build's program folder (run inside with-wine.sh). On a virtual
# display it keeps a screenshot of the screen up to date so the user can look at it.
set -u
cd "$VELMORA_BUILD/bin"
log="$VELMORA_BUILD/velmora.log"
wine Velmora.exe </dev/null >"$log" 2>&1 &
pid=$!
trap 'kill $pid 2>/dev/null' INT TERM
if [ "${VELMORA_VIRTUAL_DISPLAY:-0}" = 1 ]; then
  shot="$VELMORA_BUILD/screen.png"
  echo "Velmora runs on a virtual display ($DISPLAY): see $shot (refreshed every 2 s). Ctrl-C ends it."
  while kill -0 $pid 2>/dev/null; do
    import -window root "$shot.tmp.png" 2>/dev/null && mv -f "$shot.tmp.png" "$shot"
    sleep 2
  done
else
  echo "Velmora runs on display $DISPLAY. End it from its tray menu or with Ctrl-C."
fi
wait $pid
echo "Velmora ended (exit code $?); its output is in $log"
