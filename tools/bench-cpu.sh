#!/usr/bin/env bash
# Side by side under Wine (run inside with-wine.sh): the real program counting a stage against a
# bare topmost clock window that repaints every 200 ms and against the floor program, which wakes
# as often but repaints once a second, each in a Wine session of its own (own prefix, own
# wineserver), with an idle session as the base. Counts the CPU of every process of each session,
# the wineserver included, over the same minute, and the program's window work. Then counts the
# requests the program and the floor program make to the wineserver, from its own trace, in
# sessions of their own (tracing slows the server, so not during the CPU minute).
set -euo pipefail
build=$VELMORA_BUILD
seconds=${BENCH_SECONDS:-60}
traced=${BENCH_TRACED_SECONDS:-20}
settle=10
block=VelmoraBenchWindowWork
work=$(mktemp -d /tmp/velmora-bench.XXXXXX)
sessions=(idle bare floor clock)

cleanup() {
  for s in "${sessions[@]}"; do WINEPREFIX=$work/$s wineserver -k 2>/dev/null || true; done
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

# The same with a wineserver that traces every request into $work/<session>.trace.
new_traced_session() {
  local prefix=$work/$1
  sessions+=("$1")
  cp -al "$WINEPREFIX" "$prefix"
  for f in "$WINEPREFIX"/*.reg; do cp --remove-destination "$f" "$prefix/"; done
  (WINEPREFIX=$prefix wineserver -f -p -d1 2>"$work/$1.trace" </dev/null >/dev/null &)
  for _ in $(seq 100); do [ -s "$work/$1.trace" ] && return; sleep 0.1; done
}

# Linux pid of the session's process running `exe`.
pid_of() {
  local prefix=$work/$1 p
  for p in /proc/[0-9]*; do
    tr '\0' '\n' 2>/dev/null <"$p/environ" | grep -qx "WINEPREFIX=$prefix" || continue
    tr '\0' ' ' 2>/dev/null <"$p/cmdline" | grep -q "$2" && { echo "${p#/proc/}"; return; }
  done
}

# Requests a second that the threads of Linux process `pid` made in trace lines first+1..last.
requests_per_second() {
  local trace=$1 pid=$2 first=$3 last=$4 tids
  tids=$(ls "/proc/$pid/task" | tr '\n' ' ')
  awk -v first="$first" -v last="$last" -v tids="$tids" -v s="$traced" '
    BEGIN {split(tids, t, " "); for (i in t) unix[t[i]] = 1}
    match($0, /^[0-9a-f]+: init_(first_)?thread\( .*unix_tid=[0-9]+/) {
      tid = $0; sub(/.*unix_tid=/, "", tid); sub(/[^0-9].*/, "", tid)
      if (tid in unix) ours[substr($1, 1, length($1) - 1)] = 1
    }
    NR > first && NR <= last && /^[0-9a-f]+: [a-z_]+\( / && (substr($1, 1, length($1) - 1) in ours) {n++}
    NR > last {exit}
    END {printf "%.1f", n / s}' "$trace"
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

# One stage of a saved clock that covers the whole measurement with its alarms well after it, in
# a program folder of its own.
prepare_program() {
  local folder=$work/program
  mkdir -p "$folder"
  cp -r "$build/bin/Velmora.exe" "$build/bin/MeetData.db" "$build/bin/sounds" "$build/bin/picture" \
        "$build/bin/font" "$folder/"
  local from to
  from=$(date -d '-5 sec' +%T) to=$(date -d '+30 min' +%T)
  sqlite3 "$folder/MeetData.db" "INSERT INTO clocksetting VALUES (1, 'Bench', '2026-12-09', '', '12:00:00',
    30, 20, 10, '111101001111111111111', '100100100', 3,
    'start.wav\\Timeout.wav\\Timeout.wav\\Timeout.wav\\Stop.wav', '你的汇报', '休息',
    'Trebuchet MS', '1060605', '\\0', 0, 0, 150, 50);
    INSERT INTO file_list VALUES ('$from', '$to', 'Bench', '基准');"
}

