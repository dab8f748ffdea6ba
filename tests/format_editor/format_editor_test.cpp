// The VST3 and CLAP builds' editors under X11, each driven by our own side
// of its format (VST3: a frame's run loop; CLAP: timer and descriptor
// support), held against the VST 2.x build's editor in the same process.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <memory>
#include <set>
#include <thread>
#include <vector>

#include "../e2e/e2e_support.h"
#include "../gui/xvfb_environment.h"
#include "../clap/clap_host.h"
#include "../vst3/vst3_host.h"

namespace {

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

// One format's editor as a host opens it, with or without the host's loop.
class format_editor {
public:
    virtual ~format_editor() = default;
    virtual void set(int id, float value) = 0;
    // The host's scale, then the size the editor asks for.
    virtual std::pair<int, int> scaled_size(double scale) = 0;
    virtual bool open(void* parent) = 0;
    virtual void run_loop_once() = 0;
    virtual std::size_t timers() const = 0;
    virtual std::size_t watched_descriptors() const = 0;
    virtual bool close() = 0;
};

struct scale_support {
    const vst3::IPlugViewContentScaleSupport_vtbl* vtbl;
};

class vst3_editor final : public format_editor {
public:
    explicit vst3_editor(bool with_loop) : frame_(with_loop) {
        plugin_.start(44100.0, 512);
        view_ = plugin_.ctrl().createView(plugin_.controller, "editor");
        view_->vtbl->setFrame(view_, frame_.frame());
        vst3::ViewRect size{};
        EXPECT_EQ(view_->vtbl->getSize(view_, &size), vst3::kResultOk);
        EXPECT_EQ(size.right - size.left, kWidth);
        EXPECT_EQ(size.bottom - size.top, kHeight);
        EXPECT_EQ(view_->vtbl->isPlatformTypeSupported(view_, "X11EmbedWindowID"), vst3::kResultTrue);
        EXPECT_EQ(view_->vtbl->isPlatformTypeSupported(view_, "HWND"), vst3::kResultFalse);
    }
    ~vst3_editor() override { view_->vtbl->unknown.release(view_); }
    void set(int id, float value) override { plugin_.ctrl().setParamNormalized(plugin_.controller, id, value); }
    std::pair<int, int> scaled_size(double scale) override {
        void* support = nullptr;
        EXPECT_EQ(view_->vtbl->unknown.queryInterface(
                      view_, vst3::id_bytes(vst3::iid::IPlugViewContentScaleSupport).data(), &support),
                  vst3::kResultOk);
        auto* scaling = static_cast<scale_support*>(support);
        EXPECT_EQ(scaling->vtbl->setContentScaleFactor(scaling, float(scale)), vst3::kResultTrue);
        scaling->vtbl->unknown.release(scaling);
        vst3::ViewRect size{};
        EXPECT_EQ(view_->vtbl->getSize(view_, &size), vst3::kResultOk);
        return {size.right - size.left, size.bottom - size.top};
    }
    bool open(void* parent) override {
        return view_->vtbl->attached(view_, parent, "X11EmbedWindowID") == vst3::kResultOk;
    }
    void run_loop_once() override { frame_.run_once(); }
    std::size_t timers() const override { return frame_.timers.size(); }
    std::size_t watched_descriptors() const override { return frame_.handlers.size(); }
    bool close() override { return view_->vtbl->removed(view_) == vst3::kResultOk; }

private:
    vst3_host::module loaded_{TESSVANE_VST3_PATH};
    vst3_host::instance plugin_{loaded_};
    vst3_host::plug_frame frame_;
    vst3::IPlugView* view_ = nullptr;
};

class clap_editor final : public format_editor {
public:
    explicit clap_editor(bool with_loop) : host_(clap_test_host::host::offers{true, with_loop, with_loop, true}) {
        plugin_.start(44100.0, 512);
        std::uint32_t width = 0, height = 0;
        EXPECT_TRUE(gui().get_size(plugin_.plugin, &width, &height));
        EXPECT_EQ(width, std::uint32_t(kWidth));
        EXPECT_EQ(height, std::uint32_t(kHeight));
        EXPECT_TRUE(gui().is_api_supported(plugin_.plugin, "x11", false));
        EXPECT_FALSE(gui().is_api_supported(plugin_.plugin, "x11", true));
        EXPECT_FALSE(gui().is_api_supported(plugin_.plugin, "win32", false));
    }
    void set(int id, float value) override {
        clap_test_host::events ev;
        ev.add(static_cast<clap::clap_id>(id), 0, value);
        const clap::clap_input_events in = ev.input();
        const clap::clap_output_events out = ev.output();
        plugin_.params().flush(plugin_.plugin, &in, &out);
    }
    std::pair<int, int> scaled_size(double scale) override {
        EXPECT_TRUE(gui().create(plugin_.plugin, "x11", false));
        EXPECT_TRUE(gui().set_scale(plugin_.plugin, scale));
        std::uint32_t width = 0, height = 0;
        EXPECT_TRUE(gui().get_size(plugin_.plugin, &width, &height));
        EXPECT_TRUE(gui().set_size(plugin_.plugin, width, height));
        EXPECT_FALSE(gui().set_size(plugin_.plugin, kWidth, kHeight));
        created_ = true;
        return {int(width), int(height)};
    }
    bool open(void* parent) override {
        if (!created_ && !gui().create(plugin_.plugin, "x11", false)) return false;
        clap::clap_window window{};
        window.api = "x11";
        window.x11 = reinterpret_cast<unsigned long>(parent);
        return gui().set_parent(plugin_.plugin, &window) && gui().show(plugin_.plugin);
    }
    void run_loop_once() override { host_.run_once(plugin_.plugin); }
    std::size_t timers() const override { return host_.timers.size(); }
    std::size_t watched_descriptors() const override { return host_.descriptors.size(); }
    bool close() override {
        gui().destroy(plugin_.plugin);
        return true;
    }

private:
    const clap::clap_plugin_gui& gui() const { return plugin_.gui(); }
    clap_test_host::module loaded_{TESSVANE_CLAP_PATH};
    clap_test_host::host host_;
    clap_test_host::instance plugin_{loaded_, host_};
    bool created_ = false;
};

enum class format { vst3, clap };

std::unique_ptr<format_editor> make_editor(format f, bool with_loop) {
    if (f == format::vst3) return std::make_unique<vst3_editor>(with_loop);
    return std::make_unique<clap_editor>(with_loop);
}

class FormatEditor : public ::testing::TestWithParam<format> {
protected:
    void SetUp() override {
        if (!gui_test::display_available() || !(display = XOpenDisplay(nullptr))) GTEST_SKIP() << "no X display";
    }
    void TearDown() override {
        if (display) XCloseDisplay(display);
    }

