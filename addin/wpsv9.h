#pragma once
// WPSV9 as COM hands it out to a creator of its own.
#include "addin/com_object.h"

namespace addin {

// The class is registered beside Quintrel32 and WPSV8, so it is creatable. Its interface has
// no members, and it follows no host: the WPS host whose shows WPSV9 follows is the one a
// Quintrel32 connection holds, and that connection's own WPSV9 follows it already; a second
// follower would run every show twice.
class WPSV9 final : public IDispatch, RefCounted<WPSV9> {
public:
    ADDIN_IUNKNOWN
    ADDIN_IDISPATCH((std::initializer_list<DispatchName>{}))

    void* interfaceFor(REFIID iid) {
        bool ours = IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch);
        return ours ? static_cast<IDispatch*>(this) : nullptr;
    }

private:
    friend RefCounted<WPSV9>;
    HRESULT invokeId(DISPID, WORD, DISPPARAMS*, VARIANT*) noexcept { return DISP_E_MEMBERNOTFOUND; }
};

}  // namespace addin
