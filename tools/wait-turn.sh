#!/usr/bin/env bash
# Runs a command once no other run of it from this tree is under way, and says so when it has to
# wait: two test runs in one tree would build into each other and share one Wine prefix, each
# clearing the settings the other's tests have just written.
# Usage: wait-turn.sh LOCK_FILE WHAT command...
set -u
lock=$1 what=$2
shift 2
mkdir -p "$(dirname "$lock")"
exec 7>>"$lock"
if ! flock -n 7; then
  echo "$what: another $what runs in this tree; waiting for it to end"
  flock 7
fi
# The lock stays with this shell; the programs started below do not inherit it.
"$@" 7>&-
