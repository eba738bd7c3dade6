#!/usr/bin/env bash
# Runs one Windows program under Wine for ctest. Wine's background processes inherit the
# output pipe of whatever starts them, and ctest waits for that pipe to close: so the
# program writes into a file, which is printed afterwards, and stdin is /dev/null.
out=$(mktemp)
wine "$@" </dev/null >"$out" 2>&1
rc=$?
cat "$out"
rm -f "$out"
exit $rc
