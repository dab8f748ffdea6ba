// The message dialog on a real (virtual) X server.
// gtest first: Xlib defines None and Bool as macros.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include "gui/x11_message_dialog.h"
#include "test_images.h"
#include "xvfb_environment.h"

using namespace VSTGUI;

class X11MessageDialog : public ::testing::Test {
protected:
    Display* user = nullptr;  // stands in for the user's clicks and keys
    platform::message message;

    void SetUp() override {
        if (!gui_test::display_available()) GTEST_SKIP() << "no X display and no Xvfb";
        user = XOpenDisplay(nullptr);
        ASSERT_NE(user, nullptr);
        message.text =
            "Linear phase FIR of 4096 samples selected and will be used the next time the plugin is "
            "started.";
        message.caption = "Ravelthorpe: Tessvane LE";
        message.icon = platform::message_icon::information;
    }
    void TearDown() override {
        if (user) XCloseDisplay(user);
    }
    void send(Window w, int type, unsigned button, CPoint where) {
        XEvent e = {};
        e.xbutton.type = type;
        e.xbutton.window = w;
        e.xbutton.button = button;
        e.xbutton.x = where.x;
        e.xbutton.y = where.y;
        e.xbutton.same_screen = True;
        XSendEvent(user, w, False, type == ButtonPress ? ButtonPressMask : ButtonReleaseMask, &e);
        XSync(user, False);
    }
};

TEST_F(X11MessageDialog, IsATopLevelWindowTitledWithTheCaptionShowingTheWrappedText) {
    detail::x11_message_dialog dialog(message);
    ASSERT_TRUE(dialog.open());
    char* name = nullptr;
    ASSERT_TRUE(XFetchName(user, dialog.window(), &name));
    EXPECT_STREQ(name, "Ravelthorpe: Tessvane LE");
    XFree(name);
    Window root = 0, parent = 0, *kids = nullptr;
    unsigned count = 0;
    ASSERT_TRUE(XQueryTree(user, dialog.window(), &root, &parent, &kids, &count));
    if (kids) XFree(kids);
    EXPECT_EQ(parent, root);
    EXPECT_GT(dialog.lines().size(), 1u);
    const CRect ok = dialog.okButton();
    const CRect text(0, 0, dialog.picture().getWidth(), ok.top);
    EXPECT_FALSE(gui_test::ink_box(dialog.picture(), text, CColor{240, 240, 240, 255}.premultiplied()).isEmpty());
}

// At the editor's scale too: the window grows, the clicks are in its pixels.
TEST_F(X11MessageDialog, ClickingOkEndsItsEventLoopAtEveryScale) {
    for (const double scale : {1.0, 2.0}) {
        detail::x11_message_dialog dialog(message, scale);
        ASSERT_TRUE(dialog.open());
        XWindowAttributes attributes;
        ASSERT_TRUE(XGetWindowAttributes(user, dialog.window(), &attributes));
        EXPECT_EQ(attributes.width, int(400 * scale));
        const CRect ok = dialog.okButton();
        const CPoint inside(int((ok.left + 5) * scale), int((ok.top + 5) * scale));
        const CPoint off_ok(int((ok.left - 5) * scale), inside.y);
        send(dialog.window(), ButtonPress, Button1, off_ok);  // not on OK: ignored
        send(dialog.window(), ButtonRelease, Button1, off_ok);
        send(dialog.window(), ButtonPress, Button1, inside);
        send(dialog.window(), ButtonRelease, Button1, inside);
        dialog.run();  // returns only because OK was clicked
    }
}

TEST_F(X11MessageDialog, ReturnEndsItsEventLoop) {
    detail::x11_message_dialog dialog(message);
    ASSERT_TRUE(dialog.open());
    XEvent e = {};
    e.xkey.type = KeyPress;
    e.xkey.window = dialog.window();
    e.xkey.keycode = XKeysymToKeycode(user, XK_Return);
    e.xkey.same_screen = True;
    XSendEvent(user, dialog.window(), False, KeyPressMask, &e);
    XSync(user, False);
    dialog.run();
    SUCCEED();
}
