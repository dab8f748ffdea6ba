#include "clap_host.h"

#if !defined(_WIN32)
#include <sys/select.h>
#endif

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace clap_test_host {

namespace {

host& self(const clap_host* h) { return *static_cast<host*>(h->host_data); }

bool CLAP_CALL is_main_thread(const clap_host* h) { return self(h).main_thread; }
bool CLAP_CALL is_audio_thread(const clap_host* h) { return self(h).audio_thread; }
constexpr clap_host_thread_check thread_check{is_main_thread, is_audio_thread};

void CLAP_CALL rescan(const clap_host* h, std::uint32_t) { ++self(h).rescans; }
void CLAP_CALL clear(const clap_host*, clap_id, std::uint32_t) {}
void CLAP_CALL request_flush(const clap_host* h) { ++self(h).flush_requests; }
constexpr clap_host_params params{rescan, clear, request_flush};

bool CLAP_CALL register_timer(const clap_host* h, std::uint32_t period, clap_id* id) {
    auto& timers = self(h).timers;
    *id = static_cast<clap_id>(timers.size() + 100);
    timers.emplace_back(*id, period);
    return true;
}
bool CLAP_CALL unregister_timer(const clap_host* h, clap_id id) {
    auto& timers = self(h).timers;
    const auto n = std::erase_if(timers, [&](auto& t) { return t.first == id; });
    return n == 1;
}
constexpr clap_host_timer_support timer{register_timer, unregister_timer};

bool CLAP_CALL register_fd(const clap_host* h, int fd, std::uint32_t) {
    self(h).descriptors.push_back(fd);
    return true;
}
bool CLAP_CALL modify_fd(const clap_host*, int, std::uint32_t) { return true; }
bool CLAP_CALL unregister_fd(const clap_host* h, int fd) { return std::erase(self(h).descriptors, fd) == 1; }
constexpr clap_host_posix_fd_support posix_fd{register_fd, modify_fd, unregister_fd};

const void* CLAP_CALL get_extension(const clap_host* h, const char* id) {
    const host::offers& o = self(h).offered;
    if (o.params && std::strcmp(id, ext_params) == 0) return &params;
    if (o.timer && std::strcmp(id, ext_timer_support) == 0) return &timer;
    if (o.posix_fd && std::strcmp(id, ext_posix_fd_support) == 0) return &posix_fd;
    if (o.thread_check && std::strcmp(id, ext_thread_check) == 0) return &thread_check;
    return nullptr;
}
void CLAP_CALL request(const clap_host*) {}

std::uint32_t CLAP_CALL events_size(const clap_input_events* list) {
    return static_cast<std::uint32_t>(static_cast<events*>(list->ctx)->in.size());
}
const clap_event_header* CLAP_CALL events_get(const clap_input_events* list, std::uint32_t index) {
    auto& in = static_cast<events*>(list->ctx)->in;
    return index < in.size() ? &in[index].header : nullptr;
}
bool CLAP_CALL events_push(const clap_output_events* list, const clap_event_header* event) {
    auto& out = static_cast<events*>(list->ctx)->out;
    if (event->type == event_param_value) {
        const auto& v = reinterpret_cast<const clap_event_param_value&>(*event);
        out.push_back("value " + std::to_string(v.param_id) + " " + std::to_string(v.value));
    } else {
        const auto& g = reinterpret_cast<const clap_event_param_gesture&>(*event);
        out.push_back((event->type == event_param_gesture_begin ? "begin " : "end ") + std::to_string(g.param_id));
    }
    return true;
}

std::int64_t CLAP_CALL stream_write(const clap_ostream* s, const void* buffer, std::uint64_t size) {
    auto& bytes = *static_cast<std::vector<unsigned char>*>(s->ctx);
    const auto* b = static_cast<const unsigned char*>(buffer);
    // A host that takes a little at a time.
    const std::uint64_t n = std::min<std::uint64_t>(size, 4096);
    bytes.insert(bytes.end(), b, b + n);
    return static_cast<std::int64_t>(n);
}

struct reader {
    const std::vector<unsigned char>& bytes;
    std::size_t position = 0;
};
std::int64_t CLAP_CALL stream_read(const clap_istream* s, void* buffer, std::uint64_t size) {
    auto& r = *static_cast<reader*>(s->ctx);
    const auto n = static_cast<std::size_t>(std::min<std::uint64_t>({size, r.bytes.size() - r.position, 1000}));
    if (n) std::memcpy(buffer, r.bytes.data() + r.position, n);
    r.position += n;
    return static_cast<std::int64_t>(n);
}

}  // namespace

module::module(const std::string& path) :library_(path) {
    entry_ = static_cast<const clap_plugin_entry*>(library_.symbol("clap_entry"));
    if (!entry_ || !entry_->init(path.c_str())) throw std::runtime_error("not a CLAP module");
    factory_ = static_cast<const clap_plugin_factory*>(entry_->get_factory(plugin_factory_id));
    if (!factory_) throw std::runtime_error("no plug-in factory");
}

module::~module() { entry_->deinit(); }

host::host(offers o)
    : offered(o), host_{format_version, this,   "tessvane clap_host", "Ravelthorpe", "", "1.0", get_extension, request,
                        request,        request} {}

void host::run_once(const clap_plugin* plugin) {
    const auto* timer_ext =
        static_cast<const clap_plugin_timer_support*>(plugin->get_extension(plugin, ext_timer_support));
    for (auto [id, period] : std::vector(timers)) timer_ext->on_timer(plugin, id);
#if !defined(_WIN32)
    const auto* fd_ext =
        static_cast<const clap_plugin_posix_fd_support*>(plugin->get_extension(plugin, ext_posix_fd_support));
    for (int fd : std::vector(descriptors)) {
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(fd, &readable);
        timeval none{0, 0};
        if (select(fd + 1, &readable, nullptr, nullptr, &none) > 0) fd_ext->on_fd(plugin, fd, fd_read);
    }
#endif
}

void events::add(clap_id id, std::uint32_t time, double value) {
    clap_event_param_value e{};
    e.header = {sizeof e, time, core_event_space, event_param_value, 0};
    e.param_id = id;
    e.note_id = -1;
    e.port_index = e.channel = e.key = -1;
    e.value = value;
    in.push_back(e);
}
clap_input_events events::input() { return {this, events_size, events_get}; }
clap_output_events events::output() { return {this, events_push}; }

instance::instance(const module& loaded, const host& h, const char* id)
    : instance(loaded.factory().create_plugin(&loaded.factory(), h.get(), id)) {}

instance::instance(const clap_plugin* made) : plugin(made) {
    if (!plugin) throw std::runtime_error("no plug-in made");
    initialised = plugin->init(plugin);
}

instance::~instance() {
    if (active) plugin->deactivate(plugin);
    plugin->destroy(plugin);
}

bool instance::start(double rate, std::uint32_t max_frames, clap_plugin_render_mode mode) {
    ext<clap_plugin_render>(ext_render).set(plugin, mode);
    active = plugin->activate(plugin, rate, 1, max_frames);
    return active && plugin->start_processing(plugin);
}

clap_process_status instance::process(const float* const* in, float* const* out, std::uint32_t frames, events* ev) {
    events none;
    events& e = ev ? *ev : none;
    const clap_input_events input = e.input();
    const clap_output_events output = e.output();
    clap_audio_buffer in_port{const_cast<float**>(in), nullptr, 2, 0, 0};
    clap_audio_buffer out_port{const_cast<float**>(out), nullptr, 2, 0, 0};
    const clap_process data{-1, frames, nullptr, &in_port, &out_port, 1, 1, &input, &output};
    return plugin->process(plugin, &data);
}

std::vector<unsigned char> instance::state() {
    std::vector<unsigned char> bytes;
    const clap_ostream stream{&bytes, stream_write};
    if (!ext<clap_plugin_state>(ext_state).save(plugin, &stream)) bytes.clear();
    return bytes;
}

bool instance::set_state(const std::vector<unsigned char>& bytes) {
    reader r{bytes};
    const clap_istream stream{&r, stream_read};
    return ext<clap_plugin_state>(ext_state).load(plugin, &stream);
}

double instance::value(clap_id id) {
    double v = -1.0;
    params().get_value(plugin, id, &v);
    return v;
}

std::string instance::text_of(clap_id id, double value) {
    char text[64] = {};
    return params().value_to_text(plugin, id, value, text, sizeof text) ? text : "";
}

}  // namespace clap_test_host
