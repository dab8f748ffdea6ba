// The editors of the built DLLs in a Win32 window: the VST 2.x DLLs' (stereo
// and M/S) through their dispatchers, the VST3 DLL's through its IPlugView
// ("HWND"), each loaded and driven with the window's messages as a Windows
// host drives it.
#include <windows.h>

#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "../vst3/vst3_host.h"
#include "dsp/eq_layout.h"
#include "plugin/vst2/aeffect.h"
#include "temporary_registry_hives.h"

namespace {

constexpr int kWidth = 607;
constexpr int kHeight = 383;
// Band 1's frequency knob (tag 4) in the editor's window.
constexpr int kKnobX = 222;
constexpr int kKnobY = 99;
// Colours of the response display, 0x00RRGGBB.
constexpr std::uint32_t kFlatCurve = 0x739C25;  // (115, 156, 37): filters on
constexpr std::uint32_t kGrid = 0x828282;
// The M/S editor's "Place" menu on the shown band tab.
constexpr RECT kPlaceMenu = {387, 118, 433, 132};

// What the VST 2.x build told its host of edits: "begin 4", "perform 4", "end 4".
std::vector<std::string> vst2_edits;

VstIntPtr VSTCALLBACK host_callback(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr, void*, float) {
    const char* edit = opcode == audioMasterBeginEdit  ? "begin "
                       : opcode == audioMasterAutomate ? "perform "
                       : opcode == audioMasterEndEdit  ? "end "
                                                       : nullptr;
    if (edit) vst2_edits.push_back(edit + std::to_string(index));
    return opcode == audioMasterVersion ? 2400 : 0;
}

void pump_messages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// A top-level window standing in for the host's; null without a display.
// Never shown: Wine waits two seconds for a window manager when a shown
// top-level window is destroyed, and PrintWindow needs no screen.
HWND make_host_window() {
    return CreateWindowExA(0, "STATIC", "host", WS_OVERLAPPEDWINDOW, 0, 0, 700, 500, nullptr, nullptr, nullptr,
                           nullptr);
}

LPARAM client_point(int x, int y) { return MAKELPARAM(x, y); }

// 0x00RRGGBB words, top row first; empty when the file cannot be read.
std::vector<std::uint32_t> read_png(const char* path, int& width, int& height) {
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    std::vector<std::uint32_t> pixels;
    if (!png_image_begin_read_from_file(&image, path)) return pixels;
    image.format = PNG_FORMAT_BGRA;
    pixels.resize(std::size_t(image.width) * image.height);
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) return {};
    width = int(image.width);
    height = int(image.height);
    for (std::uint32_t& p : pixels) p &= 0xFFFFFF;
    return pixels;
}

void write_png(const char* path, const std::vector<std::uint32_t>& pixels, int width, int height) {
    std::vector<std::uint32_t> opaque(pixels);
    for (std::uint32_t& p : opaque) p |= 0xFF000000u;
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(width);
    image.height = png_uint_32(height);
    image.format = PNG_FORMAT_BGRA;
    png_image_write_to_file(&image, path, 0, opaque.data(), 0, nullptr);
}

enum class read_back { print_window, window_dc };

// What the window shows, as 0x00RRGGBB words: as PrintWindow has it drawn,
// or as its device context holds it on the screen.
std::vector<std::uint32_t> window_pixels(HWND window, read_back how = read_back::print_window, int width = kWidth,
                                         int height = kHeight) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, dib);
    std::vector<std::uint32_t> pixels;
    HDC window_dc = how == read_back::window_dc ? GetDC(window) : nullptr;
    const bool read = how == read_back::print_window
                          ? PrintWindow(window, dc, PW_CLIENTONLY)
                          : window_dc && BitBlt(dc, 0, 0, width, height, window_dc, 0, 0, SRCCOPY);
    if (window_dc) ReleaseDC(window, window_dc);
    if (read) {
        GdiFlush();
        const auto* words = static_cast<const std::uint32_t*>(bits);
        pixels.assign(words, words + std::size_t(width) * std::size_t(height));
        for (std::uint32_t& p : pixels) p &= 0xFFFFFF;
    }
    DeleteDC(dc);
    DeleteObject(dib);
    return pixels;
}

bool inside(const RECT& rect, int x, int y) {
    return x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
}

