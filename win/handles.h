#pragma once
// Owners for Win32 handles: each handle has exactly one owner that frees it.
#include <windows.h>
#include <objbase.h>
#include <utility>

namespace win {

template <typename Traits>
class Unique {
public:
    using handle_type = typename Traits::handle_type;

    Unique() noexcept = default;
    explicit Unique(handle_type h) noexcept : h_(h) {}
    Unique(const Unique&) = delete;
    Unique& operator=(const Unique&) = delete;
    Unique(Unique&& other) noexcept : h_(other.release()) {}
    Unique& operator=(Unique&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    ~Unique() { reset(); }

    handle_type get() const noexcept { return h_; }
    explicit operator bool() const noexcept { return !Traits::invalid(h_); }
    handle_type release() noexcept { return std::exchange(h_, Traits::none()); }
    void reset(handle_type h = Traits::none()) noexcept {
        if (!Traits::invalid(h_)) Traits::close(h_);
        h_ = h;
    }
    // For out-parameters of API calls: frees what is held first.
    handle_type* put() noexcept {
        reset();
        return &h_;
    }

private:
    handle_type h_ = Traits::none();
};

template <typename H, auto Close>
struct NullTraits {
    using handle_type = H;
    static constexpr H none() { return nullptr; }
    static bool invalid(H h) { return h == nullptr; }
    static void close(H h) { Close(h); }
};

struct KernelHandleTraits {
    using handle_type = HANDLE;
    static HANDLE none() { return INVALID_HANDLE_VALUE; }
    static bool invalid(HANDLE h) { return h == INVALID_HANDLE_VALUE || h == nullptr; }
    static void close(HANDLE h) { CloseHandle(h); }
};

struct FindTraits {
    using handle_type = HANDLE;
    static HANDLE none() { return INVALID_HANDLE_VALUE; }
    static bool invalid(HANDLE h) { return h == INVALID_HANDLE_VALUE || h == nullptr; }
    static void close(HANDLE h) { FindClose(h); }
};

inline void closeKey(HKEY k) { RegCloseKey(k); }
inline void destroyWindow(HWND w) { DestroyWindow(w); }
inline void destroyMenu(HMENU m) { DestroyMenu(m); }
inline void destroyIcon(HICON i) { DestroyIcon(i); }
inline void deleteDC(HDC dc) { DeleteDC(dc); }
template <typename G>
void deleteGdi(G g) { DeleteObject(g); }

using UniqueFile = Unique<KernelHandleTraits>;
using UniqueFind = Unique<FindTraits>;
using UniqueKey = Unique<NullTraits<HKEY, closeKey>>;
using UniqueWindow = Unique<NullTraits<HWND, destroyWindow>>;
using UniqueMenu = Unique<NullTraits<HMENU, destroyMenu>>;
using UniqueIcon = Unique<NullTraits<HICON, destroyIcon>>;
using UniqueMemDC = Unique<NullTraits<HDC, deleteDC>>;
template <typename G>
using UniqueGdi = Unique<NullTraits<G, deleteGdi<G>>>;
using UniqueFont = UniqueGdi<HFONT>;
using UniqueBrush = UniqueGdi<HBRUSH>;
using UniqueBitmap = UniqueGdi<HBITMAP>;
using UniqueRegion = UniqueGdi<HRGN>;

// A popup menu that shows submenus owned elsewhere: it takes them out before it is destroyed
// (destroying a menu destroys its submenus), so they outlive it.
class PopupWithBorrowed {
public:
    PopupWithBorrowed() noexcept : menu_(CreatePopupMenu()) {}
    PopupWithBorrowed(PopupWithBorrowed&& other) noexcept = default;
    PopupWithBorrowed& operator=(PopupWithBorrowed&& other) noexcept {
        if (this != &other) {
            giveBack();
            menu_ = std::move(other.menu_);
        }
        return *this;
    }
    ~PopupWithBorrowed() { giveBack(); }

    HMENU get() const noexcept { return menu_.get(); }
    bool appendBorrowed(HMENU submenu, const wchar_t* text) noexcept {
        return AppendMenuW(menu_.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(submenu), text) != FALSE;
    }

private:
    // Every submenu here is borrowed: the popup's own items are plain commands.
    void giveBack() noexcept {
        for (int i = GetMenuItemCount(menu_.get()) - 1; i >= 0; --i) {
            if (GetSubMenu(menu_.get(), i)) RemoveMenu(menu_.get(), static_cast<UINT>(i), MF_BYPOSITION);
        }
    }

    UniqueMenu menu_;
};

// A window's DC, released to its window.
class WindowDC {
public:
    explicit WindowDC(HWND w) noexcept : w_(w), dc_(GetDC(w)) {}
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    ~WindowDC() { if (dc_) ReleaseDC(w_, dc_); }
    HDC get() const noexcept { return dc_; }

private:
    HWND w_;
    HDC dc_;
};

// Selects an object into a DC for the scope and puts the old one back.
class SelectScope {
public:
    SelectScope(HDC dc, HGDIOBJ obj) noexcept : dc_(dc), old_(SelectObject(dc, obj)) {}
    SelectScope(const SelectScope&) = delete;
    SelectScope& operator=(const SelectScope&) = delete;
    ~SelectScope() { if (old_ && old_ != HGDI_ERROR) SelectObject(dc_, old_); }

private:
    HDC dc_;
    HGDIOBJ old_;
};

// A COM interface pointer that releases what it holds.
template <typename T>
class ComPtr {
public:
    ComPtr() noexcept = default;
    ComPtr(const ComPtr& o) noexcept : p_(o.p_) { if (p_) p_->AddRef(); }
    ComPtr(ComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    ComPtr& operator=(ComPtr o) noexcept {
        std::swap(p_, o.p_);
        return *this;
    }
    ~ComPtr() { if (p_) p_->Release(); }
    // Takes over a pointer that already carries a reference.
    static ComPtr adopt(T* p) noexcept {
        ComPtr c;
        c.p_ = p;
        return c;
    }
    // Shares a pointer: the owner takes a reference of its own.
    static ComPtr share(T* p) noexcept {
        if (p) p->AddRef();
        return adopt(p);
    }
    T* get() const noexcept { return p_; }
    T* operator->() const noexcept { return p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }
    T** put() noexcept {
        *this = ComPtr();
        return &p_;
    }
    void** putVoid() noexcept { return reinterpret_cast<void**>(put()); }

private:
    T* p_ = nullptr;
};

// COM on this thread for the scope.
class ComApartment {
public:
    ComApartment() noexcept : ok_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    ~ComApartment() { if (ok_) CoUninitialize(); }

private:
    bool ok_;
};

}  // namespace win
