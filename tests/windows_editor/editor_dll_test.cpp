// The editor of the built DLL in a Win32 window: loaded with LoadLibraryA
// and driven through the dispatcher and the window's messages as a Windows
// host drives it.
#include <windows.h>

#include <gtest/gtest.h>
#include <png.h>

#include <cstdint>
#include <string>
#include <vector>

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

struct host_call {
    VstInt32 opcode;
    VstInt32 index;
    bool operator==(const host_call&) const = default;
};
std::vector<host_call> edit_calls;

VstIntPtr VSTCALLBACK host_callback(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr, void*, float) {
    if (opcode == audioMasterBeginEdit || opcode == audioMasterAutomate || opcode == audioMasterEndEdit)
        edit_calls.push_back({opcode, index});
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
std::vector<std::uint32_t> window_pixels(HWND window, read_back how = read_back::print_window) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = kWidth;
    info.bmiHeader.biHeight = -kHeight;
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
                          : window_dc && BitBlt(dc, 0, 0, kWidth, kHeight, window_dc, 0, 0, SRCCOPY);
    if (window_dc) ReleaseDC(window, window_dc);
    if (read) {
        GdiFlush();
        const auto* words = static_cast<const std::uint32_t*>(bits);
        pixels.assign(words, words + kWidth * kHeight);
        for (std::uint32_t& p : pixels) p &= 0xFFFFFF;
    }
    DeleteDC(dc);
    DeleteObject(dib);
    return pixels;
}

class WindowsEditor : public testing::Test {
protected:
    void SetUp() override {
        parent = make_host_window();
        if (!parent) GTEST_SKIP() << "no windows without a display (Wine outside Xvfb)";
        ASSERT_TRUE(hives.overrides_work());
        hives.put(platform::settings_hive::per_user, "SOFTWARE\\Ravelthorpe\\Tessvane LE", "Latency", "4096");
        _putenv_s("TESSVANE_MESSAGE_LOG", message_log.c_str());  // a real box would wait for a click
        module = LoadLibraryA(TESSVANE_PLUGIN_DLL);
        ASSERT_NE(module, nullptr) << "LoadLibrary error " << GetLastError();
        const auto entry =
            reinterpret_cast<VstPluginMainProc>(reinterpret_cast<void (*)()>(GetProcAddress(module, "VSTPluginMain")));
        ASSERT_NE(entry, nullptr);
        effect = entry(host_callback);
        ASSERT_NE(effect, nullptr);
        dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
        dispatch(effMainsChanged, 0, 1);
        edit_calls.clear();
    }

    void TearDown() override {
        if (effect) dispatch(effClose);
        if (parent) DestroyWindow(parent);
        if (module) FreeLibrary(module);
        _putenv_s("TESSVANE_MESSAGE_LOG", "");
        DeleteFileA(message_log.c_str());
    }

    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.0f) {
        return effect->dispatcher(effect, opcode, index, value, ptr, opt);
    }

    HWND open_editor() {
        if (dispatch(effEditOpen, 0, 0, parent) != 1) return nullptr;
        idle(3);
        return GetWindow(parent, GW_CHILD);
    }

    void idle(int times) {
        for (int i = 0; i < times; ++i) {
            pump_messages();
            dispatch(effEditIdle);
        }
        pump_messages();
    }

    bool messages_logged() const {
        const DWORD attributes = GetFileAttributesA(message_log.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES;
    }

    temporary_registry_hives hives;
    const std::string message_log = "tessvane-editor-messages-" + std::to_string(GetCurrentProcessId()) + ".txt";
    HMODULE module = nullptr;
    AEffect* effect = nullptr;
    HWND parent = nullptr;
};

