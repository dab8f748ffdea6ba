// The parts of the CLAP 1.2 interface this plug-in and its test hosts use,
// declared here as plain C structs of function pointers from the format's
// published layout, so that GCC on Linux and MinGW for both Windows targets
// agree on it. Every call uses the C calling convention (cdecl on Windows).
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(_WIN32)
#define CLAP_CALL __cdecl
#else
#define CLAP_CALL
#endif

namespace clap {

struct version_triple {
    std::uint32_t major;
    std::uint32_t minor;
    std::uint32_t revision;
};
inline constexpr version_triple format_version{1, 2, 0};
// Hosts and plug-ins of any 1.x release understand each other.
constexpr bool version_is_compatible(const version_triple& v) { return v.major >= 1; }

using clap_id = std::uint32_t;
inline constexpr clap_id invalid_id = 0xFFFFFFFFu;
inline constexpr std::size_t name_size = 256;
inline constexpr std::size_t path_size = 1024;

// ---- Host -------------------------------------------------------------------

struct clap_host {
    version_triple clap_version;
    void* host_data;
    const char* name;
    const char* vendor;
    const char* url;
    const char* version;
    const void*(CLAP_CALL* get_extension)(const clap_host* host, const char* extension_id);
    void(CLAP_CALL* request_restart)(const clap_host* host);
    void(CLAP_CALL* request_process)(const clap_host* host);
    void(CLAP_CALL* request_callback)(const clap_host* host);
};

// ---- Events -----------------------------------------------------------------

struct clap_event_header {
    std::uint32_t size;  // of the whole event
    std::uint32_t time;  // frame offset in the block
    std::uint16_t space_id;
    std::uint16_t type;
    std::uint32_t flags;
};
inline constexpr std::uint16_t core_event_space = 0;

enum : std::uint16_t {
    event_param_value = 5,
    event_param_mod = 6,
    event_param_gesture_begin = 7,
    event_param_gesture_end = 8,
};
enum : std::uint32_t {
    event_is_live = 1u << 0,
    event_dont_record = 1u << 1,
};

struct clap_event_param_value {
    clap_event_header header;
    clap_id param_id;
    void* cookie;
    std::int32_t note_id;  // -1 for every note
    std::int16_t port_index;
    std::int16_t channel;
    std::int16_t key;
    double value;
};

struct clap_event_param_gesture {
    clap_event_header header;
    clap_id param_id;
};

struct clap_input_events {
    void* ctx;
    std::uint32_t(CLAP_CALL* size)(const clap_input_events* list);
    const clap_event_header*(CLAP_CALL* get)(const clap_input_events* list, std::uint32_t index);
};

struct clap_output_events {
    void* ctx;
    bool(CLAP_CALL* try_push)(const clap_output_events* list, const clap_event_header* event);
};

// ---- Process ----------------------------------------------------------------

struct clap_audio_buffer {
    float** data32;
    double** data64;
    std::uint32_t channel_count;
    std::uint32_t latency;
    std::uint64_t constant_mask;
};

struct clap_process {
    std::int64_t steady_time;  // -1 when the host has none
    std::uint32_t frames_count;
    const void* transport;  // clap_event_transport, unused here
    const clap_audio_buffer* audio_inputs;
    clap_audio_buffer* audio_outputs;
    std::uint32_t audio_inputs_count;
    std::uint32_t audio_outputs_count;
    const clap_input_events* in_events;
    const clap_output_events* out_events;
};

using clap_process_status = std::int32_t;
enum : clap_process_status {
    process_error = 0,
    process_continue = 1,
    process_continue_if_not_quiet = 2,
    process_tail = 3,
    process_sleep = 4,
};

// ---- Plug-in, factory, entry --------------------------------------------------

struct clap_plugin_descriptor {
    version_triple clap_version;
    const char* id;
    const char* name;
    const char* vendor;
    const char* url;
    const char* manual_url;
    const char* support_url;
    const char* version;
    const char* description;
    const char* const* features;  // null-terminated
};

struct clap_plugin {
    const clap_plugin_descriptor* desc;
    void* plugin_data;
    bool(CLAP_CALL* init)(const clap_plugin* plugin);
    void(CLAP_CALL* destroy)(const clap_plugin* plugin);
    bool(CLAP_CALL* activate)(const clap_plugin* plugin, double sample_rate, std::uint32_t min_frames_count,
                              std::uint32_t max_frames_count);
    void(CLAP_CALL* deactivate)(const clap_plugin* plugin);
    bool(CLAP_CALL* start_processing)(const clap_plugin* plugin);
    void(CLAP_CALL* stop_processing)(const clap_plugin* plugin);
    void(CLAP_CALL* reset)(const clap_plugin* plugin);
    clap_process_status(CLAP_CALL* process)(const clap_plugin* plugin, const clap_process* process);
    const void*(CLAP_CALL* get_extension)(const clap_plugin* plugin, const char* id);
    void(CLAP_CALL* on_main_thread)(const clap_plugin* plugin);
};

inline constexpr const char* plugin_factory_id = "clap.plugin-factory";

struct clap_plugin_factory {
    std::uint32_t(CLAP_CALL* get_plugin_count)(const clap_plugin_factory* factory);
    const clap_plugin_descriptor*(CLAP_CALL* get_plugin_descriptor)(const clap_plugin_factory* factory,
                                                                    std::uint32_t index);
    const clap_plugin*(CLAP_CALL* create_plugin)(const clap_plugin_factory* factory, const clap_host* host,
                                                 const char* plugin_id);
};

// The module's one export, named clap_entry.
struct clap_plugin_entry {
    version_triple clap_version;
    bool(CLAP_CALL* init)(const char* plugin_path);
    void(CLAP_CALL* deinit)();
    const void*(CLAP_CALL* get_factory)(const char* factory_id);
};

// ---- Extensions ---------------------------------------------------------------

inline constexpr const char* ext_audio_ports = "clap.audio-ports";
inline constexpr const char* ext_params = "clap.params";
inline constexpr const char* ext_state = "clap.state";
inline constexpr const char* ext_latency = "clap.latency";
inline constexpr const char* ext_render = "clap.render";
inline constexpr const char* ext_gui = "clap.gui";
inline constexpr const char* ext_timer_support = "clap.timer-support";
inline constexpr const char* ext_posix_fd_support = "clap.posix-fd-support";
inline constexpr const char* ext_thread_check = "clap.thread-check";

enum : std::uint32_t {
    audio_port_is_main = 1u << 0,
    audio_port_supports_64bits = 1u << 1,
};
inline constexpr const char* port_stereo = "stereo";

struct clap_audio_port_info {
    clap_id id;
    char name[name_size];
    std::uint32_t flags;
    std::uint32_t channel_count;
    const char* port_type;
    clap_id in_place_pair;
};

struct clap_plugin_audio_ports {
    std::uint32_t(CLAP_CALL* count)(const clap_plugin* plugin, bool is_input);
    bool(CLAP_CALL* get)(const clap_plugin* plugin, std::uint32_t index, bool is_input, clap_audio_port_info* info);
};

enum : std::uint32_t {
    param_is_stepped = 1u << 0,
    param_is_periodic = 1u << 1,
    param_is_hidden = 1u << 2,
    param_is_readonly = 1u << 3,
    param_is_bypass = 1u << 4,
    param_is_automatable = 1u << 5,
    param_is_enum = 1u << 16,
};

struct clap_param_info {
    clap_id id;
    std::uint32_t flags;
    void* cookie;
    char name[name_size];
    char module[path_size];
    double min_value;
    double max_value;
    double default_value;
};

struct clap_plugin_params {
    std::uint32_t(CLAP_CALL* count)(const clap_plugin* plugin);
    bool(CLAP_CALL* get_info)(const clap_plugin* plugin, std::uint32_t param_index, clap_param_info* info);
    bool(CLAP_CALL* get_value)(const clap_plugin* plugin, clap_id param_id, double* value);
    bool(CLAP_CALL* value_to_text)(const clap_plugin* plugin, clap_id param_id, double value, char* display,
                                   std::uint32_t size);
    bool(CLAP_CALL* text_to_value)(const clap_plugin* plugin, clap_id param_id, const char* display, double* value);
    void(CLAP_CALL* flush)(const clap_plugin* plugin, const clap_input_events* in, const clap_output_events* out);
};

struct clap_host_params {
    void(CLAP_CALL* rescan)(const clap_host* host, std::uint32_t flags);
    void(CLAP_CALL* clear)(const clap_host* host, clap_id param_id, std::uint32_t flags);
    void(CLAP_CALL* request_flush)(const clap_host* host);
};
enum : std::uint32_t { param_rescan_values = 1u << 0 };

// A stream's read and write answer the bytes moved, 0 at its end, -1 on error.
struct clap_istream {
    void* ctx;
    std::int64_t(CLAP_CALL* read)(const clap_istream* stream, void* buffer, std::uint64_t size);
};
struct clap_ostream {
    void* ctx;
    std::int64_t(CLAP_CALL* write)(const clap_ostream* stream, const void* buffer, std::uint64_t size);
};

struct clap_plugin_state {
    bool(CLAP_CALL* save)(const clap_plugin* plugin, const clap_ostream* stream);
    bool(CLAP_CALL* load)(const clap_plugin* plugin, const clap_istream* stream);
};

struct clap_plugin_latency {
    std::uint32_t(CLAP_CALL* get)(const clap_plugin* plugin);
};

using clap_plugin_render_mode = std::int32_t;
enum : clap_plugin_render_mode { render_realtime = 0, render_offline = 1 };

struct clap_plugin_render {
    bool(CLAP_CALL* has_hard_realtime_requirement)(const clap_plugin* plugin);
    bool(CLAP_CALL* set)(const clap_plugin* plugin, clap_plugin_render_mode mode);
};

inline constexpr const char* window_api_x11 = "x11";
inline constexpr const char* window_api_win32 = "win32";

struct clap_window {
    const char* api;
    union {
        void* cocoa;
        unsigned long x11;
        void* win32;
        void* ptr;
    };
};

struct clap_gui_resize_hints {
    bool can_resize_horizontally;
    bool can_resize_vertically;
    bool preserve_aspect_ratio;
    std::uint32_t aspect_ratio_width;
    std::uint32_t aspect_ratio_height;
};

struct clap_plugin_gui {
    bool(CLAP_CALL* is_api_supported)(const clap_plugin* plugin, const char* api, bool is_floating);
    bool(CLAP_CALL* get_preferred_api)(const clap_plugin* plugin, const char** api, bool* is_floating);
    bool(CLAP_CALL* create)(const clap_plugin* plugin, const char* api, bool is_floating);
    void(CLAP_CALL* destroy)(const clap_plugin* plugin);
    bool(CLAP_CALL* set_scale)(const clap_plugin* plugin, double scale);
    bool(CLAP_CALL* get_size)(const clap_plugin* plugin, std::uint32_t* width, std::uint32_t* height);
    bool(CLAP_CALL* can_resize)(const clap_plugin* plugin);
    bool(CLAP_CALL* get_resize_hints)(const clap_plugin* plugin, clap_gui_resize_hints* hints);
    bool(CLAP_CALL* adjust_size)(const clap_plugin* plugin, std::uint32_t* width, std::uint32_t* height);
    bool(CLAP_CALL* set_size)(const clap_plugin* plugin, std::uint32_t width, std::uint32_t height);
    bool(CLAP_CALL* set_parent)(const clap_plugin* plugin, const clap_window* window);
    bool(CLAP_CALL* set_transient)(const clap_plugin* plugin, const clap_window* window);
    void(CLAP_CALL* suggest_title)(const clap_plugin* plugin, const char* title);
    bool(CLAP_CALL* show)(const clap_plugin* plugin);
    bool(CLAP_CALL* hide)(const clap_plugin* plugin);
};

struct clap_plugin_timer_support {
    void(CLAP_CALL* on_timer)(const clap_plugin* plugin, clap_id timer_id);
};
struct clap_host_timer_support {
    bool(CLAP_CALL* register_timer)(const clap_host* host, std::uint32_t period_ms, clap_id* timer_id);
    bool(CLAP_CALL* unregister_timer)(const clap_host* host, clap_id timer_id);
};

enum : std::uint32_t {
    fd_read = 1u << 0,
    fd_write = 1u << 1,
    fd_error = 1u << 2,
};
struct clap_plugin_posix_fd_support {
    void(CLAP_CALL* on_fd)(const clap_plugin* plugin, int fd, std::uint32_t flags);
};
struct clap_host_posix_fd_support {
    bool(CLAP_CALL* register_fd)(const clap_host* host, int fd, std::uint32_t flags);
    bool(CLAP_CALL* modify_fd)(const clap_host* host, int fd, std::uint32_t flags);
    bool(CLAP_CALL* unregister_fd)(const clap_host* host, int fd);
};

struct clap_host_thread_check {
    bool(CLAP_CALL* is_main_thread)(const clap_host* host);
    bool(CLAP_CALL* is_audio_thread)(const clap_host* host);
};

}  // namespace clap
