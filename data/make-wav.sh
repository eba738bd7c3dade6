#!/usr/bin/env bash
# Writes a short sine tone that fades out, as a PCM WAV file (mono, 16 bits, 22050 Hz).
# Usage: make-wav.sh OUT.wav FREQUENCY_HZ LENGTH_MS
set -euo pipefail
out=$1 freq=$2 ms=$3
# awk spells every byte as an octal escape; printf turns the escapes into the bytes.
bytes=$(LC_ALL=C awk -v freq="$freq" -v ms="$ms" '
  function put(v, n,   i) { for (i = 0; i < n; i++) { printf "\\%03o", v % 256; v = int(v / 256) } }
  BEGIN {
    rate = 22050; n = int(rate * ms / 1000); size = n * 2
    printf "RIFF"; put(36 + size, 4); printf "WAVEfmt "
    put(16, 4); put(1, 2); put(1, 2); put(rate, 4); put(rate * 2, 4); put(2, 2); put(16, 2)
    printf "data"; put(size, 4)
    for (i = 0; i < n; i++) {
      s = int(12000 * (1 - i / n) * sin(2 * 3.14159265 * freq * i / rate))
      put(s < 0 ? s + 65536 : s, 2)
    }
  }')
printf "$bytes" >"$out.new"
mv "$out.new" "$out"