TEST_F(WindowsEditor, AnswersItsSizeBeforeOpeningAndOpensAsTheHostWindowsOnly607By383Child) {
    ERect* rect = nullptr;
    ASSERT_EQ(dispatch(effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->top, 0);
    EXPECT_EQ(rect->left, 0);
    EXPECT_EQ(rect->bottom, kHeight);
    EXPECT_EQ(rect->right, kWidth);

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

    dispatch(effEditClose);
    EXPECT_FALSE(IsWindow(child));
    WNDCLASSEXA info = {};
    info.cbSize = sizeof info;
    EXPECT_FALSE(GetClassInfoExA(module, class_name, &info)) << "the class outlives the last window";
    EXPECT_FALSE(messages_logged());
}

TEST_F(WindowsEditor, ReopensAfterCloseToleratesCloseTwiceAndRefusesParentsThatAreNoWindows) {
    ASSERT_NE(open_editor(), nullptr);
    dispatch(effEditClose);
    EXPECT_EQ(GetWindow(parent, GW_CHILD), nullptr);
    ASSERT_NE(open_editor(), nullptr);
    dispatch(effEditClose);
    dispatch(effEditClose);
    EXPECT_EQ(GetWindow(parent, GW_CHILD), nullptr);

    const HWND destroyed =
        CreateWindowExA(0, "STATIC", "gone", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    DestroyWindow(destroyed);
    for (HWND bad : {destroyed, reinterpret_cast<HWND>(0x7ffe0), HWND(nullptr)}) {
        EXPECT_EQ(dispatch(effEditOpen, 0, 0, bad), 0) << bad;
        idle(1);
        dispatch(effEditClose);
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
    effect->setParameter(effect, 4, 0.7f);  // a redraw with nowhere to show it
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

TEST_F(WindowsEditor, DraggingAKnobUpHoldsTheMouseAndChangesItsParameterInsideOneEdit) {
    ASSERT_EQ(dispatch(effSetEditKnobMode, 0, 2), 1);  // linear drags
    const HWND child = open_editor();
    ASSERT_NE(child, nullptr);
    const float before = effect->getParameter(effect, 4);

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

    EXPECT_NEAR(effect->getParameter(effect, 4), before + 50.0f / 200.0f, 0.02f);
    ASSERT_GE(edit_calls.size(), 3u);
    EXPECT_EQ(edit_calls.front(), (host_call{audioMasterBeginEdit, 4}));
    EXPECT_EQ(edit_calls.back(), (host_call{audioMasterEndEdit, 4}));
    for (std::size_t i = 1; i + 1 < edit_calls.size(); ++i)
        EXPECT_EQ(edit_calls[i], (host_call{audioMasterAutomate, 4})) << i;
    dispatch(effSetEditKnobMode, 0, 0);
}

TEST_F(WindowsEditor, ShiftDragsFinelyAndControlClickResetsTheKnob) {
    ASSERT_EQ(dispatch(effSetEditKnobMode, 0, 2), 1);
    const HWND child = open_editor();
    ASSERT_NE(child, nullptr);
    const float before = effect->getParameter(effect, 4);
    SendMessageA(child, WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, client_point(kKnobX, kKnobY));
    SendMessageA(child, WM_MOUSEMOVE, MK_LBUTTON | MK_SHIFT, client_point(kKnobX, kKnobY - 60));
    SendMessageA(child, WM_LBUTTONUP, MK_SHIFT, client_point(kKnobX, kKnobY - 60));
    EXPECT_NEAR(effect->getParameter(effect, 4), before + 60.0f / 2400.0f, 1e-4f);  // factor 12

    SendMessageA(child, WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL, client_point(kKnobX, kKnobY));
    SendMessageA(child, WM_LBUTTONUP, MK_CONTROL, client_point(kKnobX, kKnobY));
    EXPECT_EQ(effect->getParameter(effect, 4), 0.2f);  // the default program's 395 Hz
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(edit_calls.back(), (host_call{audioMasterEndEdit, 4}));
    dispatch(effSetEditKnobMode, 0, 0);
}

TEST_F(WindowsEditor, LosingTheMouseMidDragEndsTheEdit) {
    const HWND child = open_editor();
    ASSERT_NE(child, nullptr);
    SendMessageA(child, WM_LBUTTONDOWN, MK_LBUTTON, client_point(kKnobX, kKnobY));
    ASSERT_EQ(GetCapture(), child);
    ReleaseCapture();  // as when a host's dialog takes the mouse
    idle(1);
    ASSERT_FALSE(edit_calls.empty());
    EXPECT_EQ(edit_calls.front(), (host_call{audioMasterBeginEdit, 4}));
    EXPECT_EQ(edit_calls.back(), (host_call{audioMasterEndEdit, 4}));
    edit_calls.clear();
    SendMessageA(child, WM_LBUTTONUP, 0, client_point(kKnobX, kKnobY));  // its late release changes nothing
    EXPECT_TRUE(edit_calls.empty());
}

TEST_F(WindowsEditor, TheWheelStepsTheKnobUnderTheMouseGivenInScreenCoordinates) {
    const HWND child = open_editor();
    ASSERT_NE(child, nullptr);
    const float before = effect->getParameter(effect, 4);
    POINT screen = {kKnobX, kKnobY};
    ClientToScreen(child, &screen);
    SendMessageA(child, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(screen.x, screen.y));
    EXPECT_NEAR(effect->getParameter(effect, 4), before + 0.01f, 1e-5f);
    EXPECT_EQ(edit_calls,
              (std::vector<host_call>{{audioMasterBeginEdit, 4}, {audioMasterAutomate, 4}, {audioMasterEndEdit, 4}}));
}

// Everything but text is drawn by our own renderer from the same bitmaps,
// so it must match the Linux picture pixel for pixel; text comes from GDI
// and need only be there.
TEST_F(WindowsEditor, ShowsTheBackgroundAndTheResponseDisplayAsLinuxDraws) {
    const HWND child = open_editor();
    ASSERT_NE(child, nullptr);
    const std::vector<std::uint32_t> shown = window_pixels(child);
    ASSERT_EQ(shown.size(), std::size_t(kWidth) * kHeight);
    write_png(TESSVANE_SCREENSHOT_PNG, shown, kWidth, kHeight);
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
    // The busy indicator at (1, 4) follows the worker's start-up pass, which
    // may end between the two pictures.
    differing = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const bool busy_indicator = x >= 1 && x < 17 && y >= 4 && y < 20;
            const std::size_t i = std::size_t(y) * kWidth + x;
            differing += !busy_indicator && on_screen[i] != shown[i];
        }
    EXPECT_EQ(differing, 0);
}

}  // namespace
