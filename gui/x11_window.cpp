// The frame's window on Linux: our own Display connection (never the
// host's), one child window in the host's window, the back buffer shown
// with XPutImage, and events drained without blocking in the frame's idle.
#include <X11/Xlib.h>
#include <X11/Xresource.h>
#include <X11/Xutil.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "gui/native_window.h"
#include "gui/system_scale.h"
#include "gui/x11_error_trap.h"
#include "gui/x11_image.h"

namespace VSTGUI::detail {
namespace {

constexpr long kEventMask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | LeaveWindowMask;

CButtonState modifiers_of(unsigned state) {
    CButtonState b = 0;
    if (state & ShiftMask) b |= kShift;
    if (state & ControlMask) b |= kControl;
    if (state & Mod1Mask) b |= kAlt;
    if (state & Button1Mask) b |= kLButton;
    if (state & Button2Mask) b |= kMButton;
    if (state & Button3Mask) b |= kRButton;
    return b;
}

CButtonState button_of(unsigned button) {
    switch (button) {
        case Button1: return kLButton;
        case Button2: return kMButton;
        case Button3: return kRButton;
        default: return 0;
    }
}

class x11_window final : public native_window {
public:
    // Takes over the connection.
    x11_window(Display* display, window_event_sink& sink)
        : display_(display), trap_(std::make_unique<x11_error_trap>(display)), sink_(sink) {}

    ~x11_window() override {
        if (gc_) XFreeGC(display_, gc_);
        if (window_) XDestroyWindow(display_, window_);
        trap_->syncAndTakeError();  // the host may have destroyed its window first
        trap_.reset();
        XCloseDisplay(display_);
    }

    bool create(Window parent, int width, int height) {
        XWindowAttributes parent_attributes;
        if (!XGetWindowAttributes(display_, parent, &parent_attributes) || trap_->syncAndTakeError()) {
            std::fprintf(stderr, "Tessvane GUI: parent window 0x%lx is not usable\n", parent);
            return false;
        }
        visual_ = parent_attributes.visual;
        depth_ = parent_attributes.depth;
        if (!x11_visual_fits(display_, visual_, depth_)) {
            std::fprintf(stderr, "Tessvane GUI: parent window depth %d is not supported\n", depth_);
            return false;
        }
        XSetWindowAttributes attributes = {};
        attributes.event_mask = kEventMask;
        attributes.colormap = parent_attributes.colormap;
        attributes.border_pixel = 0;
        attributes.background_pixmap = None;  // we paint every pixel ourselves
        window_ = XCreateWindow(display_, parent, 0, 0, unsigned(width), unsigned(height), 0, depth_, InputOutput,
                                visual_, CWEventMask | CWColormap | CWBorderPixel | CWBackPixmap, &attributes);
        set_size_hints(width, height);
        gc_ = XCreateGC(display_, window_, 0, nullptr);
        XMapWindow(display_, window_);
        if (trap_->syncAndTakeError()) {
            std::fprintf(stderr, "Tessvane GUI: the editor window could not be created in 0x%lx\n", parent);
            return false;
        }
        return true;
    }

    void* handle() const override { return reinterpret_cast<void*>(window_); }
    int event_descriptor() const override { return ConnectionNumber(display_); }

    void processEvents() override {
        while (XPending(display_) > 0) {
            XEvent event;
            XNextEvent(display_, &event);
            dispatch(event);
        }
        trap_->syncAndTakeError();  // errors were logged; nothing else to do
    }

    void present(const CDrawContext& buffer, const CRect& area) override {
        x11_put_buffer(display_, window_, gc_, visual_, depth_, buffer, area);
        XFlush(display_);
    }

    void resize(int width, int height) override {
        set_size_hints(width, height);
        XResizeWindow(display_, window_, unsigned(width), unsigned(height));
        XFlush(display_);
    }

private:
    void set_size_hints(int width, int height) {
        XSizeHints* hints = XAllocSizeHints();
        if (!hints) return;
        hints->flags = PMinSize | PMaxSize | PBaseSize;
        hints->min_width = hints->max_width = hints->base_width = width;
        hints->min_height = hints->max_height = hints->base_height = height;
        XSetWMNormalHints(display_, window_, hints);
        XFree(hints);
    }

    void dispatch(const XEvent& event) {
        switch (event.type) {
            case Expose: {
                const XExposeEvent& e = event.xexpose;
                sink_.onWindowExposed(CRect(e.x, e.y, e.x + e.width, e.y + e.height));
                break;
            }
            case ButtonPress: {
                const XButtonEvent& e = event.xbutton;
                const CPoint where(e.x, e.y);
                const CButtonState modifiers = modifiers_of(e.state) & (kShift | kControl | kAlt);
                if (e.button == Button4 || e.button == Button5)
                    sink_.onWindowWheel(where, e.button == Button4 ? 1.0f : -1.0f, modifiers);
                else if (button_of(e.button))
                    sink_.onWindowMouseDown(where, modifiers | button_of(e.button));
                break;
            }
            case ButtonRelease: {
                const XButtonEvent& e = event.xbutton;
                if (button_of(e.button))
                    sink_.onWindowMouseUp(CPoint(e.x, e.y), modifiers_of(e.state) | button_of(e.button));
                break;
            }
            case MotionNotify: {
                XEvent latest = event;  // only the last of a burst of moves matters
                while (XCheckTypedWindowEvent(display_, window_, MotionNotify, &latest)) {
                }
                const XMotionEvent& e = latest.xmotion;
                sink_.onWindowMouseMoved(CPoint(e.x, e.y), modifiers_of(e.state));
                break;
            }
            case LeaveNotify: sink_.onWindowMouseLeft(); break;
            default: break;
        }
    }

    Display* display_;
    std::unique_ptr<x11_error_trap> trap_;
    window_event_sink& sink_;
    Window window_ = 0;
    GC gc_ = nullptr;
    Visual* visual_ = nullptr;
    int depth_ = 0;
};

}  // namespace

std::unique_ptr<native_window> native_window::create_child(void* parent, int width, int height,
                                                           window_event_sink& sink) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "Tessvane GUI: no X display reachable; the editor stays closed\n");
        return nullptr;
    }
    auto window = std::make_unique<x11_window>(display, sink);
    if (!window->create(Window(reinterpret_cast<std::uintptr_t>(parent)), width, height)) return nullptr;
    return window;
}

}  // namespace VSTGUI::detail

namespace VSTGUI {

double system_dpi_scale(void*) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return 0.0;
    double dpi = 0.0;
    // The resources as the desktop set them on the root window, not from files.
    if (const char* text = XResourceManagerString(display)) {
        XrmInitialize();
        if (XrmDatabase database = XrmGetStringDatabase(text)) {
            char* type = nullptr;
            XrmValue value{};
            if (XrmGetResource(database, "Xft.dpi", "Xft.Dpi", &type, &value) && value.addr)
                dpi = std::strtod(value.addr, nullptr);
            XrmDestroyDatabase(database);
        }
    }
    XCloseDisplay(display);
    return dpi > 0.0 ? dpi / 96.0 : 0.0;
}

}  // namespace VSTGUI
