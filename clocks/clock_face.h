#pragma once
// The face of a clock window: the background picture, the box the time is printed on, the
// rounded outline and the colour key. Both clock windows own one.
#include <windows.h>

namespace clocks {

class ClockFace {
public:
    // The printed box ("Picture2") and the background ("Picture1") can be hidden while blinking.
    bool faceVisible() const { return faceVisible_; }
    void setFaceVisible(bool visible) { faceVisible_ = visible; }
    bool backgroundVisible() const { return backgroundVisible_; }
    void setBackgroundVisible(bool visible) { backgroundVisible_ = visible; }

private:
    bool faceVisible_ = true;
    bool backgroundVisible_ = true;
};

}  // namespace clocks
