#include "addin/registration.h"

#include <oleauto.h>
#include <olectl.h>

#include <string>

#include "addin/stores.h"
#include "win/handles.h"

namespace addin {
namespace {

struct ComClass {
    const CLSID* clsid;
    const wchar_t* progId;
};
constexpr ComClass kClasses[] = {
    {&CLSID_Quintrel32, L"Quintrel.Quintrel32"},
    {&CLSID_WPSV8, L"Quintrel.WPSV8"},
    {&CLSID_WPSV9, L"Quintrel.WPSV9"},
};

constexpr wchar_t kAddinKey[] = L"Software\\Microsoft\\Office\\PowerPoint\\Addins\\Quintrel.Quintrel32";
constexpr wchar_t kFriendlyName[] = L"Quintrel32";
constexpr wchar_t kDescription[] = L"用于PPT演示时倒计时";
constexpr DWORD kLoadAtStartup = 3;

std::wstring guidText(const GUID& guid) {
    wchar_t text[40] = {};
    StringFromGUID2(guid, text, 40);
    return text;
}

bool registerClass(const ComClass& c, const std::wstring& libraryPath) {
    std::wstring clsid = guidText(*c.clsid);
    std::wstring classKey = L"CLSID\\" + clsid;
    return writeValue(HKEY_CLASSES_ROOT, c.progId, nullptr, c.progId) &&
           writeValue(HKEY_CLASSES_ROOT, std::wstring(c.progId) + L"\\CLSID", nullptr, clsid) &&
           writeValue(HKEY_CLASSES_ROOT, classKey, nullptr, c.progId) &&
           writeValue(HKEY_CLASSES_ROOT, classKey + L"\\ProgID", nullptr, c.progId) &&
           writeValue(HKEY_CLASSES_ROOT, classKey + L"\\InprocServer32", nullptr, libraryPath) &&
           writeValue(HKEY_CLASSES_ROOT, classKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment") &&
           writeValue(HKEY_CLASSES_ROOT, classKey + L"\\TypeLib", nullptr, guidText(LIBID_Quintrel));
}

bool registerAddin() {
    return writeValue(HKEY_CURRENT_USER, kAddinKey, L"FriendlyName", kFriendlyName) &&
           writeValue(HKEY_CURRENT_USER, kAddinKey, L"Description", kDescription) &&
           writeValue(HKEY_CURRENT_USER, kAddinKey, L"LoadBehavior", kLoadAtStartup) &&
           writeValue(HKEY_LOCAL_MACHINE, kAddinKey, L"Description", kDescription) &&
           writeValue(HKEY_LOCAL_MACHINE, kAddinKey, L"FriendlyName", kFriendlyName) &&
           writeValue(HKEY_LOCAL_MACHINE, kAddinKey, L"LoadBehavior", kLoadAtStartup) &&
           writeValue(HKEY_LOCAL_MACHINE, kAddinKey, L"CommandLineSafe", 1);
}

bool registerTypeLibrary(const std::wstring& libraryPath) {
    win::ComPtr<ITypeLib> library;
    if (FAILED(LoadTypeLibEx(const_cast<wchar_t*>(libraryPath.c_str()), REGKIND_NONE, library.put()))) return false;
    return SUCCEEDED(RegisterTypeLib(library.get(), const_cast<wchar_t*>(libraryPath.c_str()), nullptr));
}

}  // namespace

HRESULT registerLibrary(HMODULE library) {
    std::wstring path(MAX_PATH, L'\0');
    path.resize(GetModuleFileNameW(library, path.data(), MAX_PATH));
    bool ok = registerTypeLibrary(path);
    for (const ComClass& c : kClasses) ok = registerClass(c, path) && ok;
    ok = registerAddin() && ok;
    return ok ? S_OK : SELFREG_E_CLASS;
}

HRESULT unregisterLibrary() {
    UnRegisterTypeLib(LIBID_Quintrel, 1, 0, LOCALE_NEUTRAL, sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32);
    for (const ComClass& c : kClasses) {
        RegDeleteTreeW(HKEY_CLASSES_ROOT, c.progId);
        RegDeleteTreeW(HKEY_CLASSES_ROOT, (L"CLSID\\" + guidText(*c.clsid)).c_str());
    }
    RegDeleteTreeW(HKEY_CURRENT_USER, kAddinKey);
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kAddinKey);
    return S_OK;
}

}  // namespace addin
