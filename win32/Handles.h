#pragma once

// Owners of the Windows API's handles: each closes its handle the one way
// that kind of handle is closed, when the owner goes out of scope. Move-only.

#include <windows.h>

#include <utility>

namespace kloxmere::win32 {

template <class Handle, class Close, Handle kEmpty = Handle{}>
class Owned {
  public:
    Owned() = default;
    explicit Owned(Handle handle) : m_handle(handle) {}
    ~Owned() { reset(); }
    Owned(Owned&& other) noexcept : m_handle(std::exchange(other.m_handle, kEmpty)) {}
    Owned& operator=(Owned&& other) noexcept {
        if (this != &other) reset(std::exchange(other.m_handle, kEmpty));
        return *this;
    }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;

    Handle get() const { return m_handle; }
    explicit operator bool() const { return m_handle != kEmpty; }
    // Gives the handle up without closing it.
    Handle release() { return std::exchange(m_handle, kEmpty); }
    void reset(Handle handle = kEmpty) {
        if (m_handle != kEmpty) Close{}(m_handle);
        m_handle = handle;
    }

  private:
    Handle m_handle = kEmpty;
};

struct CloseKernelHandle {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
struct CloseRegistryKey {
    void operator()(HKEY key) const { RegCloseKey(key); }
};
struct DestroyWindowHandle {
    void operator()(HWND window) const { DestroyWindow(window); }
};
struct DeleteGdiObject {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
struct DeleteMemoryDc {
    void operator()(HDC dc) const { DeleteDC(dc); }
};
struct DestroyIconHandle {
    void operator()(HICON icon) const { DestroyIcon(icon); }
};
struct DestroyMenuHandle {
    void operator()(HMENU menu) const { DestroyMenu(menu); }
};
struct DestroyAccelerators {
    void operator()(HACCEL table) const { ::DestroyAcceleratorTable(table); }
};

// A kernel object (thread, process, event, file): INVALID_HANDLE_VALUE and
// null both mean none, so files keep the null form (use Owned::reset with a
// checked handle).
using KernelHandle = Owned<HANDLE, CloseKernelHandle>;
using RegistryKey = Owned<HKEY, CloseRegistryKey>;
using WindowHandle = Owned<HWND, DestroyWindowHandle>;
using MemoryDc = Owned<HDC, DeleteMemoryDc>;
using IconHandle = Owned<HICON, DestroyIconHandle>;
using MenuHandle = Owned<HMENU, DestroyMenuHandle>;
using AcceleratorTable = Owned<HACCEL, DestroyAccelerators>;

template <class Gdi>
using GdiObject = Owned<Gdi, DeleteGdiObject>;
using FontHandle = GdiObject<HFONT>;
using BitmapHandle = GdiObject<HBITMAP>;
using BrushHandle = GdiObject<HBRUSH>;

// A window's device context, released to its window.
class WindowDc {
  public:
    explicit WindowDc(HWND window) : m_window(window), m_dc(GetDC(window)) {}
    ~WindowDc() {
        if (m_dc) ReleaseDC(m_window, m_dc);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const { return m_dc; }

  private:
    HWND m_window;
    HDC m_dc;
};

// Selects an object into a device context and puts the one it replaced back.
class SelectedObject {
  public:
    SelectedObject(HDC dc, HGDIOBJ object) : m_dc(dc), m_previous(SelectObject(dc, object)) {}
    ~SelectedObject() { SelectObject(m_dc, m_previous); }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

  private:
    HDC m_dc;
    HGDIOBJ m_previous;
};

}  // namespace kloxmere::win32