// The pixels where two pictures differ, but for the busy indicator at
// (1, 4): it follows the worker's start-up pass, which may end between them.
int differing_pixels(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b,
                     const RECT& also_ignored = {}) {
    constexpr RECT busy_indicator = {1, 4, 17, 20};
    int differing = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const std::size_t i = std::size_t(y) * kWidth + x;
            differing += !inside(busy_indicator, x, y) && !inside(also_ignored, x, y) && a[i] != b[i];
        }
    return differing;
}

// How many pixels of a window's picture inside a rect pass a test.
template <class Test>
int count_pixels(const std::vector<std::uint32_t>& pixels, const RECT& rect, Test test) {
    int counted = 0;
    for (int y = rect.top; y < rect.bottom; ++y)
        for (int x = rect.left; x < rect.right; ++x) counted += test(pixels[std::size_t(y) * kWidth + x]);
    return counted;
}

// One build's plug-in, started at 44100 Hz, and its editor, as a Windows
// host opens it.
class plugin_editor {
public:
    virtual ~plugin_editor() = default;
    virtual RECT size() = 0;
    virtual bool attach(HWND parent) = 0;
    virtual void close() = 0;
    // The host's idle step, where the format has one, and the messages.
    virtual void idle(int times) = 0;
    virtual float parameter(int id) = 0;
    // What the plug-in told the host of edits since the last clear.
    virtual std::vector<std::string> edits() = 0;
    virtual void clear_edits() = 0;
    // Drags move knobs in a line (or turn them) where the format lets the
    // host say so; false where it does not.
    virtual bool set_linear_knobs(bool linear) = 0;

    // The editor's window, or null.
    HWND open(HWND parent) {
        if (!attach(parent)) return nullptr;
        idle(3);
        return GetWindow(parent, GW_CHILD);
    }
};

class vst2_editor final : public plugin_editor {
public:
    explicit vst2_editor(const char* path) {
        module = LoadLibraryA(path);
        if (!module) throw std::runtime_error("LoadLibrary error " + std::to_string(GetLastError()));
        const auto entry =
            reinterpret_cast<VstPluginMainProc>(reinterpret_cast<void (*)()>(GetProcAddress(module, "VSTPluginMain")));
        effect = entry ? entry(host_callback) : nullptr;
        if (!effect) throw std::runtime_error("no effect");
        dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
        dispatch(effMainsChanged, 0, 1);
        vst2_edits.clear();
    }
    ~vst2_editor() override {
        if (effect) dispatch(effClose);
        FreeLibrary(module);
    }

    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.0f) {
        return effect->dispatcher(effect, opcode, index, value, ptr, opt);
    }

    RECT size() override {
        ERect* rect = nullptr;
        if (dispatch(effEditGetRect, 0, 0, &rect) != 1 || !rect) return {};
        return {rect->left, rect->top, rect->right, rect->bottom};
    }
    bool attach(HWND parent) override { return dispatch(effEditOpen, 0, 0, parent) == 1; }
    void close() override { dispatch(effEditClose); }
    void idle(int times) override {
        for (int i = 0; i < times; ++i) {
            pump_messages();
            dispatch(effEditIdle);
        }
        pump_messages();
    }
    float parameter(int id) override { return effect->getParameter(effect, id); }
    std::vector<std::string> edits() override { return vst2_edits; }
    void clear_edits() override { vst2_edits.clear(); }
    bool set_linear_knobs(bool linear) override { return dispatch(effSetEditKnobMode, 0, linear ? 2 : 0) == 1; }

    HMODULE module = nullptr;
    AEffect* effect = nullptr;
};

class vst3_editor final : public plugin_editor {
public:
    vst3_editor() {
        plugin_.start(44100.0, 512);
        plugin_.ctrl().setComponentHandler(plugin_.controller, handler_.handler());
        view_ = plugin_.ctrl().createView(plugin_.controller, "editor");
        if (!view_) throw std::runtime_error("no view");
        view_->vtbl->setFrame(view_, frame_.frame());
    }
    ~vst3_editor() override {
        close();
        view_->vtbl->unknown.release(view_);
        plugin_.ctrl().setComponentHandler(plugin_.controller, nullptr);
        plugin_.stop();
    }

