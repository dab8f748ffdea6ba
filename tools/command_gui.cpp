#include "command.h"
#include "editor_window.h"
#include "plugin_settings.h"
#include "png_writer.h"
#include "signal_player.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

namespace tessvane::host {
namespace {

using clock = std::chrono::steady_clock;

constexpr known_option gui_options[] = {{"screenshot", true}, {"param", true}, {"seconds", true}, {"play", true}};
constexpr auto idle_interval = std::chrono::milliseconds(33);
// After the editor's window appears, time for its first paint before captures begin.
constexpr auto first_paint_time = std::chrono::milliseconds(500);
constexpr auto capture_interval = std::chrono::milliseconds(250);
constexpr double screenshot_time_limit = 10.0;
// Playing, the picture never settles: it is taken after this long.
constexpr double playing_screenshot_time = 3.0;

// A size the plug-in asked for with audioMasterSizeWindow, maybe from
// another thread; the main loop applies it, since X is used from one thread.
struct size_request {
    std::atomic<int> width{0};
    std::atomic<int> height{0};
    std::atomic<bool> pending{false};
};

host_call_handler editor_calls(size_request& requested) {
    return [&requested](const host_call& call) -> std::optional<VstIntPtr> {
        switch (call.opcode) {
            // The plug-in has already applied the value itself.
            case audioMasterAutomate: std::printf("automate %d %g\n", call.index, static_cast<double>(call.opt)); break;
            case audioMasterBeginEdit: std::printf("begin edit %d\n", call.index); break;
            case audioMasterEndEdit: std::printf("end edit %d\n", call.index); break;
            case audioMasterSizeWindow:
                requested.width = call.index;
                requested.height = static_cast<int>(call.value);
                requested.pending = true;
                return 1;
            default: return std::nullopt;
        }
        std::fflush(stdout);
        return 1;
    };
}

struct editor_size {
    int width = 0;
    int height = 0;
};

editor_size ask_editor_size(loaded_plugin& plugin) {
    ERect* rect = nullptr;
    plugin.dispatch(effEditGetRect, 0, 0, &rect);
    if (rect == nullptr || rect->right <= rect->left || rect->bottom <= rect->top) return {};
    return {rect->right - rect->left, rect->bottom - rect->top};
}

// Waits for the editor's first complete paint: its window shown, time for
// painting, then two captures in a row alike. Answers false if the editor
// still changed when time ran out; what it showed last is saved either way.
class screenshot_taker {
public:
    explicit screenshot_taker(std::string path) : path_(std::move(path)) {}

    // Called once per idle step; true when the screenshot is saved.
    bool step(editor_window& window) {
        const auto now = clock::now();
        if (!child_shown_) {
            if (!window.has_shown_child()) return false;
            child_shown_ = true;
            next_capture_ = now + first_paint_time;
        }
        if (now < next_capture_) return false;
        next_capture_ = now + capture_interval;
        std::vector<std::uint32_t> pixels = window.capture();
        const bool settled = !pixels.empty() && pixels == last_;
        last_ = std::move(pixels);
        if (settled) save(window);
        return settled;
    }

    // Takes the picture as it is now.
    void capture_now(editor_window& window) {
        last_ = window.capture();
        if (last_.empty()) throw std::runtime_error("cannot capture the editor's window");
        save(window);
    }

    // At the time limit: keeps what there is, or fails.
    void give_up(editor_window& window) {
        if (!child_shown_) throw std::runtime_error("the editor showed no window inside the host's window");
        if (last_.empty()) throw std::runtime_error("cannot capture the editor's window");
        std::fprintf(stderr, "tessvane-host: warning: the editor kept changing; saving what it showed last\n");
        save(window);
    }

private:
    void save(const editor_window& window) {
        write_png(path_, last_.data(), window.width(), window.height(), window.width());
        std::printf("screenshot %s (%dx%d)\n", path_.c_str(), window.width(), window.height());
    }

