// The editor's window through CLAP's gui extension: embedded, never
// floating. On Linux the host's timer-support runs the editor's idle step
// and, where the host offers posix-fd-support, the editor's X connection is
// watched so that input is handled as it arrives. A host without
// timer-support gets no editor (create refuses): nothing else would pump
// the window. On Windows it embeds in an HWND, and where the host lends no
// timer one of the UI thread's own message loop runs the idle step.
//
// Threads: the host's main thread only.
#pragma once

#include "clap/clap_abi.h"
#include "platform/ui_timer.h"

namespace clap {

class eq_plugin;

class editor_view {
public:
    explicit editor_view(eq_plugin& owner) : owner_(owner) {}
    ~editor_view() { destroy(); }
    editor_view(const editor_view&) = delete;
    editor_view& operator=(const editor_view&) = delete;

    // The host's timer and descriptor support, asked for once from init.
    void find_host_support();

    bool is_api_supported(const char* api, bool is_floating) const;
    bool create(const char* api, bool is_floating);
    void destroy();
    bool set_parent(const clap_window* window);
    void idle();

private:
    eq_plugin& owner_;
    const clap_host_timer_support* timer_ = nullptr;
    const clap_host_posix_fd_support* fd_support_ = nullptr;
    bool created_ = false;
    bool open_ = false;
    bool timing_ = false;
    clap_id timer_id_ = invalid_id;
    platform::ui_timer own_timer_;  // where the system runs one
    int watched_fd_ = -1;
};

// The plug-in's side of the three extensions, over eq_plugin::view().
extern const clap_plugin_gui gui_extension;
extern const clap_plugin_timer_support timer_extension;
extern const clap_plugin_posix_fd_support fd_extension;

}  // namespace clap
