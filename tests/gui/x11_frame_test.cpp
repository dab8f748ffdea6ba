// The frame's X11 window inside a host's window, on a real (virtual) X server.
// gtest first: Xlib defines None and Bool as macros.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "gui/frame.h"
#include "gui/knob.h"
#include "gui/on_off_button.h"
#include "recording_editor.h"
#include "test_images.h"
#include "xvfb_environment.h"

using namespace VSTGUI;

namespace {

// Fills itself with one colour.
class solid_view : public CControl {
public:
    solid_view(const CRect& r, CColor c) : CControl(r), colour(c) {}
    void draw(CDrawContext* context) override {
        context->setFillColor(getValue() > 0.5f ? CColor{0, 0, 255, 255} : colour);
        context->fillRect(getViewSize());
    }
    CColor colour;
};

// Keeps the buttons of every press and counts the times the pointer left.
class pointer_view : public CView {
public:
    explicit pointer_view(const CRect& r) : CView(r) {}
    bool onMouseDown(CPoint, CButtonState buttons) override {
        presses.push_back(buttons);
        return true;
    }
    bool onMouseMoved(CPoint, CButtonState) override { return true; }
    void onMouseExited() override { ++exits; }
    std::vector<CButtonState> presses;
    int exits = 0;
};

}  // namespace

class X11Frame : public ::testing::Test {
protected:
    Display* host = nullptr;  // the host's own connection
    Window parent = 0;

    void SetUp() override {
        if (!gui_test::display_available()) GTEST_SKIP() << "no X display and no Xvfb";
        host = XOpenDisplay(nullptr);
        ASSERT_NE(host, nullptr) << "DISPLAY=" << (getenv("DISPLAY") ? getenv("DISPLAY") : "");
        parent = makeParent();
    }
    void TearDown() override {
        if (host) XCloseDisplay(host);
    }

    Window makeParent() {
        Window w = XCreateSimpleWindow(host, DefaultRootWindow(host), 0, 0, 700, 450, 0, 0, 0);
        XMapWindow(host, w);
        XSync(host, False);
        return w;
    }
    void* handle(Window w) const { return reinterpret_cast<void*>(std::uintptr_t(w)); }

    // The server maps a window in its own time and drops what is drawn
    // before; the expose that follows makes the frame paint again.
    void idle_until_viewable(CFrame& frame) {
        frame.idle();
        const std::vector<Window> list = children(parent);
        for (int i = 0; i < 200 && !list.empty(); ++i) {
            XWindowAttributes attributes;
            if (XGetWindowAttributes(host, list.front(), &attributes) && attributes.map_state == IsViewable) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            frame.idle();
        }
        // The expose reaches the frame's own connection a little later.
        for (int i = 0; i < 10; ++i) {
            XSync(host, False);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            frame.idle();
        }
    }

    std::vector<Window> children(Window w) {
        Window root = 0, up = 0, *list = nullptr;
        unsigned count = 0;
        std::vector<Window> out;
        if (XQueryTree(host, w, &root, &up, &list, &count)) out.assign(list, list + count);
        if (list) XFree(list);
        return out;
    }
    // The pixel at (x, y) of window `w` as the server shows it, 0xRRGGBB.
    unsigned long pixel(Window w, int x, int y) {
        XSync(host, False);
        XImage* image = XGetImage(host, w, x, y, 1, 1, AllPlanes, ZPixmap);
        if (!image) return ~0ul;
        const unsigned long p = XGetPixel(image, 0, 0) & 0xFFFFFF;
        XDestroyImage(image);
        return p;
    }
    void sendButton(Window w, int type, unsigned button, int x, int y, unsigned state) {
        XEvent e = {};
        e.xbutton.type = type;
        e.xbutton.window = w;
        e.xbutton.button = button;
        e.xbutton.x = x;
        e.xbutton.y = y;
        e.xbutton.state = state;
        e.xbutton.same_screen = True;
        XSendEvent(host, w, False, type == ButtonPress ? ButtonPressMask : ButtonReleaseMask, &e);
        XSync(host, False);
    }
};