    std::string path_;
    bool child_shown_ = false;
    clock::time_point next_capture_;
    std::vector<std::uint32_t> last_;
};

int run_gui(std::span<char* const> arguments) {
    const command_line options(arguments, gui_options);
    if (options.positional().size() != 1) throw usage_error("gui takes PLUGIN");
    const std::string& plugin_path = options.positional()[0];
    const auto screenshot_path = options.value("screenshot");
    std::optional<test_signal> signal;
    if (const auto text = options.value("play")) {
        try {
            signal = test_signal::parse(*text);
        } catch (const std::invalid_argument& e) {
            throw usage_error(e.what());
        }
    }
    const double seconds = options.positive_number(
        "seconds", screenshot_path ? (signal ? playing_screenshot_time : screenshot_time_limit) : 0.0);
    if (screenshot_path) {
        const auto folder = std::filesystem::path(*screenshot_path).parent_path();
        if (!folder.empty() && !std::filesystem::is_directory(folder))
            throw std::runtime_error("cannot write " + *screenshot_path + ": there is no folder " + folder.string());
    }

    // The window and its connection come first, as in any host: a plug-in
    // that opens and closes a connection of its own while it loads must not
    // find itself the display's last client.
    editor_window window(std::filesystem::path(plugin_path).stem().string(), 400, 300);
    size_request requested;
    auto plugin = loaded_plugin::load(plugin_path, {44100.0f, 512, false, editor_calls(requested)});
    if ((plugin->effect()->flags & effFlagsHasEditor) == 0)
        throw std::runtime_error(plugin_path + ": the plug-in has no editor");
    plugin->start(44100.0f, 512);
    for (const auto& text : options.values("param")) {
        const auto [index, value] = resolve_assignment(*plugin, text);
        plugin->set_parameter(index, value);
        std::printf("parameter %d %s = %g\n", index, plugin->parameter_name(index).c_str(), static_cast<double>(value));
    }

    // Hosts ask for the size before they open the editor; some plug-ins
    // know it only once open, so ask again then.
    const editor_size before = ask_editor_size(*plugin);
    if (!plugin->effect_name().empty()) window.set_title(plugin->effect_name());
    if (before.width > 0) window.resize(before.width, before.height);
    if (plugin->dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(window.id())) == 0)
        throw std::runtime_error(plugin_path + ": the editor did not open (effEditOpen answered 0)");
    const editor_size opened = ask_editor_size(*plugin);
    if (opened.width > 0) window.resize(opened.width, opened.height);
    window.show();
    std::optional<signal_player> player;
    if (signal) player.emplace(*plugin, *signal, 44100.0, 512);

    std::optional<screenshot_taker> screenshot;
    if (screenshot_path) screenshot.emplace(*screenshot_path);
    const auto started = clock::now();
    const auto deadline = started + std::chrono::duration_cast<clock::duration>(std::chrono::duration<double>(seconds));
    std::exception_ptr failure;
    for (auto next_idle = started;; next_idle += idle_interval) {
        std::this_thread::sleep_until(next_idle);
        plugin->dispatch(effEditIdle);
        if (requested.pending.exchange(false)) window.resize(requested.width, requested.height);
        if (window.close_requested()) break;
        try {
            if (screenshot && !player && screenshot->step(window)) break;
            if (seconds > 0.0 && clock::now() >= deadline) {
                if (screenshot && player)
                    screenshot->capture_now(window);
                else if (screenshot)
                    screenshot->give_up(window);
                break;
            }
        } catch (...) {
            // The editor is closed before its window goes, as hosts do.
            failure = std::current_exception();
            break;
        }
    }
    player.reset();
    plugin->dispatch(effEditClose);
    if (failure) std::rethrow_exception(failure);
    return 0;
}

}  // namespace

const command gui_command{"gui", "open the plug-in's editor in a window",
                          "usage: tessvane-host gui PLUGIN [--screenshot FILE.png] [--param NAME_OR_INDEX=VALUE ...]\n"
                          "       [--seconds S] [--play white|pink|sine:HZ]\n"
                          "\n"
                          "Opens an X11 window titled with the plug-in's name, sized as the editor\n"
                          "asks (effEditGetRect), opens the editor inside it and drives effEditIdle\n"
                          "about 30 times a second until the window is closed or S seconds have\n"
                          "passed. Edits made in the editor are printed as 'automate INDEX VALUE',\n"
                          "'begin edit INDEX' and 'end edit INDEX'. --param sets parameters first.\n"
                          "\n"
                          "--screenshot waits until the editor has painted (its window shown, then\n"
                          "two captures a quarter of a second apart alike), saves the window as\n"
                          "FILE.png and exits; it gives up after S seconds (default 10), saving\n"
                          "the last capture if there is one.\n"
                          "\n"
                          "--play plays a signal into the plug-in at 44100 Hz in real time while the\n"
                          "editor is open: white or pink noise, or a sine of HZ at -6 dBFS. With\n"
                          "--screenshot the picture is then taken after S seconds (default 3).\n"
                          "\n"
                          "Needs an X display (DISPLAY) and a plug-in with an editor.\n",
                          run_gui};

}  // namespace tessvane::host
