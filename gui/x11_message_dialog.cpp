#include "gui/x11_message_dialog.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "gui/font_cache.h"
#include "gui/message_dialog.h"
#include "gui/text_wrap.h"
#include "gui/x11_image.h"

namespace VSTGUI::detail {
namespace {

const CFontDesc kTextFont("Arial", 12);
constexpr int kWidth = 400;
constexpr int kMargin = 16;
constexpr int kSignSize = 32;
constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 24;
constexpr CColor kPanel{240, 240, 240, 255};
constexpr CColor kButtonFace{225, 225, 225, 255};
constexpr CColor kButtonEdge{120, 120, 120, 255};

// A filled disc with a letter: red "!" for errors, blue "i" for information.
// The disc is smoothed in device pixels, so it stays round at any scale.
void draw_sign(CDrawContext& context, CPoint origin, platform::message_icon icon) {
    const CColor disc = icon == platform::message_icon::error ? CColor{200, 40, 40, 255} : CColor{40, 100, 200, 255};
    const double scale = context.getScale();
    const int size = int(std::lround(kSignSize * scale));
    const int left = int(std::lround(origin.x * scale)), top = int(std::lround(origin.y * scale));
    const float r = size / 2.0f;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float dx = x + 0.5f - r, dy = y + 0.5f - r;
            const float inside = std::clamp(r - std::sqrt(dx * dx + dy * dy) + 0.5f, 0.0f, 1.0f);
            if (inside <= 0.0f) continue;
            CColor c = disc;
            c.alpha = static_cast<std::uint8_t>(255 * inside);
            context.drawDevicePoint(CPoint(left + x, top + y), c);
        }
    context.setFont(CFontDesc("Arial", 20));
    context.setFontColor(kWhiteCColor);
    const char* letter = icon == platform::message_icon::error ? "!" : "i";
    context.drawString(letter, CRect(origin.x, origin.y, origin.x + kSignSize, origin.y + kSignSize), kCenterText);
}

}  // namespace

x11_message_dialog::x11_message_dialog(const platform::message& m, double scale) : message_(m) {
    const int text_left = kMargin + kSignSize + kMargin;
    const int text_width = kWidth - text_left - kMargin;
    lines_ = wrap_text(message_.text, text_width, kTextFont);
    const line_metrics metrics = measure_text(kTextFont, "Ag");
    const int line_height = std::max(metrics.ascender + metrics.descender + 3, 14);
    const int text_height = std::max(int(lines_.size()) * line_height, kSignSize);
    text_area_ = CRect(text_left, kMargin, text_left + text_width, kMargin + text_height);
    const int button_top = text_area_.bottom + kMargin;
    ok_button_ =
        CRect((kWidth - kButtonWidth) / 2, button_top, (kWidth + kButtonWidth) / 2, button_top + kButtonHeight);
    picture_ = std::make_unique<COffscreenContext>(kWidth, ok_button_.bottom + kMargin, kPanel, scale);
    paint();
}

x11_message_dialog::~x11_message_dialog() {
    if (!display_) return;
    if (gc_) XFreeGC(display_, gc_);
    if (window_) XDestroyWindow(display_, window_);
    trap_->syncAndTakeError();
    trap_.reset();
    XCloseDisplay(display_);
}

void x11_message_dialog::paint() {
    COffscreenContext& c = *picture_;
    c.setFillColor(kPanel);
    c.fillRect(CRect(0, 0, kWidth, ok_button_.bottom + kMargin));
    draw_sign(c, CPoint(kMargin, kMargin), message_.icon);
    c.setFont(kTextFont);
    c.setFontColor(kBlackCColor);
    const int line_height = lines_.empty() ? 0 : std::max(text_area_.height() / int(lines_.size()), 1);
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const int top = text_area_.top + int(i) * line_height;
        c.drawString(lines_[i], CRect(text_area_.left, top, text_area_.right, top + line_height), kLeftText);
    }
    c.setFillColor(ok_pressed_ ? kButtonEdge : kButtonFace);
    c.fillRect(ok_button_);
    c.setFrameColor(kButtonEdge);
    c.frameRect(ok_button_);
    c.setFontColor(kBlackCColor);
    c.drawString("OK", ok_button_, kCenterText);
}

