#pragma once
// Move-only owners for Win32 handles: each releases its handle with the one function that fits it.
#include <windows.h>

#include <utility>

namespace platform {

template <typename T, typename Release>
class UniqueHandle {
public:
    UniqueHandle() noexcept = default;
    explicit UniqueHandle(T handle) noexcept : handle_(handle) {}
    ~UniqueHandle() { reset(); }

    UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, T{})) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(std::exchange(other.handle_, T{}));
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    T get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != T{}; }
    T release() noexcept { return std::exchange(handle_, T{}); }
    void reset(T handle = T{}) noexcept {
        if (handle_ != T{}) Release{}(handle_);
        handle_ = handle;
    }
    // For out-parameters of create functions: releases what is held first.
    T* put() noexcept {
        reset();
        return &handle_;
    }

private:
    T handle_{};
};

struct DeleteDCRelease { void operator()(HDC h) const noexcept { ::DeleteDC(h); } };
struct DeleteObjectRelease { void operator()(HGDIOBJ h) const noexcept { ::DeleteObject(h); } };
struct RegCloseKeyRelease { void operator()(HKEY h) const noexcept { ::RegCloseKey(h); } };
struct DestroyMenuRelease { void operator()(HMENU h) const noexcept { ::DestroyMenu(h); } };
struct DestroyIconRelease { void operator()(HICON h) const noexcept { ::DestroyIcon(h); } };
struct CloseHandleRelease { void operator()(HANDLE h) const noexcept { ::CloseHandle(h); } };
struct UnhookWinEventRelease { void operator()(HWINEVENTHOOK h) const noexcept { ::UnhookWinEvent(h); } };
struct DestroyWindowRelease { void operator()(HWND h) const noexcept { ::DestroyWindow(h); } };
struct FindCloseRelease { void operator()(HANDLE h) const noexcept { ::FindClose(h); } };
struct FindCloseChangeNotificationRelease { void operator()(HANDLE h) const noexcept { ::FindCloseChangeNotification(h); } };
struct ComRelease {
    template <typename T>
    void operator()(T* p) const noexcept { p->Release(); }
};

using UniqueDC = UniqueHandle<HDC, DeleteDCRelease>;          // memory device contexts
using UniqueBitmap = UniqueHandle<HBITMAP, DeleteObjectRelease>;
using UniqueFont = UniqueHandle<HFONT, DeleteObjectRelease>;
using UniqueBrush = UniqueHandle<HBRUSH, DeleteObjectRelease>;
using UniqueKey = UniqueHandle<HKEY, RegCloseKeyRelease>;     // never for the predefined roots
using UniqueMenu = UniqueHandle<HMENU, DestroyMenuRelease>;
using UniqueIcon = UniqueHandle<HICON, DestroyIconRelease>;
using UniqueKernelHandle = UniqueHandle<HANDLE, CloseHandleRelease>;
using UniqueWinEventHook = UniqueHandle<HWINEVENTHOOK, UnhookWinEventRelease>;
using UniqueWindow = UniqueHandle<HWND, DestroyWindowRelease>;  // windows of this thread only
// The find functions report failure as INVALID_HANDLE_VALUE: keep null instead, so that `if (owner)` holds.
using UniqueFind = UniqueHandle<HANDLE, FindCloseRelease>;
using UniqueChangeNotification = UniqueHandle<HANDLE, FindCloseChangeNotificationRelease>;
template <typename T>
using UniqueCom = UniqueHandle<T*, ComRelease>;  // one reference to a COM object

// A device context borrowed from a window (GetDC), returned with ReleaseDC.
class WindowDC {
public:
    explicit WindowDC(HWND window) noexcept : window_(window), dc_(::GetDC(window)) {}
    ~WindowDC() {
        if (dc_) ::ReleaseDC(window_, dc_);
    }
    WindowDC(WindowDC&& other) noexcept
        : window_(std::exchange(other.window_, nullptr)), dc_(std::exchange(other.dc_, nullptr)) {}
    WindowDC& operator=(WindowDC&&) = delete;
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;

    HDC get() const noexcept { return dc_; }
    explicit operator bool() const noexcept { return dc_ != nullptr; }

private:
    HWND window_;
    HDC dc_;
};

// BeginPaint/EndPaint as one object.
class PaintDC {
public:
    explicit PaintDC(HWND window) noexcept : window_(window) { dc_ = ::BeginPaint(window, &ps_); }
    ~PaintDC() { ::EndPaint(window_, &ps_); }
    PaintDC(const PaintDC&) = delete;
    PaintDC& operator=(const PaintDC&) = delete;

    HDC get() const noexcept { return dc_; }
    const PAINTSTRUCT& paint() const noexcept { return ps_; }

private:
    HWND window_;
    PAINTSTRUCT ps_{};
    HDC dc_;
};

// Selects an object into a device context and puts the previous one back when it goes out of scope.
class SelectedObject {
public:
    SelectedObject() noexcept = default;
    SelectedObject(HDC dc, HGDIOBJ object) noexcept : dc_(dc), previous_(::SelectObject(dc, object)) {
        if (previous_ == nullptr || previous_ == HGDI_ERROR) dc_ = nullptr;
    }
    ~SelectedObject() { restore(); }
    SelectedObject(SelectedObject&& other) noexcept
        : dc_(std::exchange(other.dc_, nullptr)), previous_(std::exchange(other.previous_, nullptr)) {}
    SelectedObject& operator=(SelectedObject&& other) noexcept {
        if (this != &other) {
            restore();
            dc_ = std::exchange(other.dc_, nullptr);
            previous_ = std::exchange(other.previous_, nullptr);
        }
        return *this;
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

    explicit operator bool() const noexcept { return dc_ != nullptr; }
    HGDIOBJ previous() const noexcept { return previous_; }
    void restore() noexcept {
        if (dc_) ::SelectObject(dc_, previous_);
        dc_ = nullptr;
        previous_ = nullptr;
    }

private:
    HDC dc_ = nullptr;
    HGDIOBJ previous_ = nullptr;
};

}  // namespace platform
