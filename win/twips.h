#pragma once
// Positions and sizes are kept in twips; this is the one place they become pixels.

namespace win {

int twipsPerPixelX();
int twipsPerPixelY();
inline int twipsToPixelsX(int twips) { return twips / twipsPerPixelX(); }
inline int twipsToPixelsY(int twips) { return twips / twipsPerPixelY(); }
inline int pixelsToTwipsX(int pixels) { return pixels * twipsPerPixelX(); }
inline int pixelsToTwipsY(int pixels) { return pixels * twipsPerPixelY(); }

}  // namespace win
