#include "tests/plans/spreadsheet_recorder.h"

#include <cwchar>


namespace testing_support {
namespace {

// Our own class identities: one that this process serves, one that nothing serves.
constexpr CLSID kRecorderClass = {0x6b7c2a10, 0x5e43, 0x4c8f, {0x9d, 0x21, 0x3a, 0x0f, 0x5b, 0x8e, 0x7c, 0x11}};
constexpr CLSID kBrokenClass = {0x6b7c2a11, 0x5e43, 0x4c8f, {0x9d, 0x21, 0x3a, 0x0f, 0x5b, 0x8e, 0x7c, 0x12}};

std::wstring classText(const CLSID& cls) {
    wchar_t text[40];
    StringFromGUID2(cls, text, 40);
    return text;
}

void setClassDefault(const std::wstring& path, const std::wstring& value) {
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    win::UniqueKey owned(key);
    RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

void removeClassKeys() {
    for (const wchar_t* key : {L"Excel.Application", L"Excel.Sheet"}) RegDeleteTreeW(HKEY_CLASSES_ROOT, key);
}

// IUnknown for an object of one interface; it frees itself with its last reference.
template <typename Interface>
class ComObject : public Interface {
public:
    virtual ~ComObject() = default;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (iid != IID_IUnknown && iid != __uuidof(Interface)) {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        *out = static_cast<Interface*>(this);
        this->AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG left = --refs_;
        if (left == 0) delete this;
        return left;
    }

private:
    ULONG refs_ = 1;
};

// An object of the program: any member exists; gets give further objects named by the path.
class Recorded final : public ComObject<IDispatch> {
public:
    Recorded(SpreadsheetLog& log, std::map<IDispatch*, std::wstring>& paths, std::vector<std::wstring>& names,
             std::wstring path)
        : log_(log), paths_(paths), names_(names), path_(std::move(path)) {
        paths_[this] = path_;
    }

    ~Recorded() override { paths_.erase(this); }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override {
        *n = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        for (UINT i = 0; i < count; ++i) {
            names_.push_back(names[i]);
            ids[i] = static_cast<DISPID>(names_.size());
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO*, UINT*) override {
        if (id < 1 || static_cast<size_t>(id) > names_.size()) return DISP_E_MEMBERNOTFOUND;
        std::wstring member = path_ + L"." + names_[id - 1];
        if (flags & DISPATCH_PROPERTYPUT) {
            std::wstring call = member + L"=" + text(params->rgvarg[0]);
            log_.calls.push_back(call);
            return log_.failing.count(call) ? E_FAIL : S_OK;
        }
        std::wstring args;
        for (UINT i = params->cArgs; i-- > 0;) args += (args.empty() ? L"" : L",") + text(params->rgvarg[i]);
        if (params->cArgs > 0 || !(flags & DISPATCH_PROPERTYGET)) member += L"(" + args + L")";
        if (!(flags & DISPATCH_PROPERTYGET)) log_.calls.push_back(member);
        if (log_.failing.count(member)) return E_FAIL;
        if (result) {
            VariantInit(result);
            result->vt = VT_DISPATCH;
            result->pdispVal = new Recorded(log_, paths_, names_, member);
        }
        return S_OK;
    }

private:
    std::wstring text(const VARIANT& v) {
        if (v.vt == VT_BSTR) return v.bstrVal ? v.bstrVal : L"";
        if (v.vt == VT_BOOL) return v.boolVal ? L"true" : L"false";
        if (v.vt == VT_DISPATCH) return L"<" + (paths_.count(v.pdispVal) ? paths_[v.pdispVal] : L"?") + L">";
        if (v.vt == (VT_ARRAY | VT_VARIANT)) return arrayText(v.parray);
        VARIANT n;
        VariantInit(&n);
        if (FAILED(VariantChangeType(&n, const_cast<VARIANT*>(&v), 0, VT_R8))) return L"?";
        wchar_t number[32];
        std::swprintf(number, 32, L"%g", n.dblVal);
        return number;
    }

    std::wstring arrayText(SAFEARRAY* a) {
        LONG rows = 0, cols = 0;
        SafeArrayGetUBound(a, 1, &rows);
        SafeArrayGetUBound(a, 2, &cols);
        log_.array.assign(static_cast<size_t>(rows + 1), {});
        for (LONG r = 0; r <= rows; ++r) {
            for (LONG c = 0; c <= cols; ++c) {
                LONG at[2] = {r, c};
                VARIANT cell;
                VariantInit(&cell);
                SafeArrayGetElement(a, at, &cell);
                std::wstring shown = cell.vt == VT_EMPTY ? L"" : text(cell);
                log_.array[r].push_back(cell.vt == VT_BSTR || cell.vt == VT_EMPTY ? shown : L"#" + shown);
                VariantClear(&cell);
            }
        }
        return L"<array " + std::to_wstring(rows + 1) + L"x" + std::to_wstring(cols + 1) + L">";
    }

    SpreadsheetLog& log_;
    std::map<IDispatch*, std::wstring>& paths_;
    std::vector<std::wstring>& names_;
    std::wstring path_;
};

std::map<IDispatch*, std::wstring>& paths() {
    static std::map<IDispatch*, std::wstring> p;
    return p;
}

std::vector<std::wstring>& names() {
    static std::vector<std::wstring> n;
    return n;
}

win::ComPtr<IDispatch> newApplication(SpreadsheetLog& log) {
    return win::ComPtr<IDispatch>::adopt(new Recorded(log, paths(), names(), L"Application"));
}

class Factory final : public ComObject<IClassFactory> {
public:
    explicit Factory(SpreadsheetLog& log) : log_(log) {}
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (outer) return CLASS_E_NOAGGREGATION;
        log_.calls.push_back(L"created");
        return newApplication(log_)->QueryInterface(iid, out);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

private:
    SpreadsheetLog& log_;
};

}  // namespace

SpreadsheetRecorder::SpreadsheetRecorder(Mode mode) {
    removeClassKeys();
    setClassDefault(L"Excel.Sheet\\CurVer", L"Excel.Sheet.8");
    setClassDefault(L"Excel.Application\\CLSID", classText(mode == Mode::Broken ? kBrokenClass : kRecorderClass));
    if (mode == Mode::NewInstances) {
        factory_ = win::ComPtr<IUnknown>::adopt(new Factory(log));
        CoRegisterClassObject(kRecorderClass, factory_.get(), CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &classCookie_);
    }
    if (mode == Mode::Running) {
        running_ = newApplication(log);
        RegisterActiveObject(running_.get(), kRecorderClass, ACTIVEOBJECT_STRONG, &runningCookie_);
    }
}

SpreadsheetRecorder::~SpreadsheetRecorder() {
    if (classCookie_) CoRevokeClassObject(classCookie_);
    if (runningCookie_) RevokeActiveObject(runningCookie_, nullptr);
    removeClassKeys();
}

}  // namespace testing_support
