#pragma once
// Whether a show is being timed, known to every connection of the add-in in this session,
// whichever host it runs in: each connection whose show wrote the run flags holds a handle of
// one named object until the show ends or the connection does. The object lives while any
// handle does, so a connection that has let go of its own learns whether another still times a
// show; and a host that ended without a disconnection holds nothing, leaving only its flags.
#include "win/handles.h"

namespace addin {

class ShowMark {
public:
    void hold();
    void release() { handle_.reset(); }

private:
    win::UniqueFile handle_;
};

// Some connection holds a mark now: asked after letting go of one's own, another one does.
bool showTimed();

}  // namespace addin