bool x11_message_dialog::open(unsigned long over) {
    display_ = XOpenDisplay(nullptr);
    if (!display_) return false;
    trap_ = std::make_unique<x11_error_trap>(display_);
    const int screen = DefaultScreen(display_);
    Visual* visual = DefaultVisual(display_, screen);
    const int depth = DefaultDepth(display_, screen);
    if (!x11_visual_fits(display_, visual, depth)) return false;
    const int width = picture_->getWidth(), height = picture_->getHeight();
    int x = std::max(0, (DisplayWidth(display_, screen) - width) / 2);
    int y = std::max(0, (DisplayHeight(display_, screen) - height) / 3);
    XWindowAttributes owner;
    Window child = 0;
    int owner_x = 0, owner_y = 0;
    if (over != 0 && XGetWindowAttributes(display_, Window(over), &owner) &&
        XTranslateCoordinates(display_, Window(over), RootWindow(display_, screen), 0, 0, &owner_x, &owner_y, &child)) {
        x = std::max(0, owner_x + (owner.width - width) / 2);
        y = std::max(0, owner_y + (owner.height - height) / 2);
    }
    trap_->syncAndTakeError();  // a window that went away leaves the dialog where it was
    window_ = XCreateSimpleWindow(display_, RootWindow(display_, screen), x, y, unsigned(width), unsigned(height), 0, 0,
                                  kPanel.premultiplied() & 0xFFFFFF);
    XSelectInput(display_, window_, ExposureMask | ButtonPressMask | ButtonReleaseMask | KeyPressMask);
    XStoreName(display_, window_, message_.caption.c_str());
    const Atom utf8 = XInternAtom(display_, "UTF8_STRING", False);
    XChangeProperty(display_, window_, XInternAtom(display_, "_NET_WM_NAME", False), utf8, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(message_.caption.data()), int(message_.caption.size()));
    const Atom dialog = XInternAtom(display_, "_NET_WM_WINDOW_TYPE_DIALOG", False);
    XChangeProperty(display_, window_, XInternAtom(display_, "_NET_WM_WINDOW_TYPE", False), XA_ATOM, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(&dialog), 1);
    delete_atom_ = XInternAtom(display_, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display_, window_, &delete_atom_, 1);
    if (XSizeHints* hints = XAllocSizeHints()) {
        hints->flags = PPosition | PMinSize | PMaxSize;
        hints->x = x;
        hints->y = y;
        hints->min_width = hints->max_width = width;
        hints->min_height = hints->max_height = height;
        XSetWMNormalHints(display_, window_, hints);
        XFree(hints);
    }
    gc_ = XCreateGC(display_, window_, 0, nullptr);
    XMapRaised(display_, window_);
    return !trap_->syncAndTakeError();
}

bool x11_message_dialog::handle(const XEvent& event) {
    switch (event.type) {
        case Expose:
            x11_put_buffer(display_, window_, gc_, DefaultVisual(display_, DefaultScreen(display_)),
                           DefaultDepth(display_, DefaultScreen(display_)), *picture_,
                           CRect(0, 0, picture_->getWidth(), picture_->getHeight()));
            return false;
        case ButtonPress:
            if (on_ok(event.xbutton)) {
                ok_pressed_ = true;
                paint();
                XClearArea(display_, window_, 0, 0, 0, 0, True);
            }
            return false;
        case ButtonRelease: return ok_pressed_ && on_ok(event.xbutton);
        case KeyPress: {
            const KeySym key = XLookupKeysym(const_cast<XKeyEvent*>(&event.xkey), 0);
            return key == XK_Return || key == XK_KP_Enter || key == XK_Escape || key == XK_space;
        }
        case ClientMessage: return Atom(event.xclient.data.l[0]) == delete_atom_;
        default: return false;
    }
}

bool x11_message_dialog::on_ok(const XButtonEvent& event) const {
    const double scale = picture_->getScale();
    const CPoint where(int(std::floor(event.x / scale)), int(std::floor(event.y / scale)));
    return event.button == Button1 && ok_button_.contains(where);
}

void x11_message_dialog::run() {
    if (!window_) return;
    for (;;) {
        XEvent event;
        XNextEvent(display_, &event);
        if (handle(event)) return;
    }
}

bool x11_message_dialog::pump() {
    if (!window_) return true;
    while (XPending(display_) > 0) {
        XEvent event;
        XNextEvent(display_, &event);
        if (handle(event)) return true;
    }
    return false;
}

}  // namespace VSTGUI::detail

namespace VSTGUI {

bool detail::message_dialog_possible() {
    const char* name = std::getenv("DISPLAY");
    if (!name || !*name) return false;
    Display* display = XOpenDisplay(nullptr);
    if (!display) return false;
    XCloseDisplay(display);
    return true;
}

bool show_message_dialog(const platform::message& m) {
    detail::x11_message_dialog dialog(m);
    if (!dialog.open()) return false;
    dialog.run();
    return true;
}

}  // namespace VSTGUI
