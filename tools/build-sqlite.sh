#!/usr/bin/env bash
# Makes the SQLite amalgamation from Debian's source package into $1 (sqlite3.c, sqlite3.h).
# Does nothing when the amalgamation is already there.
set -euo pipefail
mkdir -p "$1"; out=$(cd "$1" && pwd)
[ -f "$out/sqlite3.c" ] && [ -f "$out/sqlite3.h" ] && exit 0
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
echo "sqlite: fetching Debian's source package"
apt-get source -qq sqlite3 >/dev/null 2>&1 || { echo "sqlite: apt-get source sqlite3 failed (deb-src entries missing?)" >&2; exit 1; }
srcdir=$(find . -maxdepth 1 -type d -name 'sqlite3-*' | head -n 1)
cd "$srcdir"
echo "sqlite: making the amalgamation"
./configure >/dev/null
make -s sqlite3.c >/dev/null
mkdir -p "$out"
cp sqlite3.c sqlite3.h "$out/"