    e2e_sandbox sandbox{"8192"};
    Display* display = nullptr;
};

// Nothing else would pump the window.
TEST_P(FormatEditor, AHostWithoutItsLoopGetsNoEditor) {
    auto editor = make_editor(GetParam(), false);
    parent_window parent(display);
    EXPECT_FALSE(editor->open(parent.handle()));
    EXPECT_TRUE(parent.children().empty());
    editor->close();
}

TEST_P(FormatEditor, OpensInOurLoopAndShowsWhatTheVst2EditorShows) {
    const std::pair<int, float> settings[] = {{7, 1.0f}, {9, 0.6f}, {10, 0.8f}, {17, 1.0f}, {18, 1.0f}};
    auto editor = make_editor(GetParam(), true);
    for (auto [id, v] : settings) editor->set(id, v);
    parent_window format_parent(display);
    ASSERT_TRUE(editor->open(format_parent.handle()));
    EXPECT_EQ(editor->timers(), 1u);
    EXPECT_EQ(editor->watched_descriptors(), 1u);  // the editor's X connection
    const std::vector<unsigned long> shown = settled_picture(format_parent, [&] { editor->run_loop_once(); });

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
    EXPECT_TRUE(editor->close());
    EXPECT_EQ(editor->timers(), 0u);
    EXPECT_EQ(editor->watched_descriptors(), 0u);
    EXPECT_TRUE(sandbox.messages().empty());
}

// Sizes are pixels: the host's scale multiplies them.
TEST_P(FormatEditor, TheHostsScaleSizesTheEditorInPixels) {
    auto editor = make_editor(GetParam(), true);
    EXPECT_EQ(editor->scaled_size(1.5), std::make_pair(911, 575));
    parent_window parent(display);
    ASSERT_TRUE(editor->open(parent.handle()));
    XWindowAttributes attributes;
    XGetWindowAttributes(display, parent.children().at(0), &attributes);
    EXPECT_EQ(attributes.width, 911);
    EXPECT_EQ(attributes.height, 575);
    EXPECT_TRUE(editor->close());
}

INSTANTIATE_TEST_SUITE_P(Formats, FormatEditor, ::testing::Values(format::vst3, format::clap),
                         [](const auto& info) { return info.param == format::vst3 ? "Vst3" : "Clap"; });

}  // namespace
