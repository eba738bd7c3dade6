#include "addin/com_object.h"

namespace addin {

std::atomic<long>& liveObjects() {
    static std::atomic<long> count{0};
    return count;
}

HRESULT idsOfNames(std::initializer_list<DispatchName> table, LPOLESTR* names, UINT count, DISPID* ids) {
    if (!names || !ids) return E_POINTER;
    HRESULT hr = S_OK;
    for (UINT i = 0; i < count; ++i) {
        ids[i] = DISPID_UNKNOWN;
        if (i > 0) {  // named arguments are not taken
            hr = DISP_E_UNKNOWNNAME;
            continue;
        }
        for (const DispatchName& entry : table) {
            if (names[i] && lstrcmpiW(names[i], entry.name) == 0) ids[i] = entry.id;
        }
        if (ids[i] == DISPID_UNKNOWN) hr = DISP_E_UNKNOWNNAME;
    }
    return hr;
}

STDMETHODIMP ClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** out) {
    if (out) *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    return create_(iid, out);
}

STDMETHODIMP ClassFactory::LockServer(BOOL lock) {
    if (lock) ++liveObjects();
    else --liveObjects();
    return S_OK;
}

void* ClassFactory::interfaceFor(REFIID iid) {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) return static_cast<IClassFactory*>(this);
    return nullptr;
}

}  // namespace addin
