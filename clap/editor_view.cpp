#include "clap/editor_view.h"

#include <cstdint>
#include <cstring>

#include "clap/eq_plugin.h"
#include "editor/eq_editor.h"

namespace clap {

namespace {

#if defined(_WIN32)
constexpr const char* platform_api = window_api_win32;
// The UI thread's own message loop runs a timer where the host lends none.
constexpr bool needs_host_timer = false;
#else
constexpr const char* platform_api = window_api_x11;
constexpr bool needs_host_timer = true;
#endif
// The editor's idle step: often enough for a drag to feel direct.
constexpr std::uint32_t idle_interval_ms = 16;

editor_view& view_of(const clap_plugin* plugin) { return eq_plugin::of(plugin).view(); }
bool main_thread(const clap_plugin* plugin) { return eq_plugin::of(plugin).on_main_thread(); }

bool CLAP_CALL is_api_supported(const clap_plugin* plugin, const char* api, bool is_floating) {
    return view_of(plugin).is_api_supported(api, is_floating);
}
bool CLAP_CALL get_preferred_api(const clap_plugin*, const char** api, bool* is_floating) {
    if (!api || !is_floating) return false;
    *api = platform_api;
    *is_floating = false;
    return true;
}
bool CLAP_CALL create(const clap_plugin* plugin, const char* api, bool is_floating) {
    return main_thread(plugin) && view_of(plugin).create(api, is_floating);
}
void CLAP_CALL destroy(const clap_plugin* plugin) {
    if (main_thread(plugin)) view_of(plugin).destroy();
}
// On x11 and win32 sizes are pixels and the host's scale overrides the
// system's; hosts set it between create and set_parent, then ask the size.
bool CLAP_CALL set_scale(const clap_plugin* plugin, double scale) {
    if (!main_thread(plugin)) return false;
    eq_plugin::of(plugin).editor().set_scale(scale);
    return true;
}
bool CLAP_CALL get_size(const clap_plugin* plugin, std::uint32_t* width, std::uint32_t* height) {
    if (!width || !height) return false;
    const editor::eq_editor& editor = eq_plugin::of(plugin).editor();
    *width = std::uint32_t(editor.device_width());
    *height = std::uint32_t(editor.device_height());
    return true;
}
bool CLAP_CALL can_resize(const clap_plugin*) { return false; }
bool CLAP_CALL get_resize_hints(const clap_plugin*, clap_gui_resize_hints*) { return false; }
bool CLAP_CALL adjust_size(const clap_plugin* plugin, std::uint32_t* width, std::uint32_t* height) {
    return get_size(plugin, width, height);
}
bool CLAP_CALL set_size(const clap_plugin* plugin, std::uint32_t width, std::uint32_t height) {
    std::uint32_t own_width = 0, own_height = 0;
    return get_size(plugin, &own_width, &own_height) && width == own_width && height == own_height;
}
bool CLAP_CALL set_parent(const clap_plugin* plugin, const clap_window* window) {
    return main_thread(plugin) && view_of(plugin).set_parent(window);
}
bool CLAP_CALL set_transient(const clap_plugin*, const clap_window*) { return false; }
void CLAP_CALL suggest_title(const clap_plugin*, const char*) {}
// Embedded: the host's window shows and hides it.
bool CLAP_CALL show(const clap_plugin*) { return true; }
bool CLAP_CALL hide(const clap_plugin*) { return true; }

void CLAP_CALL on_timer(const clap_plugin* plugin, clap_id) { view_of(plugin).idle(); }
void CLAP_CALL on_fd(const clap_plugin* plugin, int, std::uint32_t) { view_of(plugin).idle(); }

}  // namespace

const clap_plugin_gui gui_extension{is_api_supported, get_preferred_api, create,           destroy,     set_scale,
                                    get_size,         can_resize,        get_resize_hints, adjust_size, set_size,
                                    set_parent,       set_transient,     suggest_title,    show,        hide};
const clap_plugin_timer_support timer_extension{on_timer};
const clap_plugin_posix_fd_support fd_extension{on_fd};

void editor_view::find_host_support() {
    timer_ = owner_.host_extension<clap_host_timer_support>(ext_timer_support);
    if (timer_ && (!timer_->register_timer || !timer_->unregister_timer)) timer_ = nullptr;
    fd_support_ = owner_.host_extension<clap_host_posix_fd_support>(ext_posix_fd_support);
    if (fd_support_ && (!fd_support_->register_fd || !fd_support_->unregister_fd)) fd_support_ = nullptr;
}

bool editor_view::is_api_supported(const char* api, bool is_floating) const {
    return !is_floating && api && std::strcmp(api, platform_api) == 0;
}

bool editor_view::create(const char* api, bool is_floating) {
    if (created_ || !is_api_supported(api, is_floating) || (needs_host_timer && !timer_)) return false;
    created_ = true;
    return true;
}

bool editor_view::set_parent(const clap_window* window) {
    if (!created_ || open_ || !window || !window->api || std::strcmp(window->api, platform_api) != 0) return false;
#if defined(_WIN32)
    void* parent = window->win32;
#else
    void* parent = reinterpret_cast<void*>(static_cast<std::uintptr_t>(window->x11));
#endif
    if (!parent) return false;
    const clap_host* host = owner_.host();
    if (timer_) {
        if (!timer_->register_timer(host, idle_interval_ms, &timer_id_)) return false;
        timing_ = true;
    } else if (!own_timer_.start(static_cast<int>(idle_interval_ms), [this] { idle(); })) {
        return false;
    }
    if (!owner_.editor().open(parent)) {
        destroy();
        created_ = true;
        return false;
    }
    open_ = true;
    const int fd = owner_.editor().event_descriptor();
    if (fd_support_ && fd >= 0 && fd_support_->register_fd(host, fd, fd_read)) watched_fd_ = fd;
    return true;
}

void editor_view::destroy() {
    const clap_host* host = owner_.host();
    if (watched_fd_ >= 0) fd_support_->unregister_fd(host, watched_fd_);
    watched_fd_ = -1;
    if (timing_) timer_->unregister_timer(host, timer_id_);
    timing_ = false;
    timer_id_ = invalid_id;
    own_timer_.stop();
    if (open_) owner_.editor().close();
    open_ = false;
    created_ = false;
}

void editor_view::idle() {
    if (open_) owner_.editor().idle();
}

}  // namespace clap
