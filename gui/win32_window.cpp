// The frame's window on Windows: one child window in the host's window, of
// a window class of our own, with the back buffer copied into a DIB section
// and blitted from there, on present and on WM_PAINT. The host's message
// loop delivers our messages; the window procedure hands the input to the
// sink at once, on the thread that created the window.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>

#include "gui/native_window.h"
#include "gui/system_scale.h"
#include "platform/module_win32.h"

namespace VSTGUI::detail {
namespace {

// Registered while a window of ours exists. The name carries the module's
// address: two copies of the plug-in in one process each need a class whose
// procedure lies in their own code, and unload without leaving it behind.
class window_class {
public:
    static const char* acquire(WNDPROC procedure) {
        std::lock_guard lock(mutex_);
        if (users_ == 0) {
            std::snprintf(name_, sizeof name_, "TessvaneLE editor %p", static_cast<void*>(platform::this_module()));
            WNDCLASSEXA c = {};
            c.cbSize = sizeof c;
            c.lpfnWndProc = procedure;
            c.hInstance = platform::this_module();
            c.hCursor = LoadCursor(nullptr, IDC_ARROW);
            c.lpszClassName = name_;
            if (!RegisterClassExA(&c)) return nullptr;
        }
        ++users_;
        return name_;
    }

    static void release() {
        std::lock_guard lock(mutex_);
        if (--users_ == 0) UnregisterClassA(name_, platform::this_module());
    }

private:
    static inline std::mutex mutex_;
    static inline int users_ = 0;
    static inline char name_[64] = {};
};

// Shift, control and alt as the X11 backend reports them, plus the held buttons.
CButtonState buttons_of(WPARAM keys) {
    CButtonState b = 0;
    if (keys & MK_SHIFT) b |= kShift;
    if (keys & MK_CONTROL) b |= kControl;
    if (GetKeyState(VK_MENU) < 0) b |= kAlt;  // mouse messages do not carry alt
    if (keys & MK_LBUTTON) b |= kLButton;
    if (keys & MK_MBUTTON) b |= kMButton;
    if (keys & MK_RBUTTON) b |= kRButton;
    return b;
}

constexpr CButtonState kModifierKeys = kShift | kControl | kAlt;

// Client coordinates are signed: a captured drag goes past the edges.
CPoint point_of(LPARAM position) { return CPoint(short(LOWORD(position)), short(HIWORD(position))); }

class win32_window final : public native_window {
public:
    win32_window(window_event_sink& sink, int width, int height) : sink_(sink), width_(width), height_(height) {}

    ~win32_window() override {
        if (window_) DestroyWindow(window_);  // unless the host destroyed its window, and so ours, first
        if (memory_dc_) DeleteDC(memory_dc_);
        if (dib_) DeleteObject(dib_);
        if (class_name_) window_class::release();
    }

    bool create(HWND parent) {
        if (!make_picture()) {
            std::fprintf(stderr, "Tessvane GUI: no memory for the editor window's picture\n");
            return false;
        }
        class_name_ = window_class::acquire(procedure);
        if (class_name_)
            CreateWindowExA(0, class_name_, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, width_, height_, parent,
                            nullptr, platform::this_module(), this);
        if (!window_) {
            std::fprintf(stderr, "Tessvane GUI: the editor window could not be created (error %lu)\n", GetLastError());
            return false;
        }
        return true;
    }

