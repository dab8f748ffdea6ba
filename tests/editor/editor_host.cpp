#include "editor_host.h"

#include <X11/extensions/XTest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <map>
#include <string>

#include "editor/sd_editor.h"
#include "plugin/vst_plugin.h"

namespace {

// An Xvfb of our own, ended when the test program ends.
class private_server {
public:
    bool start() {
        int ready[2];
        if (pipe(ready) != 0) return false;
        pid_ = fork();
        if (pid_ == 0) {
            close(ready[0]);
            const std::string fd = std::to_string(ready[1]);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24", "-nolisten", "tcp",
                   static_cast<char*>(nullptr));
            _exit(127);
        }
        close(ready[1]);
        // The number comes in pieces; the server dies if the pipe closes
        // before its newline is through.
        std::string number;
        char c = 0;
        while (pid_ > 0 && read(ready[0], &c, 1) == 1 && c != '\n') number += c;
        close(ready[0]);
        if (number.empty()) return false;
        char display_name[40];
        std::snprintf(display_name, sizeof display_name, ":%d", std::atoi(number.c_str()));
        setenv("DISPLAY", display_name, 1);
        return true;
    }
    ~private_server() {
        if (pid_ <= 0) return;
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }

private:
    pid_t pid_ = -1;
};

struct display_connection {
    private_server server;
    Display* display = nullptr;
    display_connection() {
        display = XOpenDisplay(nullptr);
        if (!display && server.start()) display = XOpenDisplay(nullptr);
        int event_base, error_base, major, minor;
        if (display && !XTestQueryExtension(display, &event_base, &error_base, &major, &minor)) {
            XCloseDisplay(display);
            display = nullptr;
        }
    }
    ~display_connection() {
        if (display) XCloseDisplay(display);
    }
};

std::map<AEffect*, recorded_instance*>& instances() {
    static std::map<AEffect*, recorded_instance*> all;
    return all;
}
std::mutex instances_mutex;

}  // namespace

Display* test_display() {
    static display_connection connection;
    return connection.display;
}

host_window::host_window() {
    Display* d = test_display();
    window_ = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 640, 400, 0, 0, WhitePixel(d, DefaultScreen(d)));
    XMapWindow(d, window_);
    XSync(d, False);
}

host_window::~host_window() {
    XDestroyWindow(test_display(), window_);
    XSync(test_display(), False);
}

std::vector<Window> host_window::children() const {
    XSync(test_display(), False);
    Window root, parent, *list = nullptr;
    unsigned count = 0;
    std::vector<Window> result;
    if (XQueryTree(test_display(), window_, &root, &parent, &list, &count)) result.assign(list, list + count);
    if (list) XFree(list);
    return result;
}

recorded_instance::recorded_instance() : effect_(VSTPluginMain(&recorded_instance::host)) {
    {
        std::lock_guard lock(instances_mutex);
        instances()[effect_] = this;
    }
    dispatch(effOpen);
    dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
    dispatch(effMainsChanged, 0, 1);
}

recorded_instance::~recorded_instance() {
    dispatch(effMainsChanged, 0, 0);
    {
        std::lock_guard lock(instances_mutex);
        instances().erase(effect_);
    }
    dispatch(effClose);
}

VST_Plugin& recorded_instance::plugin() const { return *static_cast<VST_Plugin*>(effect_->object); }

SDEditor& recorded_instance::editor() const { return *static_cast<SDEditor*>(plugin().getEditor()); }

VstIntPtr recorded_instance::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
}

void recorded_instance::idle(int times) {
    for (int i = 0; i < times; ++i) dispatch(effEditIdle);
}

std::vector<host_call> recorded_instance::edit_calls() {
    std::lock_guard lock(calls_mutex_);
    return calls_;
}

VstIntPtr VSTCALLBACK recorded_instance::host(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr, void*,
                                              float) {
    if (opcode == audioMasterVersion) return 2400;
    if (opcode != audioMasterAutomate && opcode != audioMasterBeginEdit && opcode != audioMasterEndEdit) return 0;
    recorded_instance* instance = nullptr;
    {
        std::lock_guard lock(instances_mutex);
        auto found = instances().find(effect);
        if (found != instances().end()) instance = found->second;
    }
    if (instance) {
        std::lock_guard lock(instance->calls_mutex_);
        instance->calls_.push_back({opcode, index});
    }
    return 1;
}

void move_pointer(void* window, int x, int y) {
    Display* d = test_display();
    Window child;
    int root_x = 0, root_y = 0;
    XTranslateCoordinates(d, reinterpret_cast<Window>(window), DefaultRootWindow(d), x, y, &root_x, &root_y, &child);
    XTestFakeMotionEvent(d, DefaultScreen(d), root_x, root_y, CurrentTime);
    XSync(d, False);
}

void press_left(bool down) {
    XTestFakeButtonEvent(test_display(), 1, down ? True : False, CurrentTime);
    XSync(test_display(), False);
}
