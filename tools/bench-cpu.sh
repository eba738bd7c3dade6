#!/usr/bin/env bash
# Side by side under Wine (run inside with-wine.sh): the real program counting a stage against a
# bare topmost clock window that repaints every 200 ms, each in a Wine session of its own (own
# prefix, own wineserver), with an idle session as the floor. Counts the CPU of every process of
# each session, the wineserver included, over the same minute, and the program's window work.
set -euo pipefail
build=$VELMORA_BUILD
seconds=${BENCH_SECONDS:-60}
settle=10
block=VelmoraBenchWindowWork
work=$(mktemp -d /tmp/velmora-bench.XXXXXX)
sessions=(idle bare clock)

cleanup() {
  for s in "${sessions[@]}"; do [ -d "$work/$s" ] && WINEPREFIX=$work/$s wineserver -k 2>/dev/null; done
  rm -rf "$work"
  return 0
}
trap cleanup EXIT

# A prefix linked to the prepared one; the registry files, which Wine rewrites, are copies.
new_session() {
  local prefix=$work/$1
  cp -al "$WINEPREFIX" "$prefix"
  for f in "$WINEPREFIX"/*.reg; do cp --remove-destination "$f" "$prefix/"; done
  WINEPREFIX=$prefix wineserver -p
}

# "pid jiffies" (user + system, 1/100 s) of every process whose environment names the session.
snapshot() {
  local prefix=$work/$1 p
  for p in /proc/[0-9]*; do
    tr '\0' '\n' 2>/dev/null <"$p/environ" | grep -qx "WINEPREFIX=$prefix" || continue
    sed 's/.*) //' "$p/stat" 2>/dev/null | awk -v pid="${p#/proc/}" '{print pid, $12 + $13}'
  done
}

# Jiffies spent between two snapshots; a process started in between counts whole.
spent() {
  awk 'NR == FNR {before[$1] = $2; next} {total += $2 - before[$1]} END {print total + 0}' "$1" "$2"
}

# One stage of a saved clock that covers the whole measurement, in a program folder of its own.
prepare_program() {
  local folder=$work/program
  mkdir -p "$folder"
  cp -r "$build/bin/Velmora.exe" "$build/bin/MeetData.db" "$build/bin/sounds" "$build/bin/picture" \
        "$build/bin/font" "$folder/"
  local from to
  from=$(date -d '-5 sec' +%T) to=$(date -d "+$((seconds + 5 * settle)) sec" +%T)
  sqlite3 "$folder/MeetData.db" "INSERT INTO clocksetting VALUES (1, 'Bench', '2026-12-09', '', '12:00:00',
    30, 20, 10, '111101001111111111111', '100100100', 3,
    'start.wav\\Timeout.wav\\Timeout.wav\\Timeout.wav\\Stop.wav', '你的汇报', '休息',
    'Trebuchet MS', '1060605', '\\0', 0, 0, 150, 50);
    INSERT INTO file_list VALUES ('$from', '$to', 'Bench', '基准');"
}

fail() {
  echo "bench: the window work of Velmora could not be read; did the program start?" >&2
  exit 1
}

probe() {
  WINEPREFIX=$work/clock wine "$build/bin/window_work_probe.exe" "$block" </dev/null 2>/dev/null | tr -d '\r'
}

for s in "${sessions[@]}"; do new_session "$s"; done
prepare_program
WINEPREFIX=$work/idle wine "$build/bin/bare_window.exe" --idle </dev/null >/dev/null 2>&1 &
WINEPREFIX=$work/bare wine "$build/bin/bare_window.exe" </dev/null >/dev/null 2>&1 &
(cd "$work/program" && WINEPREFIX=$work/clock VELMORA_WINDOW_WORK=$block wine Velmora.exe </dev/null >/dev/null 2>&1 &)
sleep "$settle"

read -r tick0 paints0 regions0 raises0 < <(probe) || fail
for s in "${sessions[@]}"; do snapshot "$s" >"$work/$s.before"; done
sleep "$seconds"
for s in "${sessions[@]}"; do snapshot "$s" >"$work/$s.after"; done
read -r tick1 paints1 regions1 raises1 < <(probe) || fail

idle=$(spent "$work/idle.before" "$work/idle.after")
bare=$(spent "$work/bare.before" "$work/bare.after")
clock=$(spent "$work/clock.before" "$work/clock.after")
echo "CPU over ${seconds} s, 1/100 s, every process of the session:"
echo "  idle Wine session          $idle"
echo "  bare clock window          $bare  ($((bare - idle)) above idle)"
echo "  Velmora counting a stage   $clock  ($((clock - idle)) above idle)"
awk -v b=$((bare - idle)) -v c=$((clock - idle)) \
  'BEGIN {if (b > 0) printf "  ratio Velmora / bare       %.2f\n", c / b; else print "  ratio: the bare window used no CPU above idle"}'
awk -v ms=$((tick1 - tick0)) -v p=$((paints1 - paints0)) -v g=$((regions1 - regions0)) -v r=$((raises1 - raises0)) \
  'BEGIN {s = ms / 1000; printf "Velmora window work per second: %.1f paints, %.1f outline sets, %.1f raises\n", p / s, g / s, r / s}'
