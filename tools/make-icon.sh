#!/usr/bin/env bash
# Writes Velmora's own icon, a clock face at three o'clock, as a Windows .ico file with a 16 and a
# 32 pixel image (32-bit colour with alpha, edges smoothed).
# Usage: make-icon.sh OUT.ico
set -euo pipefail
out=$1
# awk spells every byte as an octal escape; printf turns the escapes into the bytes.
bytes=$(LC_ALL=C awk '
  function put(v, n,   i) { for (i = 0; i < n; i++) { printf "\\%03o", v % 256; v = int(v / 256) } }
  function clamp(v) { return v < 0 ? 0 : (v > 1 ? 1 : v) }
  # How much of the pixel centred at (x, y) the thick segment from (ax, ay) to (bx, by) covers.
  function segment(x, y, ax, ay, bx, by, half,   dx, dy, t, px, py) {
    dx = bx - ax; dy = by - ay
    t = clamp(((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy))
    px = ax + t * dx - x; py = ay + t * dy - y
    return clamp(half + 0.5 - sqrt(px * px + py * py))
  }
  function mix(a, b, t) { return int(a + (b - a) * t + 0.5) }
  # One image: header, colour rows bottom-up (blue, green, red, alpha), then the 1-bit mask.
  function image(s,   c, r, ring, x, y, px, py, d, disc, face, hand, h, b, g, rd, a, row, bit, mask) {
    c = s / 2; r = s / 2 - 0.5; ring = s / 10
    put(40, 4); put(s, 4); put(2 * s, 4); put(1, 2); put(32, 2); put(0, 4); put(0, 4)
    put(0, 4); put(0, 4); put(0, 4); put(0, 4)
    for (y = s - 1; y >= 0; y--) {
      for (x = 0; x < s; x++) {
        px = x + 0.5; py = y + 0.5
        d = sqrt((px - c) ^ 2 + (py - c) ^ 2)
        disc = clamp(r - d + 0.5); face = clamp(r - ring - d + 0.5)
        hand = segment(px, py, c, c, c, c - r * 0.72, s / 32 + 0.25)
        h = segment(px, py, c, c, c + r * 0.5, c, s / 32 + 0.25)
        if (h > hand) hand = h
        # A deep blue rim, a white face, dark blue hands.
        b = mix(191, 250, face); g = mix(90, 248, face); rd = mix(30, 245, face)
        b = mix(b, 110, hand); g = mix(g, 50, hand); rd = mix(rd, 20, hand)
        a = int(255 * disc + 0.5)
        put(b, 1); put(g, 1); put(rd, 1); put(a, 1)
      }
    }
    # The mask marks the pixels outside the disc, for displays without alpha; rows of 32 bits.
    for (y = s - 1; y >= 0; y--) {
      row = 0
      for (x = 0; x < 32; x++) {
        bit = 0
        if (x < s) { d = sqrt((x + 0.5 - c) ^ 2 + (y + 0.5 - c) ^ 2); bit = d > r + 0.5 }
        row = row * 2 + bit
      }
      for (x = 3; x >= 0; x--) put(int(row / 2 ^ (8 * x)) % 256, 1)
    }
  }
  function size(s) { return 40 + s * s * 4 + s * 4 }
  BEGIN {
    put(0, 2); put(1, 2); put(2, 2)
    offset = 6 + 2 * 16
    split("16 32", sizes, " ")
    for (i = 1; i <= 2; i++) {
      s = sizes[i]
      put(s, 1); put(s, 1); put(0, 1); put(0, 1); put(1, 2); put(32, 2); put(size(s), 4); put(offset, 4)
      offset += size(s)
    }
    for (i = 1; i <= 2; i++) image(sizes[i])
  }')
printf "$bytes" >"$out.new"
mv "$out.new" "$out"