TEST_F(X11Frame, OpensOneChildOfTheParentWindowAtTheFrameSizeWithFixedHints) {
    CFrame frame(CRect(0, 0, 607, 383), handle(parent), nullptr);
    ASSERT_TRUE(frame.isOpen());
    const std::vector<Window> kids = children(parent);
    ASSERT_EQ(kids.size(), 1u);
    XWindowAttributes a;
    ASSERT_TRUE(XGetWindowAttributes(host, kids[0], &a));
    EXPECT_EQ(a.width, 607);
    EXPECT_EQ(a.height, 383);
    EXPECT_EQ(a.map_state, IsViewable);
    XSizeHints hints = {};
    long supplied = 0;
    ASSERT_TRUE(XGetWMNormalHints(host, kids[0], &hints, &supplied));
    EXPECT_EQ(hints.min_width, 607);
    EXPECT_EQ(hints.max_width, 607);
    EXPECT_EQ(hints.min_height, 383);
    EXPECT_EQ(hints.max_height, 383);
}

TEST_F(X11Frame, ABadOrDestroyedParentFailsTheOpenAndTheProcessCarriesOn) {
    CFrame never(CRect(0, 0, 607, 383), handle(0x3FFFFFF0), nullptr);
    EXPECT_FALSE(never.isOpen());
    const Window gone = makeParent();
    XDestroyWindow(host, gone);
    XSync(host, False);
    CFrame destroyed(CRect(0, 0, 607, 383), handle(gone), nullptr);
    EXPECT_FALSE(destroyed.isOpen());
    destroyed.idle();  // a frame that failed to open still idles harmlessly
    CFrame good(CRect(0, 0, 607, 383), handle(parent), nullptr);
    EXPECT_TRUE(good.isOpen());
}

TEST_F(X11Frame, ClosingRemovesTheWindowAndTheEditorOpensAgain) {
    for (int round = 0; round < 2; ++round) {
        auto* frame = new CFrame(CRect(0, 0, 607, 383), handle(parent), nullptr);
        EXPECT_TRUE(frame->isOpen());
        frame->idle();
        EXPECT_EQ(children(parent).size(), 1u);
        delete frame;
        XSync(host, False);
        EXPECT_TRUE(children(parent).empty());
    }
}

TEST_F(X11Frame, IdlePaintsTheBackBufferIntoTheWindow) {
    CFrame frame(CRect(0, 0, 607, 383), handle(parent), nullptr);
    ASSERT_TRUE(frame.isOpen());
    frame.addView(new solid_view(CRect(10, 10, 50, 50), CColor{255, 0, 0, 255}));
    idle_until_viewable(frame);
    const Window child = children(parent).at(0);
    EXPECT_EQ(pixel(child, 20, 20), 0xFF0000ul);
    EXPECT_EQ(pixel(child, 100, 100), 0xFFFFFFul);
}

TEST_F(X11Frame, ClicksAndWheelInTheWindowReachTheControlsInIdle) {
    gui_test::recording_editor editor;
    editor.knob_mode = 2;
    CFrame frame(CRect(0, 0, 607, 383), handle(parent), &editor);
    ASSERT_TRUE(frame.isOpen());
    auto* button = new COnOffButton(CRect(10, 10, 30, 30), &editor, 1, nullptr);
    auto* knob = new CKnob(CRect(100, 100, 138, 138), &editor, 4, nullptr);
    frame.addView(button);
    frame.addView(knob);
    idle_until_viewable(frame);
    const Window child = children(parent).at(0);
    sendButton(child, ButtonPress, Button1, 15, 15, 0);
    sendButton(child, ButtonRelease, Button1, 15, 15, Button1Mask);
    sendButton(child, ButtonPress, Button4, 110, 110, 0);
    sendButton(child, ButtonPress, Button1, 110, 110, ControlMask);
    frame.idle();
    EXPECT_FLOAT_EQ(button->getValue(), 1.0f);
    EXPECT_FLOAT_EQ(knob->getValue(), 0.5f);  // wheel to 0.1, then ctrl-click to the default
    EXPECT_EQ(editor.log, (std::vector<std::string>{"begin 1", "changed 1", "end 1", "begin 4", "changed 4", "end 4",
                                                    "begin 4", "changed 4", "end 4"}));
}