    void resize(int width, int height) override {
        width_ = width;
        height_ = height;
        if (!make_picture()) width_ = height_ = 0;  // nothing shown rather than a picture of the wrong size
        if (window_) SetWindowPos(window_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    void* handle() const override { return window_; }

    // The host's message loop already delivered everything.
    void processEvents() override {}

    void present(const CDrawContext& buffer, const CRect& area) override {
        const CRect r =
            area.intersection(CRect(0, 0, std::min(width_, buffer.getWidth()), std::min(height_, buffer.getHeight())));
        if (r.isEmpty() || !window_) return;
        GdiFlush();  // GDI must be done with the DIB before we write into it
        for (int y = r.top; y < r.bottom; ++y)
            std::memcpy(pixels_ + std::size_t(y) * width_ + r.left,
                        buffer.pixels() + std::size_t(y) * buffer.stride() + r.left, std::size_t(r.width()) * 4);
        if (HDC dc = GetDC(window_)) {
            BitBlt(dc, r.left, r.top, r.width(), r.height(), memory_dc_, r.left, r.top, SRCCOPY);
            ReleaseDC(window_, dc);
        }
    }

private:
    // A white DIB section of the window's size, replacing any before it.
    bool make_picture() {
        if (memory_dc_) DeleteDC(memory_dc_);
        if (dib_) DeleteObject(dib_);
        memory_dc_ = nullptr;
        dib_ = nullptr;
        pixels_ = nullptr;
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width_;
        info.bmiHeader.biHeight = -height_;  // top row first, like our buffers
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        dib_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        memory_dc_ = CreateCompatibleDC(nullptr);
        if (!dib_ || !memory_dc_ || !SelectObject(memory_dc_, dib_)) return false;
        pixels_ = static_cast<std::uint32_t*>(bits);
        std::memset(pixels_, 0xFF, std::size_t(width_) * height_ * 4);  // white until the first paint
        return true;
    }

    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
        if (message == WM_NCCREATE) {
            auto* self = static_cast<win32_window*>(reinterpret_cast<CREATESTRUCTA*>(l)->lpCreateParams);
            self->window_ = window;
            SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
        auto* self = reinterpret_cast<win32_window*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (self && self->handle(message, w, l)) return 0;
        return DefWindowProcA(window, message, w, l);
    }

    bool handle(UINT message, WPARAM w, LPARAM l) {
        switch (message) {
            case WM_PAINT: {
                PAINTSTRUCT paint;
                if (HDC dc = BeginPaint(window_, &paint)) {
                    const RECT& r = paint.rcPaint;
                    BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, memory_dc_, r.left, r.top, SRCCOPY);
                    EndPaint(window_, &paint);
                }
                return true;
            }
            case WM_PRINTCLIENT:  // PrintWindow: thumbnails, screenshots
                BitBlt(reinterpret_cast<HDC>(w), 0, 0, width_, height_, memory_dc_, 0, 0, SRCCOPY);
                return true;
            case WM_ERASEBKGND: return true;  // WM_PAINT covers every pixel
            case WM_LBUTTONDOWN: return mouse_down(l, w, kLButton);
            case WM_MBUTTONDOWN: return mouse_down(l, w, kMButton);
            case WM_RBUTTONDOWN: return mouse_down(l, w, kRButton);
            case WM_LBUTTONUP: return mouse_up(l, w, kLButton);
            case WM_MBUTTONUP: return mouse_up(l, w, kMButton);
            case WM_RBUTTONUP: return mouse_up(l, w, kRButton);
            case WM_MOUSEMOVE:
                if (!tracking_leave_) {
                    TRACKMOUSEEVENT track = {DWORD(sizeof(TRACKMOUSEEVENT)), TME_LEAVE, window_, 0};
                    tracking_leave_ = TrackMouseEvent(&track) != FALSE;
                }
                last_point_ = point_of(l);
                sink_.onWindowMouseMoved(last_point_, buttons_of(w));
                return true;
            case WM_MOUSELEAVE:
                tracking_leave_ = false;
                sink_.onWindowMouseLeft();
                return true;
            case WM_MOUSEWHEEL: {
                POINT p = {short(LOWORD(l)), short(HIWORD(l))};  // screen coordinates
                ScreenToClient(window_, &p);
                const float notches = float(GET_WHEEL_DELTA_WPARAM(w)) / WHEEL_DELTA;
                sink_.onWindowWheel(CPoint(p.x, p.y), notches, buttons_of(GET_KEYSTATE_WPARAM(w)) & kModifierKeys);
                return true;
            }
            case WM_CAPTURECHANGED:
                // Capture taken away mid-drag (a host's dialog, alt-tab): end
                // the gesture, so the host sees the end of the edit.
                if (held_ && reinterpret_cast<HWND>(l) != window_) {
                    const CButtonState held = held_;
                    held_ = 0;
                    sink_.onWindowMouseUp(last_point_, held);
                }
                return true;
            case WM_NCDESTROY:
                SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
                window_ = nullptr;
                return false;
            default: return false;
        }
    }

    bool mouse_down(LPARAM l, WPARAM w, CButtonState button) {
        if (!held_) SetCapture(window_);  // drags go on outside the window
        held_ |= button;
        last_point_ = point_of(l);
        sink_.onWindowMouseDown(last_point_, (buttons_of(w) & kModifierKeys) | button);
        return true;
    }

    bool mouse_up(LPARAM l, WPARAM w, CButtonState button) {
        if (!(held_ & button)) return true;  // its press went elsewhere, or capture was lost
        held_ &= ~button;
        last_point_ = point_of(l);
        // Before the release, as X11 reports the state: the button still counts as held.
        sink_.onWindowMouseUp(last_point_, buttons_of(w) | button);
        if (!held_) ReleaseCapture();
        return true;
    }

    window_event_sink& sink_;
    int width_;
    int height_;
    HWND window_ = nullptr;
    const char* class_name_ = nullptr;
    HBITMAP dib_ = nullptr;
    HDC memory_dc_ = nullptr;
    std::uint32_t* pixels_ = nullptr;
    CButtonState held_ = 0;
    bool tracking_leave_ = false;  // a WM_MOUSELEAVE is asked for
    CPoint last_point_;
};

}  // namespace

std::unique_ptr<native_window> native_window::create_child(void* parent, int width, int height,
                                                           window_event_sink& sink) {
    const HWND parent_window = static_cast<HWND>(parent);
    if (!IsWindow(parent_window)) {
        std::fprintf(stderr, "Tessvane GUI: parent window %p is not a window; the editor stays closed\n", parent);
        return nullptr;
    }
    auto window = std::make_unique<win32_window>(sink, width, height);
    if (!window->create(parent_window)) return nullptr;
    return window;
}

}  // namespace VSTGUI::detail

namespace VSTGUI {

// GetDpiForWindow and GetDpiForSystem came with Windows 10; looked up, so
// older systems still load the plug-in and get the screen's DPI instead.
double system_dpi_scale(void* window) {
    const HMODULE user32 = GetModuleHandleA("user32.dll");
    using dpi_for_window = UINT(WINAPI*)(HWND);
    using dpi_for_system = UINT(WINAPI*)();
    const auto for_window =
        user32 ? reinterpret_cast<dpi_for_window>(reinterpret_cast<void*>(GetProcAddress(user32, "GetDpiForWindow")))
               : nullptr;
    const auto for_system =
        user32 ? reinterpret_cast<dpi_for_system>(reinterpret_cast<void*>(GetProcAddress(user32, "GetDpiForSystem")))
               : nullptr;
    UINT dpi = 0;
    if (window && for_window) dpi = for_window(static_cast<HWND>(window));
    if (dpi == 0 && for_system) dpi = for_system();
    if (dpi == 0)
        if (HDC screen = GetDC(nullptr)) {
            dpi = UINT(GetDeviceCaps(screen, LOGPIXELSX));
            ReleaseDC(nullptr, screen);
        }
    return dpi > 0 ? double(dpi) / 96.0 : 0.0;
}

}  // namespace VSTGUI