    RECT size() override {
        vst3::ViewRect rect{};
        if (view_->vtbl->getSize(view_, &rect) != vst3::kResultOk) return {};
        return {rect.left, rect.top, rect.right, rect.bottom};
    }
    bool attach(HWND parent) override {
        return view_->vtbl->isPlatformTypeSupported(view_, vst3::kPlatformTypeHWND) == vst3::kResultTrue &&
               view_->vtbl->attached(view_, parent, vst3::kPlatformTypeHWND) == vst3::kResultOk;
    }
    void close() override { view_->vtbl->removed(view_); }
    // The view's own timer runs the idle step from the thread's messages.
    void idle(int times) override {
        for (int i = 0; i <= times; ++i) {
            pump_messages();
            if (i < times) Sleep(20);
        }
    }
    float parameter(int id) override {
        return static_cast<float>(plugin_.ctrl().getParamNormalized(plugin_.controller, vst3::ParamID(id)));
    }
    // The edits alone, without the value each perform carries.
    std::vector<std::string> edits() override {
        std::vector<std::string> calls;
        for (const std::string& call : handler_.calls) {
            if (call.rfind("perform ", 0) == 0)
                calls.push_back(call.substr(0, call.rfind(' ')));
            else if (call.rfind("restart ", 0) != 0)
                calls.push_back(call);
        }
        return calls;
    }
    void clear_edits() override { handler_.calls.clear(); }
    bool set_linear_knobs(bool) override { return false; }

private:
    vst3_host::module loaded_{TESSVANE_VST3_DLL};
    vst3_host::instance plugin_{loaded_};
    vst3_host::component_handler handler_;
    vst3_host::plug_frame frame_{false};
    vst3::IPlugView* view_ = nullptr;
};

enum class format { vst2, vst2_mid_side, vst3 };

std::string format_name(const testing::TestParamInfo<format>& info) {
    return info.param == format::vst2 ? "Vst2" : info.param == format::vst2_mid_side ? "Vst2MidSide" : "Vst3";
}

// The host's window, the settings and the message log around one build's editor.
template <class Base>
class editor_fixture : public Base {
protected:
    void prepare(format plugin_format) {
        parent = make_host_window();
        if (!parent) GTEST_SKIP() << "no windows without a display (Wine outside Xvfb)";
        ASSERT_TRUE(hives.overrides_work());
        hives.put(platform::settings_hive::per_user, "SOFTWARE\\Ravelthorpe\\Tessvane LE", "Latency", "4096");
        _putenv_s("TESSVANE_MESSAGE_LOG", message_log.c_str());  // a real box would wait for a click
        editor = make_editor(plugin_format);
    }

    void TearDown() override {
        editor.reset();
        if (parent) DestroyWindow(parent);
        _putenv_s("TESSVANE_MESSAGE_LOG", "");
        DeleteFileA(message_log.c_str());
    }

    static std::unique_ptr<plugin_editor> make_editor(format plugin_format) {
        if (plugin_format == format::vst2) return std::make_unique<vst2_editor>(TESSVANE_PLUGIN_DLL);
        if (plugin_format == format::vst2_mid_side) return std::make_unique<vst2_editor>(TESSVANE_MID_SIDE_PLUGIN_DLL);
        return std::make_unique<vst3_editor>();
    }

    HWND open_editor() { return editor->open(parent); }
    void idle(int times) { editor->idle(times); }

    bool messages_logged() const {
        const DWORD attributes = GetFileAttributesA(message_log.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES;
    }

    temporary_registry_hives hives;
    const std::string message_log = "tessvane-editor-messages-" + std::to_string(GetCurrentProcessId()) + ".txt";
    std::unique_ptr<plugin_editor> editor;
    HWND parent = nullptr;
};

// What both builds' editors do alike.
class EachFormatsEditor : public editor_fixture<testing::TestWithParam<format>> {
protected:
    void SetUp() override { prepare(GetParam()); }
};

// The VST 2.x build's editor, through what only its dispatcher offers too.
template <format Format>
class vst2_fixture : public editor_fixture<testing::Test> {
protected:
    void SetUp() override { prepare(Format); }
    vst2_editor& vst2() { return static_cast<vst2_editor&>(*editor); }
    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0) {
        return vst2().dispatch(opcode, index, value);
    }
    void set_parameter(int id, float value) { vst2().effect->setParameter(vst2().effect, id, value); }
};
using WindowsEditor = vst2_fixture<format::vst2>;
using MidSideWindowsEditor = vst2_fixture<format::vst2_mid_side>;