TEST_F(X11Frame, ASecondPressSoonAndNearIsADoubleClickAndTheViewUnderThePointerHearsItLeave) {
    CFrame frame(CRect(0, 0, 607, 383), handle(parent), nullptr);
    ASSERT_TRUE(frame.isOpen());
    auto* view = new pointer_view(CRect(100, 100, 200, 200));
    frame.addView(view);
    idle_until_viewable(frame);
    const Window child = children(parent).at(0);
    for (int x : {110, 112, 114, 160}) {
        sendButton(child, ButtonPress, Button1, x, 110, 0);
        sendButton(child, ButtonRelease, Button1, x, 110, Button1Mask);
    }
    XEvent e = {};
    e.xmotion.type = MotionNotify;
    e.xmotion.window = child;
    e.xmotion.x = e.xmotion.y = 150;
    e.xmotion.same_screen = True;
    XSendEvent(host, child, False, PointerMotionMask, &e);
    e = {};
    e.xcrossing.type = LeaveNotify;
    e.xcrossing.window = child;
    e.xcrossing.x = 700;
    e.xcrossing.mode = NotifyNormal;
    e.xcrossing.same_screen = True;
    XSendEvent(host, child, False, LeaveWindowMask, &e);
    XSync(host, False);
    frame.idle();
    // The third press follows a double-click and the fourth is too far.
    EXPECT_EQ(view->presses, (std::vector<CButtonState>{kLButton, kLButton | kDoubleClick, kLButton, kLButton}));
    EXPECT_EQ(view->exits, 1);
}

TEST_F(X11Frame, TwoFramesEachWithTheirOwnConnectionWorkSideBySide) {
    const Window second_parent = makeParent();
    auto* first = new CFrame(CRect(0, 0, 607, 383), handle(parent), nullptr);
    CFrame second(CRect(0, 0, 607, 383), handle(second_parent), nullptr);
    ASSERT_TRUE(first->isOpen());
    ASSERT_TRUE(second.isOpen());
    second.addView(new solid_view(CRect(0, 0, 607, 383), CColor{0, 255, 0, 255}));
    first->idle();
    idle_until_viewable(second);
    delete first;
    second.idle();
    EXPECT_EQ(pixel(children(second_parent).at(0), 300, 300), 0x00FF00ul);
}

TEST_F(X11Frame, RedrawRequestsFromAnotherThreadArePaintedOnTheEditorThread) {
    CFrame frame(CRect(0, 0, 607, 383), handle(parent), nullptr);
    ASSERT_TRUE(frame.isOpen());
    auto* view = new solid_view(CRect(0, 0, 40, 40), CColor{255, 0, 0, 255});
    frame.addView(view);
    idle_until_viewable(frame);
    std::atomic<bool> done{false};
    std::thread worker([&] {
        for (int i = 0; i <= 501; ++i) {
            view->setValue(float(i % 2));
            view->setDirty();
        }
        done = true;
    });
    while (!done) frame.idle();
    worker.join();
    frame.idle();
    EXPECT_EQ(pixel(children(parent).at(0), 5, 5), 0x0000FFul);  // the last value, 1
}

TEST_F(X11Frame, TheHostDestroyingItsWindowUnderAnOpenEditorIsSurvived) {
    auto* frame = new CFrame(CRect(0, 0, 607, 383), handle(parent), nullptr);
    ASSERT_TRUE(frame->isOpen());
    XDestroyWindow(host, parent);
    XSync(host, False);
    frame->addView(new solid_view(CRect(0, 0, 10, 10), CColor{255, 0, 0, 255}));
    frame->idle();  // presents into a window that is gone
    delete frame;
    SUCCEED();
}