fail() {
  echo "bench: the window work or the requests of Velmora could not be read; did the program start?" >&2
  exit 1
}

probe() {
  WINEPREFIX=$work/clock wine "$build/bench/window_work_probe.exe" "$block" </dev/null 2>/dev/null | tr -d '\r'
}

for s in "${sessions[@]}"; do new_session "$s"; done
prepare_program
WINEPREFIX=$work/idle wine "$build/bench/bare_window.exe" --idle </dev/null >/dev/null 2>&1 &
WINEPREFIX=$work/bare wine "$build/bench/bare_window.exe" </dev/null >/dev/null 2>&1 &
WINEPREFIX=$work/floor wine "$build/bench/bare_window.exe" --floor </dev/null >/dev/null 2>&1 &
(cd "$work/program" && WINEPREFIX=$work/clock VELMORA_WINDOW_WORK=$block wine Velmora.exe </dev/null >/dev/null 2>&1 &)
sleep "$settle"

read -r tick0 paints0 regions0 raises0 < <(probe) || fail
for s in "${sessions[@]}"; do snapshot "$s" >"$work/$s.before"; done
sleep "$seconds"
for s in "${sessions[@]}"; do snapshot "$s" >"$work/$s.after"; done
read -r tick1 paints1 regions1 raises1 < <(probe) || fail

idle=$(spent "$work/idle.before" "$work/idle.after")
bare=$(spent "$work/bare.before" "$work/bare.after")
floor=$(spent "$work/floor.before" "$work/floor.after")
clock=$(spent "$work/clock.before" "$work/clock.after")
for s in "${sessions[@]}"; do WINEPREFIX=$work/$s wineserver -k 2>/dev/null || true; done

new_traced_session traced-floor
new_traced_session traced-clock
WINEPREFIX=$work/traced-floor wine "$build/bench/bare_window.exe" --floor </dev/null >/dev/null 2>&1 &
(cd "$work/program" && WINEPREFIX=$work/traced-clock wine Velmora.exe </dev/null >/dev/null 2>&1 &)
# A tracing server starts the program more slowly; its start is not what is counted.
sleep $((2 * settle))
floor_lines=$(wc -l <"$work/traced-floor.trace") clock_lines=$(wc -l <"$work/traced-clock.trace")
sleep "$traced"
floor_end=$(wc -l <"$work/traced-floor.trace") clock_end=$(wc -l <"$work/traced-clock.trace")
floor_pid=$(pid_of traced-floor bare_window.exe) clock_pid=$(pid_of traced-clock Velmora.exe)
[ -n "$clock_pid" ] && [ -n "$floor_pid" ] || fail
clock_requests=$(requests_per_second "$work/traced-clock.trace" "$clock_pid" "$clock_lines" "$clock_end")
floor_requests=$(requests_per_second "$work/traced-floor.trace" "$floor_pid" "$floor_lines" "$floor_end")

echo "CPU over ${seconds} s, 1/100 s, every process of the session:"
echo "  idle Wine session          $idle"
echo "  bare clock window          $bare  ($((bare - idle)) above idle)"
echo "  floor program              $floor  ($((floor - idle)) above idle)"
echo "  Velmora counting a stage   $clock  ($((clock - idle)) above idle)"
ratio() {
  awk -v a="$2" -v b="$3" -v name="$1" \
    'BEGIN {if (b > 0) printf "  ratio %-20s %.2f\n", name, a / b; else printf "  ratio %s: no CPU above idle\n", name}'
}
ratio "Velmora / bare" $((clock - idle)) $((bare - idle))
ratio "Velmora / floor" $((clock - idle)) $((floor - idle))
ratio "floor / bare" $((floor - idle)) $((bare - idle))
awk -v ms=$((tick1 - tick0)) -v p=$((paints1 - paints0)) -v g=$((regions1 - regions0)) -v r=$((raises1 - raises0)) \
  -v q="$clock_requests" -v f="$floor_requests" \
  'BEGIN {s = ms / 1000; printf "Velmora window work per second: %s wineserver requests (floor program %s), %.1f paints, %.1f outline sets, %.1f raises\n", q, f, p / s, g / s, r / s}'
