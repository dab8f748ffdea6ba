#include "editor_window.h"

#include "gui/x11_error_trap.h"
#include "gui/x11_image.h"

#include <X11/Xutil.h>

#include <cstdlib>
#include <stdexcept>

namespace tessvane::host {
namespace {

Display* open_display() {
    const char* name = std::getenv("DISPLAY");
    if (name == nullptr || *name == '\0') throw std::runtime_error("no X display: DISPLAY is not set");
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) throw std::runtime_error(std::string("cannot open the X display '") + name + "'");
    return display;
}

}  // namespace

editor_window::editor_window(const std::string& title, int width, int height)
    : display_(open_display()),
      error_trap_(std::make_unique<VSTGUI::detail::x11_error_trap>(display_)),
      width_(width),
      height_(height) {
    const int screen = DefaultScreen(display_);
    window_ = XCreateSimpleWindow(display_, RootWindow(display_, screen), 0, 0, static_cast<unsigned>(width),
                                  static_cast<unsigned>(height), 0, BlackPixel(display_, screen),
                                  BlackPixel(display_, screen));
    XStoreName(display_, window_, title.c_str());
    delete_window_ = XInternAtom(display_, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display_, window_, &delete_window_, 1);
    XSelectInput(display_, window_, StructureNotifyMask);
    set_fixed_size();
    // The editor opens its own connection: the window must exist on the
    // server before its id is handed over.
    XSync(display_, False);
}

editor_window::~editor_window() {
    XDestroyWindow(display_, window_);
    XSync(display_, False);
    error_trap_.reset();
    XCloseDisplay(display_);
}

void editor_window::set_fixed_size() {
    XSizeHints* hints = XAllocSizeHints();
    hints->flags = PMinSize | PMaxSize | PBaseSize;
    hints->min_width = hints->max_width = hints->base_width = width_;
    hints->min_height = hints->max_height = hints->base_height = height_;
    XSetWMNormalHints(display_, window_, hints);
    XFree(hints);
}

void editor_window::set_title(const std::string& title) {
    XStoreName(display_, window_, title.c_str());
    XFlush(display_);
}

void editor_window::show() {
    XMapRaised(display_, window_);
    XFlush(display_);
}

void editor_window::resize(int width, int height) {
    if (width == width_ && height == height_) return;
    width_ = width;
    height_ = height;
    set_fixed_size();
    XResizeWindow(display_, window_, static_cast<unsigned>(width), static_cast<unsigned>(height));
    XFlush(display_);
}

bool editor_window::close_requested() {
    while (XPending(display_) > 0) {
        XEvent event;
        XNextEvent(display_, &event);
        if (event.type == ClientMessage && static_cast<Atom>(event.xclient.data.l[0]) == delete_window_)
            close_requested_ = true;
    }
    return close_requested_;
}

bool editor_window::has_shown_child() {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    if (XQueryTree(display_, window_, &root, &parent, &children, &count) == 0) return false;
    bool shown = false;
    for (unsigned i = 0; i < count && !shown; ++i) {
        XWindowAttributes attributes;
        shown = XGetWindowAttributes(display_, children[i], &attributes) != 0 && attributes.map_state == IsViewable;
    }
    if (children != nullptr) XFree(children);
    error_trap_->syncAndTakeError();  // a child may vanish while we look
    return shown;
}

std::vector<std::uint32_t> editor_window::capture() {
    const int screen = DefaultScreen(display_);
    if (!VSTGUI::detail::x11_visual_fits(display_, DefaultVisual(display_, screen), DefaultDepth(display_, screen)))
        throw std::runtime_error("cannot capture the window: the screen is not 24-bit TrueColor");
    XImage* image = XGetImage(display_, window_, 0, 0, static_cast<unsigned>(width_), static_cast<unsigned>(height_),
                              AllPlanes, ZPixmap);
    error_trap_->syncAndTakeError();
    if (image == nullptr) return {};
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width_) * height_);
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x)
            pixels[static_cast<std::size_t>(y) * width_ + x] =
                static_cast<std::uint32_t>(XGetPixel(image, x, y)) & 0xffffff;
    XDestroyImage(image);
    return pixels;
}

}  // namespace tessvane::host
