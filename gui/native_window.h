// The frame's window on the platform at hand: one child window inside the
// host's window, a way to show the frame's back buffer in it, and the input
// events, collected without blocking when the frame idles. Everything is
// called on the editor's thread.
#pragma once

#include <memory>

#include "gui/draw_context.h"
#include "gui/geometry.h"
#include "gui/mouse.h"

namespace VSTGUI::detail {

class window_event_sink {
public:
    virtual void onWindowMouseDown(CPoint where, CButtonState buttons) = 0;
    virtual void onWindowMouseUp(CPoint where, CButtonState buttons) = 0;
    virtual void onWindowMouseMoved(CPoint where, CButtonState buttons) = 0;
    virtual void onWindowWheel(CPoint where, float distance, CButtonState buttons) = 0;
    // The pointer has left the window.
    virtual void onWindowMouseLeft() = 0;
    virtual void onWindowExposed(const CRect& area) = 0;

protected:
    ~window_event_sink() = default;
};

class native_window {
public:
    virtual ~native_window() = default;

    // Null, after a line on stderr, when there is no display or `parent` is
    // not a usable window; the host is never brought down by it.
    static std::unique_ptr<native_window> create_child(void* parent, int width, int height, window_event_sink& sink);

    // Hands every pending event to the sink; never waits.
    virtual void processEvents() = 0;
    // Shows `area` (device pixels) of `buffer` (an opaque frame-sized back buffer).
    virtual void present(const CDrawContext& buffer, const CRect& area) = 0;
    // The window takes a new size in device pixels; its picture is white
    // until the next present.
    virtual void resize(int width, int height) = 0;
    // The window itself: an X11 Window id or an HWND.
    virtual void* handle() const = 0;
    // The descriptor that becomes readable when events arrive (the X
    // connection's); -1 where events come another way.
    virtual int event_descriptor() const { return -1; }
};

}  // namespace VSTGUI::detail