TEST_P(EachFormatsEditor, AnswersItsSizeBeforeOpeningAndOpensAsTheHostWindowsOnly607By383Child) {
    const RECT size = editor->size();
    EXPECT_EQ(size.top, 0);
    EXPECT_EQ(size.left, 0);
    EXPECT_EQ(size.bottom, kHeight);
    EXPECT_EQ(size.right, kWidth);

    const HWND child = open_editor();
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(GetParent(child), parent);
    EXPECT_EQ(GetWindow(child, GW_HWNDNEXT), nullptr);
    const LONG style = GetWindowLongA(child, GWL_STYLE);
    EXPECT_TRUE(style & WS_CHILD);
    EXPECT_TRUE(style & WS_VISIBLE);
    RECT client;
    ASSERT_TRUE(GetClientRect(child, &client));
    EXPECT_EQ(client.right - client.left, kWidth);
    EXPECT_EQ(client.bottom - client.top, kHeight);
    char class_name[128] = {};
    ASSERT_GT(GetClassNameA(child, class_name, sizeof class_name), 0);
    EXPECT_EQ(std::string(class_name).rfind("TessvaneLE editor ", 0), 0u) << class_name;
    const auto owner = reinterpret_cast<HINSTANCE>(GetClassLongPtrA(child, GCLP_HMODULE));

    editor->close();
    EXPECT_FALSE(IsWindow(child));
    WNDCLASSEXA info = {};
    info.cbSize = sizeof info;
    EXPECT_FALSE(GetClassInfoExA(owner, class_name, &info)) << "the class outlives the last window";
    EXPECT_FALSE(messages_logged());
}

// A host aware of the screen's DPI gets the editor at its scale, the nearest
// quarter step: at 96 the plain editor, at 192 (LogPixels in Wine's
// registry) one twice as large showing the double-size art.
TEST_P(EachFormatsEditor, AnAwareHostGetsTheEditorAtTheScaleOfTheSystemsDpi) {
    SetProcessDPIAware();
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    const char* expected_dpi = std::getenv("TESSVANE_SCREEN_DPI");
    if (expected_dpi) {
        ASSERT_EQ(dpi, std::atoi(expected_dpi));
    }
    const double scale = std::clamp(std::round(dpi / 96.0 * 4.0) / 4.0, 1.0, 2.0);
    const int width = int(std::lround(kWidth * scale)), height = int(std::lround(kHeight * scale));
    const RECT size = editor->size();
    EXPECT_EQ(size.right - size.left, width) << dpi << " dpi";
    EXPECT_EQ(size.bottom - size.top, height);
    const HWND child = open_editor();
    ASSERT_NE(child, nullptr);
    RECT client;
    ASSERT_TRUE(GetClientRect(child, &client));
    EXPECT_EQ(client.right - client.left, width);
    EXPECT_EQ(client.bottom - client.top, height);
    if (scale != 2.0) return;
    // The product's name under the tab view as the art drew it at twice the size.
    int art_width = 0, art_height = 0;
    const std::vector<std::uint32_t> art = read_png(TESSVANE_DOUBLE_BACKGROUND_PNG, art_width, art_height);
    ASSERT_EQ(art_width, width);
    const std::vector<std::uint32_t> shown = window_pixels(child, read_back::print_window, width, height);
    ASSERT_EQ(shown.size(), std::size_t(width) * std::size_t(height));
    int differing = 0;
    for (int y = 312; y < 340; ++y)
        for (int x = 12; x < 400; ++x)
            differing += shown[std::size_t(y) * width + x] != art[std::size_t(y) * width + x];
    EXPECT_EQ(differing, 0);
}

