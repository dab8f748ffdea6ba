// The VST3 build's editor through IPlugView under X11, driven by our own run
// loop, held against the VST 2.x build's editor in the same process.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <set>
#include <thread>
#include <vector>

#include "../e2e/e2e_support.h"
#include "../gui/xvfb_environment.h"
#include "vst3_host.h"

namespace {

using namespace vst3_host;

constexpr int kWidth = 607, kHeight = 383;

class parent_window {
public:
    explicit parent_window(Display* d) : display_(d) {
        window_ = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, kWidth, kHeight, 0, 0, 0);
        XMapWindow(d, window_);
        XSync(d, False);
    }
    ~parent_window() {
        XDestroyWindow(display_, window_);
        XSync(display_, False);
    }
    void* handle() const { return reinterpret_cast<void*>(window_); }
    std::vector<Window> children() const {
        XSync(display_, False);
        Window root, parent, *list = nullptr;
        unsigned count = 0;
        std::vector<Window> result;
        if (XQueryTree(display_, window_, &root, &parent, &list, &count)) result.assign(list, list + count);
        if (list) XFree(list);
        return result;
    }
    // The editor's window as it shows now.
    std::vector<unsigned long> picture() const {
        const std::vector<Window> inside = children();
        if (inside.empty()) return {};
        XImage* image = XGetImage(display_, inside[0], 0, 0, kWidth, kHeight, AllPlanes, ZPixmap);
        if (!image) return {};
        std::vector<unsigned long> pixels;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) pixels.push_back(XGetPixel(image, x, y));
        XDestroyImage(image);
        return pixels;
    }

private:
    Display* display_;
    Window window_;
};

// Idles until two pictures a while apart agree: the response is drawn.
std::vector<unsigned long> settled_picture(const parent_window& parent, const std::function<void()>& idle) {
    std::vector<unsigned long> last;
    for (int tries = 0; tries < 100; ++tries) {
        for (int i = 0; i < 10; ++i) {
            idle();
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        std::vector<unsigned long> now = parent.picture();
        if (!now.empty() && now == last) return now;
        last = std::move(now);
    }
    return last;
}

class Vst3Editor : public ::testing::Test {
protected:
    void SetUp() override {
        if (!gui_test::display_available() || !(display = XOpenDisplay(nullptr))) GTEST_SKIP() << "no X display";
    }
    void TearDown() override {
        if (display) XCloseDisplay(display);
    }
    IPlugView* view(instance& plugin) {
        IPlugView* v = plugin.ctrl().createView(plugin.controller, "editor");
        EXPECT_NE(v, nullptr);
        return v;
    }

    e2e_sandbox sandbox{"8192"};
    module loaded{TESSVANE_VST3_PATH};
    Display* display = nullptr;
};

TEST_F(Vst3Editor, AHostWithoutARunLoopGetsNoEditor) {
    instance plugin(loaded);
    IPlugView* v = view(plugin);
    plug_frame frame(false);
    EXPECT_EQ(v->vtbl->isPlatformTypeSupported(v, "X11EmbedWindowID"), kResultTrue);
    EXPECT_EQ(v->vtbl->isPlatformTypeSupported(v, "HWND"), kResultFalse);
    v->vtbl->setFrame(v, frame.frame());
    parent_window parent(display);
    EXPECT_EQ(v->vtbl->attached(v, parent.handle(), "X11EmbedWindowID"), kResultFalse);
    EXPECT_TRUE(parent.children().empty());
    v->vtbl->unknown.release(v);
}

TEST_F(Vst3Editor, OpensInOurRunLoopAndShowsWhatTheVst2EditorShows) {
    const std::pair<int, float> settings[] = {{7, 1.0f}, {9, 0.6f}, {10, 0.8f}, {17, 1.0f}, {18, 1.0f}};
    instance plugin(loaded);
    for (auto [id, v] : settings) plugin.ctrl().setParamNormalized(plugin.controller, id, v);
    plugin.start(44100.0, 512);
    IPlugView* v = view(plugin);
    plug_frame frame(true);
    v->vtbl->setFrame(v, frame.frame());
    ViewRect size{};
    ASSERT_EQ(v->vtbl->getSize(v, &size), kResultOk);
    EXPECT_EQ(size.right - size.left, kWidth);
    EXPECT_EQ(size.bottom - size.top, kHeight);
    parent_window vst3_parent(display);
    ASSERT_EQ(v->vtbl->attached(v, vst3_parent.handle(), "X11EmbedWindowID"), kResultOk);
    EXPECT_EQ(frame.timers.size(), 1u);
    EXPECT_EQ(frame.handlers.size(), 1u);  // the editor's X connection
    const std::vector<unsigned long> shown = settled_picture(vst3_parent, [&] { frame.run_once(); });

    tessvane::host::host_settings vst2_settings;
    auto vst2 = tessvane::host::loaded_plugin::load(TESSVANE_PLUGIN_PATH, std::move(vst2_settings));
    vst2->start(44100.0f, 512);
    for (auto [id, value] : settings) vst2->set_parameter(id, value);
    parent_window vst2_parent(display);
    ASSERT_EQ(vst2->dispatch(effEditOpen, 0, 0, vst2_parent.handle()), 1);
    const std::vector<unsigned long> expected = settled_picture(vst2_parent, [&] { vst2->dispatch(effEditIdle); });
    vst2->dispatch(effEditClose);

    ASSERT_EQ(shown.size(), std::size_t(kWidth * kHeight));
    EXPECT_TRUE(shown == expected);
    // A drawn editor, not an empty window.
    EXPECT_GT(std::set<unsigned long>(shown.begin(), shown.end()).size(), 50u);
    EXPECT_EQ(v->vtbl->removed(v), kResultOk);
    EXPECT_TRUE(frame.timers.empty());
    EXPECT_TRUE(frame.handlers.empty());
    v->vtbl->unknown.release(v);
    EXPECT_TRUE(sandbox.messages().empty());
}

}  // namespace
