#pragma once
// Whether a show is being timed, known to every connection of the add-in in this session,
// whichever host it runs in: the connection whose show wrote the run flags holds a named
// object until the show ends or the connection does. The object goes with its last handle,
// so a host that ended without a disconnection leaves no mark behind, only its flags.
#include "win/handles.h"

namespace addin {

class ShowMark {
public:
    void hold();
    void release() { handle_.reset(); }

private:
    win::UniqueFile handle_;
};

// Some connection holds a mark now.
bool showTimed();

}  // namespace addin
