#!/usr/bin/env bash
# Prints which Windows build the tests and `make run` use on this machine: "32" where the kernel
# runs 32-bit programs (32-bit Wine), "64" where it does not, or where WIN64=1 asks for that road.
# The architecture's name says nothing here: some x86_64 kernels run no 32-bit program at all, so
# a 32-bit program is tried.
# Usage: wine-road.sh FOLDER   (a folder of ours where the probe may be written and run)
set -u
if [ "${WIN64:-0}" = 1 ]; then echo 64; exit 0; fi
mkdir -p "$1"
probe="$1/.i386-probe"
# The smallest static i386 program: one segment whose code is exit(42) through int 0x80.
printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00'`
      `'\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00'`
      `'\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00'`
      `'\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08'`
      `'\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00'`
      `'\xb8\x01\x00\x00\x00\xbb\x2a\x00\x00\x00\xcd\x80' >"$probe"
chmod +x "$probe"
"$probe" 2>/dev/null
rc=$?
rm -f "$probe"
if [ $rc = 42 ]; then echo 32; else echo 64; fi
