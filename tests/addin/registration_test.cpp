#include "addin/registration.h"
#include "host_fixture.h"
#include "win/text.h"

namespace addin_test {
namespace {

constexpr wchar_t kAddinKey[] = L"Software\\Microsoft\\Office\\PowerPoint\\Addins\\Quintrel.Quintrel32";

std::wstring guidText(const GUID& g) {
    wchar_t text[40] = {};
    StringFromGUID2(g, text, 40);
    return text;
}

bool keyExists(HKEY root, const std::wstring& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

std::optional<std::wstring> value(HKEY root, const std::wstring& path, const wchar_t* name) {
    wchar_t buffer[512] = {};
    DWORD bytes = sizeof buffer - sizeof(wchar_t), type = 0;
    if (RegGetValueW(root, path.c_str(), name, RRF_RT_REG_SZ | RRF_RT_REG_DWORD, &type, buffer, &bytes) != ERROR_SUCCESS)
        return std::nullopt;
    return type == REG_DWORD ? std::to_wstring(dwordIn(buffer)) : std::wstring(buffer);
}

std::vector<std::pair<HKEY, std::wstring>> ourKeys() {
    std::vector<std::pair<HKEY, std::wstring>> keys = {
        {HKEY_CURRENT_USER, kAddinKey},
        {HKEY_LOCAL_MACHINE, kAddinKey},
        {HKEY_CLASSES_ROOT, L"TypeLib\\" + guidText(addin::LIBID_Quintrel)},
        {HKEY_CLASSES_ROOT, L"Interface\\{92DBDA8B-4D39-44F4-A8F4-5160C9B6091C}"},
    };
    for (const auto& [clsid, progId] : {std::pair{addin::CLSID_Quintrel32, L"Quintrel.Quintrel32"},
                                        std::pair{addin::CLSID_WPSV8, L"Quintrel.WPSV8"},
                                        std::pair{addin::CLSID_WPSV9, L"Quintrel.WPSV9"}}) {
        keys.push_back({HKEY_CLASSES_ROOT, L"CLSID\\" + guidText(clsid)});
        keys.push_back({HKEY_CLASSES_ROOT, progId});
    }
    return keys;
}

TEST(Registration, WritesTheAddinEntriesAndUnregisteringRemovesEveryKeyOfOurs) {
    EXPECT_EQ(value(HKEY_CURRENT_USER, kAddinKey, L"FriendlyName"), L"Quintrel32");
    EXPECT_EQ(value(HKEY_CURRENT_USER, kAddinKey, L"Description"), L"用于PPT演示时倒计时");
    EXPECT_EQ(value(HKEY_CURRENT_USER, kAddinKey, L"LoadBehavior"), L"3");
    EXPECT_EQ(value(HKEY_LOCAL_MACHINE, kAddinKey, L"LoadBehavior"), L"3");
    EXPECT_EQ(value(HKEY_LOCAL_MACHINE, kAddinKey, L"CommandLineSafe"), L"1");
    EXPECT_EQ(value(HKEY_LOCAL_MACHINE, kAddinKey, L"Description"), L"用于PPT演示时倒计时");
    EXPECT_EQ(value(HKEY_CLASSES_ROOT, L"Quintrel.Quintrel32\\CLSID", nullptr), guidText(addin::CLSID_Quintrel32));
    EXPECT_EQ(value(HKEY_CLASSES_ROOT, L"CLSID\\" + guidText(addin::CLSID_Quintrel32) + L"\\InprocServer32", nullptr),
              libraryPath());
    for (const auto& [root, path] : ourKeys()) EXPECT_TRUE(keyExists(root, path)) << win::toUtf8(path);

    setRegistryText(L"Software\\Microsoft\\Office\\PowerPoint\\Addins\\Other", L"FriendlyName", L"Other");
    ASSERT_EQ(regsvr32(true), 0u);
    for (const auto& [root, path] : ourKeys()) EXPECT_FALSE(keyExists(root, path)) << win::toUtf8(path);
    EXPECT_TRUE(keyExists(HKEY_CURRENT_USER, L"Software\\Microsoft\\Office\\PowerPoint\\Addins\\Other"))
        << "nothing but ours goes";
    EXPECT_TRUE(keyExists(HKEY_CLASSES_ROOT, L"Interface\\{00020400-0000-0000-C000-000000000046}"))
        << "IDispatch, which the type library declares for itself, stays registered";
    RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Office\\PowerPoint\\Addins\\Other");

    ASSERT_EQ(regsvr32(false), 0u);  // the other tests need it registered
}

TEST(Registration, EveryRegisteredClassIsCreatableByItsProgId) {
    for (const wchar_t* progId : {L"Quintrel.Quintrel32", L"Quintrel.WPSV8", L"Quintrel.WPSV9"}) {
        CLSID clsid{};
        win::ComPtr<IDispatch> object;
        ASSERT_EQ(CLSIDFromProgID(progId, &clsid), S_OK) << win::toUtf8(progId);
        EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, object.putVoid()), S_OK)
            << win::toUtf8(progId);
    }
}

}  // namespace
}  // namespace addin_test
