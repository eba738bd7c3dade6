#pragma once
// The library's COM classes and its entry as a PowerPoint add-in.
#include <windows.h>

namespace addin {

// {0CD49F22-756E-43E7-AE43-12E54A050881}
inline constexpr CLSID CLSID_Quintrel32 = {0x0CD49F22, 0x756E, 0x43E7, {0xAE, 0x43, 0x12, 0xE5, 0x4A, 0x05, 0x08, 0x81}};
// {4C6B5DBB-7C5B-48D7-9CF3-20EB4C8ACF6D}
inline constexpr CLSID CLSID_WPSV8 = {0x4C6B5DBB, 0x7C5B, 0x48D7, {0x9C, 0xF3, 0x20, 0xEB, 0x4C, 0x8A, 0xCF, 0x6D}};
// {42E0844E-03E8-41A9-A773-234185538F89}
inline constexpr CLSID CLSID_WPSV9 = {0x42E0844E, 0x03E8, 0x41A9, {0xA7, 0x73, 0x23, 0x41, 0x85, 0x53, 0x8F, 0x89}};
// {B316CD23-1EB6-4DB1-A40E-A4DCCD7F9685}: the type library Quintrel.
inline constexpr GUID LIBID_Quintrel = {0xB316CD23, 0x1EB6, 0x4DB1, {0xA4, 0x0E, 0xA4, 0xDC, 0xCD, 0x7F, 0x96, 0x85}};

inline constexpr wchar_t kProgId[] = L"Quintrel.Quintrel32";

HRESULT registerLibrary(HMODULE library);
HRESULT unregisterLibrary();

}  // namespace addin
