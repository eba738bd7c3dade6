#pragma once
// IUnknown, IDispatch and the class factory, written once for every object the library
// hands out. Each object alive counts towards DllCanUnloadNow.
#include <windows.h>
#include <oaidl.h>

#include <atomic>
#include <initializer_list>

namespace addin {

// Objects of the library alive now (plus locks held on the library by its hosts).
std::atomic<long>& liveObjects();

// Reference counting, and QueryInterface over Derived::interfaceFor(iid), which returns the
// interface asked for or null.
template <typename Derived>
class RefCounted {
public:
    RefCounted() { ++liveObjects(); }
    RefCounted(const RefCounted&) = delete;
    RefCounted& operator=(const RefCounted&) = delete;
    virtual ~RefCounted() { --liveObjects(); }

protected:
    ULONG addRef() { return ++refs_; }
    ULONG release() {
        ULONG n = --refs_;
        if (n == 0) delete static_cast<Derived*>(this);
        return n;
    }
    HRESULT query(REFIID iid, void** out) {
        if (!out) return E_POINTER;
        *out = static_cast<Derived*>(this)->interfaceFor(iid);
        if (!*out) return E_NOINTERFACE;
        addRef();
        return S_OK;
    }

private:
    std::atomic<ULONG> refs_{1};
};

#define ADDIN_IUNKNOWN                                                                     \
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override { return query(iid, out); } \
    STDMETHODIMP_(ULONG) AddRef() override { return addRef(); }                            \
    STDMETHODIMP_(ULONG) Release() override { return release(); }

// A dispatch identifier for each member name a late-bound caller may ask for.
struct DispatchName {
    const wchar_t* name;
    DISPID id;
};

// Finds names case-insensitively, as automation does.
HRESULT idsOfNames(std::initializer_list<DispatchName> table, LPOLESTR* names, UINT count, DISPID* ids);

// An IDispatch answered from a name table; Derived implements invokeId().
#define ADDIN_IDISPATCH(TABLE)                                                                    \
    STDMETHODIMP GetTypeInfoCount(UINT* n) override {                                             \
        if (n) *n = 0;                                                                            \
        return S_OK;                                                                              \
    }                                                                                             \
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** info) override {                             \
        if (info) *info = nullptr;                                                                \
        return E_NOTIMPL;                                                                         \
    }                                                                                             \
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override { \
        return idsOfNames(TABLE, names, count, ids);                                              \
    }                                                                                             \
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, \
                        EXCEPINFO*, UINT*) override {                                             \
        return invokeId(id, flags, params, result);                                               \
    }

// Runs one entry point's work; nothing it raises reaches the host.
template <typename Work>
HRESULT guarded(Work work) noexcept {
    try {
        work();
    } catch (...) {
        // the failing step is skipped; the host has nothing it could do about it
    }
    return S_OK;
}

// Runs an entry point that reports its failure to the host.
template <typename Work>
HRESULT reported(Work work) noexcept {
    try {
        work();
        return S_OK;
    } catch (...) {
        return E_FAIL;
    }
}

// Creates objects of one class for COM.
class ClassFactory final : public IClassFactory, RefCounted<ClassFactory> {
public:
    using Create = HRESULT (*)(REFIID iid, void** out);
    explicit ClassFactory(Create create) : create_(create) {}
    ADDIN_IUNKNOWN
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override;
    STDMETHODIMP LockServer(BOOL lock) override;
    void* interfaceFor(REFIID iid);

private:
    friend RefCounted<ClassFactory>;
    Create create_;
};

// Hands out a new object of T through one of its interfaces; the creator's reference goes.
template <typename T>
HRESULT createObject(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    T* object = nullptr;
    try {
        object = new T();
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    HRESULT hr = object->QueryInterface(iid, out);
    object->Release();
    return hr;
}

}  // namespace addin
