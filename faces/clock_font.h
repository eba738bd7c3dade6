#pragma once
// The clock font: which face the system really gives for a name, and the font files of the
// program's font folder that stand in for a face the system lacks. The files are added for this
// process only and removed again when their owner goes.
#include <string>
#include <vector>

#include "win/handles.h"

namespace faces {

// A screen font of `name` at `points`.
win::UniqueFont createPointFont(const std::wstring& name, int points);

struct FontReading {
    std::wstring face;
    int points = 0;
};
// The face and size the system really uses when asked for `name` at `points`.
FontReading readFont(const std::wstring& name, int points);

class PrivateFonts {
public:
    PrivateFonts() = default;
    PrivateFonts(const PrivateFonts&) = delete;
    PrivateFonts& operator=(const PrivateFonts&) = delete;
    ~PrivateFonts() { releaseAll(); }

    // A file already added is not added twice; one that cannot be added is left out.
    void add(const std::wstring& path);
    void releaseAll();

private:
    std::vector<std::wstring> added_;
};

// The face the clock is painted in at `points`. A clock font the system lacks is stood in for by
// a file of the font folder: "Arial Black.ttf" for Arial Black, else "trebuc.ttf", and the
// clock font becomes Trebuchet MS. When even that face is missing the name Trebuchet MS is
// painted with whatever the system substitutes.
std::wstring settleClockFont(std::wstring& clockFont, int points, PrivateFonts& fonts);

}  // namespace faces
