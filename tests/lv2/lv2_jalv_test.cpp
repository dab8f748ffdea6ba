// The LV2 UI in a real host: Debian's jalv.gtk3 on a dummy JACK server, on
// the tests' X display, driven by synthetic mouse input. Skips when jalv or
// jackd is not installed.
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "../editor/editor_window_fixture.h"
#include "editor/eq_editor.h"
#include "gui/knob.h"
#include "gui/param_display.h"

extern char** environ;

namespace {

using namespace std::chrono_literals;

bool on_path(const std::string& program) {
    const std::string command = "command -v " + program + " >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

// A program run for the test, ended with it.
class child_process {
public:
    explicit child_process(std::vector<std::string> arguments) {
        std::vector<char*> argv;
        for (std::string& a : arguments) argv.push_back(a.data());
        argv.push_back(nullptr);
        if (posix_spawnp(&pid_, argv[0], nullptr, nullptr, argv.data(), environ) != 0) pid_ = -1;
    }
    ~child_process() {
        if (pid_ <= 0 || !running()) return;
        kill(pid_, SIGTERM);
        for (int i = 0; i < 50 && running(); ++i) std::this_thread::sleep_for(100ms);
        if (running()) kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    child_process(const child_process&) = delete;
    child_process& operator=(const child_process&) = delete;

    bool running() {
        if (pid_ <= 0 || exited_) return false;
        exited_ = waitpid(pid_, nullptr, WNOHANG) == pid_;
        return !exited_;
    }

private:
    pid_t pid_ = -1;
    bool exited_ = false;
};

bool wait_for(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(50ms);
    }
    return true;
}

// The first viewable window of the editor's size under `window`.
Window find_editor(Display* d, Window window) {
    XWindowAttributes attributes;
    if (XGetWindowAttributes(d, window, &attributes) && attributes.map_state == IsViewable &&
        attributes.width == editor::eq_editor::kWidth && attributes.height == editor::eq_editor::kHeight)
        return window;
    Window root, parent, *children = nullptr;
    unsigned count = 0;
    Window found = 0;
    if (XQueryTree(d, window, &root, &parent, &children, &count)) {
        for (unsigned i = 0; i < count && !found; ++i) found = find_editor(d, children[i]);
        XFree(children);
    }
    return found;
}

// jalv's own window, titled with the plug-in's name: other suites' editors
// may be on the display meanwhile.
Window find_window_titled(Display* d, const std::string& title) {
    Window root, parent, *children = nullptr;
    unsigned count = 0;
    Window found = 0;
    if (XQueryTree(d, DefaultRootWindow(d), &root, &parent, &children, &count)) {
        for (unsigned i = 0; i < count && !found; ++i) {
            char* name = nullptr;
            if (XFetchName(d, children[i], &name) && name) {
                if (title == name) found = children[i];
                XFree(name);
            }
        }
        XFree(children);
    }
    return found;
}

std::vector<unsigned long> pixels_in(Window window, const VSTGUI::CRect& area) {
    return screen_pixels(window, int(area.left), int(area.top), int(area.width()), int(area.height()));
}

// A binary PPM of the editor's window, for a person to look at.
void save_picture(Window window, const std::string& path) {
    const VSTGUI::CRect all(0, 0, editor::eq_editor::kWidth, editor::eq_editor::kHeight);
    const std::vector<unsigned long> pixels = pixels_in(window, all);
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << editor::eq_editor::kWidth << ' ' << editor::eq_editor::kHeight << "\n255\n";
    for (unsigned long p : pixels) out << char(p >> 16) << char(p >> 8) << char(p);
}

// The stereo plug-in's UI, or the M/S one's.
class Lv2InJalv : public EditorWindow, public testing::WithParamInterface<bool> {};

}  // namespace

TEST_P(Lv2InJalv, ADragOnABandsGainKnobUpdatesItsReadoutAndTheMidSideOnesPlaceMenuItsPlacement) {
    const bool mid_side = GetParam();
    if (!on_path("jalv.gtk3") || !on_path("jackd"))
        GTEST_SKIP() << "jalv.gtk3 or jackd is not installed (Debian packages jalv and jackd2)";
    VSTGUI::CRect knob, readout;
    {
        host_window parent;
        recorded_instance vst;
        ASSERT_TRUE(vst.open_in(parent));
        knob = vst.editor().controls().bandControls[0].gainKnob->getFrameRect();
        readout = vst.editor().controls().bandControls[0].gainDisplay->getFrameRect();
        vst.close_editor();
    }
    const std::string server = "tessvane-jalv-test-" + std::to_string(getpid());
    setenv("JACK_DEFAULT_SERVER", server.c_str(), 1);
    setenv("JACK_NO_START_SERVER", "1", 1);
    setenv("LV2_PATH", LV2_BUNDLE_PARENT, 1);
    child_process jack({"jackd", "--no-realtime", "--name", server, "-d", "dummy", "-r", "44100", "-p", "1024"});
    std::this_thread::sleep_for(1s);
    ASSERT_TRUE(jack.running()) << "jackd with the dummy driver did not start";

    child_process jalv({"jalv.gtk3", mid_side ? "urn:ravelthorpe:tessvane-le-ms" : "urn:ravelthorpe:tessvane-le"});
    Window editor = 0;
    EXPECT_TRUE(wait_for(
        [&] {
            const Window jalv_window = find_window_titled(test_display(), mid_side ? "Tessvane LE M/S" : "Tessvane LE");
            return jalv_window && (editor = find_editor(test_display(), jalv_window));
        },
        20s))
        << "jalv.gtk3 showed no editor";
    ASSERT_NE(editor, 0u);
    std::this_thread::sleep_for(500ms);  // its first paint
    const std::vector<unsigned long> before = pixels_in(editor, readout);

    // Up and to the right: more gain in either drag mode.
    const int x = int(knob.left + knob.right) / 2, y = int(knob.top) + 2;
    move_pointer(reinterpret_cast<void*>(editor), x, y);
    std::this_thread::sleep_for(100ms);
    press_left(true);
    for (int step = 1; step <= 8; ++step) {
        std::this_thread::sleep_for(60ms);
        move_pointer(reinterpret_cast<void*>(editor), x + 4 * step, y - 3 * step);
    }
    press_left(false);
    EXPECT_TRUE(wait_for([&] { return pixels_in(editor, readout) != before; }, 5s))
        << "the read-out did not follow the drag";
    if (mid_side) {
        // Band 1's Place menu, then its third entry: "Side" replaces "Stereo".
        const VSTGUI::CRect place(387, 118, 433, 132);
        const std::vector<unsigned long> stereo = pixels_in(editor, place);
        for (const int at_y : {125, 133 + 2 * 14 + 7}) {
            move_pointer(reinterpret_cast<void*>(editor), 410, at_y);
            std::this_thread::sleep_for(100ms);
            press_left(true);
            std::this_thread::sleep_for(60ms);
            press_left(false);
            std::this_thread::sleep_for(200ms);
        }
        EXPECT_TRUE(wait_for([&] { return pixels_in(editor, place) != stereo; }, 5s))
            << "the Place menu did not follow the choice";
    }
    if (const char* folder = std::getenv("TESSVANE_SCREENSHOT_DIR"))
        save_picture(editor, std::string(folder) + (mid_side ? "/lv2-ms-in-jalv.ppm" : "/lv2-in-jalv.ppm"));
}

INSTANTIATE_TEST_SUITE_P(Plugins, Lv2InJalv, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& info) { return info.param ? "MidSide" : "Stereo"; });