TEST_P(EachFormatsEditor, ReopensAfterCloseToleratesCloseTwiceAndRefusesParentsThatAreNoWindows) {
    ASSERT_NE(open_editor(), nullptr);
    editor->close();
    EXPECT_EQ(GetWindow(parent, GW_CHILD), nullptr);
    ASSERT_NE(open_editor(), nullptr);
    editor->close();
    editor->close();
    EXPECT_EQ(GetWindow(parent, GW_CHILD), nullptr);

    const HWND destroyed =
        CreateWindowExA(0, "STATIC", "gone", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    DestroyWindow(destroyed);
    for (HWND bad : {destroyed, reinterpret_cast<HWND>(0x7ffe0), HWND(nullptr)}) {
        EXPECT_FALSE(editor->attach(bad)) << bad;
        idle(1);
        editor->close();
    }
    const HWND child = open_editor();
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(GetParent(child), parent);
    EXPECT_FALSE(messages_logged());
}

TEST_F(WindowsEditor, TheHostDestroyingItsWindowUnderAnOpenEditorIsSurvived) {
    const HWND child = open_editor();
    ASSERT_NE(child, nullptr);
    DestroyWindow(parent);
    parent = nullptr;
    EXPECT_FALSE(IsWindow(child));
    vst2().effect->setParameter(vst2().effect, 4, 0.7f);  // a redraw with nowhere to show it
    idle(2);
    dispatch(effEditClose);
    parent = make_host_window();
    EXPECT_NE(open_editor(), nullptr);
}

// The FIR-length choice's notice comes from the plug-in's delivery thread:
// the click returns at once, the host may close the editor straight after,
// and the notice still reaches the user (here the message log).
TEST_F(WindowsEditor, AFirLengthChoiceTellsTheUserWithoutHoldingUpTheHostWhichMayCloseTheEditor) {
    const HWND child = open_editor();
    ASSERT_NE(child, nullptr);
    constexpr int menu_x = 550, menu_y = 143;            // the FIR-length field
    constexpr int entry_32768_y = 150 + 1 + 6 * 14 + 7;  // its list below it, 14 pixels an entry
    SendMessageA(child, WM_LBUTTONDOWN, MK_LBUTTON, client_point(menu_x, menu_y));
    SendMessageA(child, WM_LBUTTONUP, 0, client_point(menu_x, menu_y));
    idle(2);
    SendMessageA(child, WM_LBUTTONDOWN, MK_LBUTTON, client_point(menu_x, entry_32768_y));
    dispatch(effEditClose);
    SendMessageA(child, WM_LBUTTONUP, 0, client_point(menu_x, entry_32768_y));  // a late release to a closed editor
    for (int i = 0; i < 500 && !messages_logged(); ++i) Sleep(10);
    EXPECT_TRUE(messages_logged());
    // Read back as the registry keeps it: with its terminating zero.
    EXPECT_STREQ(
        hives.get(platform::settings_hive::per_user, "SOFTWARE\\Ravelthorpe\\Tessvane LE", "Latency").bytes.c_str(),
        "32768");
    EXPECT_NE(open_editor(), nullptr);
}

// Linear where the host can ask for it; else the knob turns to the mouse's
// angle, here straight above its centre: the middle of its travel.
TEST_P(EachFormatsEditor, DraggingAKnobUpHoldsTheMouseAndChangesItsParameterInsideOneEdit) {
    const bool linear = editor->set_linear_knobs(true);
    const HWND child = open_editor();
    ASSERT_NE(child, nullptr);
    const float before = editor->parameter(4);
    editor->clear_edits();

    PostMessageA(child, WM_LBUTTONDOWN, MK_LBUTTON, client_point(kKnobX, kKnobY));
    idle(1);
    EXPECT_EQ(GetCapture(), child);
    for (int step = 1; step <= 5; ++step) {
        PostMessageA(child, WM_MOUSEMOVE, MK_LBUTTON, client_point(kKnobX, kKnobY - 10 * step));
        idle(1);
    }
    PostMessageA(child, WM_LBUTTONUP, 0, client_point(kKnobX, kKnobY - 50));
    idle(2);
    EXPECT_EQ(GetCapture(), nullptr);

    EXPECT_NEAR(editor->parameter(4), linear ? before + 50.0f / 200.0f : 0.5f, 0.02f);
    const std::vector<std::string> edits = editor->edits();
    ASSERT_GE(edits.size(), 3u);
    EXPECT_EQ(edits.front(), "begin 4");
    EXPECT_EQ(edits.back(), "end 4");
    for (std::size_t i = 1; i + 1 < edits.size(); ++i) EXPECT_EQ(edits[i], "perform 4") << i;
    editor->set_linear_knobs(false);
}

TEST_F(WindowsEditor, ShiftDragsFinelyAndControlClickResetsTheKnob) {
    ASSERT_EQ(dispatch(effSetEditKnobMode, 0, 2), 1);
    const HWND child = open_editor();
    ASSERT_NE(child, nullptr);
    const float before = editor->parameter(4);
    SendMessageA(child, WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, client_point(kKnobX, kKnobY));
    SendMessageA(child, WM_MOUSEMOVE, MK_LBUTTON | MK_SHIFT, client_point(kKnobX, kKnobY - 60));
    SendMessageA(child, WM_LBUTTONUP, MK_SHIFT, client_point(kKnobX, kKnobY - 60));
    EXPECT_NEAR(editor->parameter(4), before + 60.0f / 2400.0f, 1e-4f);  // factor 12

    SendMessageA(child, WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL, client_point(kKnobX, kKnobY));
    SendMessageA(child, WM_LBUTTONUP, MK_CONTROL, client_point(kKnobX, kKnobY));
    EXPECT_EQ(editor->parameter(4), 0.2f);  // the default program's 395 Hz
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(editor->edits().back(), "end 4");
    dispatch(effSetEditKnobMode, 0, 0);
}

TEST_P(EachFormatsEditor, LosingTheMouseMidDragEndsTheEdit) {
    const HWND child = open_editor();
    ASSERT_NE(child, nullptr);
    SendMessageA(child, WM_LBUTTONDOWN, MK_LBUTTON, client_point(kKnobX, kKnobY));
    ASSERT_EQ(GetCapture(), child);
    ReleaseCapture();  // as when a host's dialog takes the mouse
    idle(1);
    const std::vector<std::string> edits = editor->edits();
    ASSERT_FALSE(edits.empty());
    EXPECT_EQ(edits.front(), "begin 4");
    EXPECT_EQ(edits.back(), "end 4");
    editor->clear_edits();
    SendMessageA(child, WM_LBUTTONUP, 0, client_point(kKnobX, kKnobY));  // its late release changes nothing
    EXPECT_TRUE(editor->edits().empty());
}

TEST_P(EachFormatsEditor, TheWheelStepsTheKnobUnderTheMouseGivenInScreenCoordinates) {
    const HWND child = open_editor();
    ASSERT_NE(child, nullptr);
    const float before = editor->parameter(4);
    editor->clear_edits();
    POINT screen = {kKnobX, kKnobY};
    ClientToScreen(child, &screen);
    SendMessageA(child, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(screen.x, screen.y));
    EXPECT_NEAR(editor->parameter(4), before + 0.01f, 1e-5f);
    EXPECT_EQ(editor->edits(), (std::vector<std::string>{"begin 4", "perform 4", "end 4"}));
}

// Everything but text is drawn by our own renderer from the same bitmaps,
// so it must match the Linux picture pixel for pixel; text comes from GDI
// and need only be there. The VST3 build shows the VST 2.x build's picture.
TEST_P(EachFormatsEditor, ShowsTheBackgroundAndTheResponseDisplayAsLinuxDraws) {
    const HWND child = open_editor();
    ASSERT_NE(child, nullptr);
    const std::vector<std::uint32_t> shown = window_pixels(child);
    ASSERT_EQ(shown.size(), std::size_t(kWidth) * kHeight);
    write_png(GetParam() == format::vst2            ? TESSVANE_SCREENSHOT_PNG
              : GetParam() == format::vst2_mid_side ? TESSVANE_MID_SIDE_SCREENSHOT_PNG
                                                    : TESSVANE_VST3_SCREENSHOT_PNG,
              shown, kWidth, kHeight);
    const auto at = [&](int x, int y) { return shown[std::size_t(y) * kWidth + x]; };

    // Between the tab view and the response display only the background
    // shows: the rule, the product name and the maker's logo.
    int width = 0, height = 0;
    const std::vector<std::uint32_t> background = read_png(TESSVANE_BACKGROUND_PNG, width, height);
    ASSERT_EQ(width, kWidth);
    ASSERT_EQ(height, kHeight);
    int differing = 0;
    for (int y = 155; y < 181; ++y)
        for (int x = 0; x < kWidth; ++x) differing += at(x, y) != background[std::size_t(y) * kWidth + x];
    EXPECT_EQ(differing, 0);

    // The response display at (5, 181): white, with the flat curve of
    // bands that are all off on its 0 dB row, and the scale's labels inked.
    constexpr int left = 5, top = 181, zero_row = top + 98;
    EXPECT_EQ(at(300, top + 30), 0xFFFFFFu);
    EXPECT_EQ(at(500, top + 170), 0xFFFFFFu);
    for (int x = left + 35; x < left + 597; x += 37) EXPECT_EQ(at(x, zero_row), kFlatCurve) << x;
    EXPECT_EQ(at(left + 34, top + 10), kGrid);
    int inked = 0;
    for (int y = top + 94; y < top + 104; ++y)
        for (int x = left; x < left + 33; ++x) inked += (at(x, y) & 0xFF) < 0xC0;  // "0 dB"
    EXPECT_GT(inked, 8);

    // Shown on the screen, WM_PAINT puts up the same picture.
    ShowWindow(parent, SW_SHOWNOACTIVATE);
    UpdateWindow(parent);
    idle(2);
    const std::vector<std::uint32_t> on_screen = window_pixels(child, read_back::window_dc);
    ASSERT_EQ(on_screen.size(), shown.size());
    EXPECT_EQ(differing_pixels(on_screen, shown), 0);

    if (GetParam() != format::vst2) {
        std::unique_ptr<plugin_editor> vst2 = make_editor(format::vst2);
        const HWND vst2_parent = make_host_window();
        const HWND vst2_child = vst2->open(vst2_parent);
        ASSERT_NE(vst2_child, nullptr);
        const std::vector<std::uint32_t> stereo = window_pixels(vst2_child);
        vst2->close();
        DestroyWindow(vst2_parent);
        if (GetParam() == format::vst3) {
            EXPECT_EQ(differing_pixels(stereo, shown), 0);
        } else {
            // The M/S editor adds its Place menu, showing "Stereo", and nothing else.
            EXPECT_EQ(differing_pixels(stereo, shown, kPlaceMenu), 0);
            EXPECT_GT(count_pixels(shown, kPlaceMenu, [](std::uint32_t p) { return (p & 0xFF) < 0x80; }), 15);
        }
    }
}

// Band 2 placed on the side by the host draws the side's curve beside the
// mid's; its Place menu, opened by a click, sets the placement for the host.
TEST_F(MidSideWindowsEditor, ABandOnTheSideDrawsTwoCurvesAndAClickOnItsPlaceMenuSetsThePlacement) {
    const HWND child = open_editor();
    ASSERT_NE(child, nullptr);
    constexpr int band = 1;
    set_parameter(dsp::band_slot_start(band) + dsp::slot_on_off, 1.0f);
    set_parameter(dsp::band_slot_start(band) + dsp::slot_gain, 0.9f);  // about +12 dB
    set_parameter(dsp::placement_control(band), 1.0f);                 // Side
    idle(3);
    const std::vector<std::uint32_t> shown = window_pixels(child);
    ASSERT_EQ(shown.size(), std::size_t(kWidth) * kHeight);
    // The display left of the peak at 1.2 kHz, clear of band 2's handle: the
    // side's rising curve in its blue and the mid's flat one in its green,
    // each with its edges blended into the white.
    constexpr RECT below_peak = {5, 181, 330, kHeight - 5};
    const auto red = [](std::uint32_t p) { return int(p >> 16 & 0xFF); };
    const auto green = [](std::uint32_t p) { return int(p >> 8 & 0xFF); };
    const auto blue = [](std::uint32_t p) { return int(p & 0xFF); };
    EXPECT_GT(count_pixels(shown, below_peak, [&](std::uint32_t p) { return blue(p) - red(p) > 60; }), 100);
    EXPECT_GT(count_pixels(shown, below_peak, [&](std::uint32_t p) { return green(p) - blue(p) > 60; }), 200);

    const auto click = [&](int x, int y) {
        SendMessageA(child, WM_LBUTTONDOWN, MK_LBUTTON, client_point(x, y));
        SendMessageA(child, WM_LBUTTONUP, 0, client_point(x, y));
        idle(2);
    };
    click(173, 145);  // band 2's tab
    editor->clear_edits();
    click((kPlaceMenu.left + kPlaceMenu.right) / 2, (kPlaceMenu.top + kPlaceMenu.bottom) / 2);
    click(kPlaceMenu.left + 10, kPlaceMenu.bottom + 1 + 14 + 7);  // "Mid", the list's second entry
    EXPECT_EQ(editor->parameter(dsp::placement_control(band)), 0.5f);
    // A choice is one gesture for the host.
    const std::string place = std::to_string(dsp::placement_control(band));
    EXPECT_EQ(editor->edits(), (std::vector<std::string>{"begin " + place, "perform " + place, "end " + place}));
}

INSTANTIATE_TEST_SUITE_P(Formats, EachFormatsEditor, testing::Values(format::vst2, format::vst2_mid_side, format::vst3),
                         format_name);

}  // namespace
