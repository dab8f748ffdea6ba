#include "vst3_host.h"

#if !defined(_WIN32)
#include <sys/select.h>
#endif

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace vst3_host {

namespace {

template <class T>
T& self(void* s) {
    return owner_of<T>(s);
}

std::uint32_t VST3_CALL no_count(void*) { return 1; }
tresult VST3_CALL no_query(void*, const TUID, void** obj) {
    *obj = nullptr;
    return kNoInterface;
}
constexpr FUnknown_vtbl plain_unknown{no_query, no_count, no_count};

// ---- IBStream -------------------------------------------------------------

tresult VST3_CALL stream_read(void* s, void* buffer, std::int32_t bytes, std::int32_t* read) {
    memory_stream& m = self<memory_stream>(s);
    const auto n = static_cast<std::size_t>(std::max<std::int32_t>(bytes, 0));
    const std::size_t count = std::min(n, m.bytes.size() - std::min(m.position, m.bytes.size()));
    if (count) std::memcpy(buffer, m.bytes.data() + m.position, count);
    m.position += count;
    if (read) *read = static_cast<std::int32_t>(count);
    return kResultOk;
}
tresult VST3_CALL stream_write(void* s, void* buffer, std::int32_t bytes, std::int32_t* written) {
    memory_stream& m = self<memory_stream>(s);
    const auto* b = static_cast<const unsigned char*>(buffer);
    if (m.bytes.size() < m.position + bytes) m.bytes.resize(m.position + bytes);
    std::copy(b, b + bytes, m.bytes.begin() + static_cast<std::ptrdiff_t>(m.position));
    m.position += bytes;
    if (written) *written = bytes;
    return kResultOk;
}
tresult VST3_CALL stream_seek(void* s, std::int64_t pos, std::int32_t mode, std::int64_t* result) {
    memory_stream& m = self<memory_stream>(s);
    const std::int64_t base = mode == kIBSeekCur   ? std::int64_t(m.position)
                              : mode == kIBSeekEnd ? std::int64_t(m.bytes.size())
                                                   : 0;
    if (base + pos < 0) return kInvalidArgument;
    m.position = static_cast<std::size_t>(base + pos);
    if (result) *result = base + pos;
    return kResultOk;
}
tresult VST3_CALL stream_tell(void* s, std::int64_t* pos) {
    if (pos) *pos = static_cast<std::int64_t>(self<memory_stream>(s).position);
    return kResultOk;
}
constexpr IBStream_vtbl stream_table{plain_unknown, stream_read, stream_write, stream_seek, stream_tell};

// ---- IParameterChanges -------------------------------------------------------

ParamID VST3_CALL queue_id(void* s) { return self<parameter_changes::queue>(s).id; }
std::int32_t VST3_CALL queue_count(void* s) {
    return static_cast<std::int32_t>(self<parameter_changes::queue>(s).points.size());
}
tresult VST3_CALL queue_point(void* s, std::int32_t index, std::int32_t* offset, ParamValue* value) {
    auto& q = self<parameter_changes::queue>(s);
    if (index < 0 || index >= static_cast<std::int32_t>(q.points.size())) return kInvalidArgument;
    *offset = q.points[index].first;
    *value = q.points[index].second;
    return kResultOk;
}
tresult VST3_CALL queue_add(void*, std::int32_t, ParamValue, std::int32_t*) { return kResultFalse; }
constexpr IParamValueQueue_vtbl queue_table{plain_unknown, queue_id, queue_count, queue_point, queue_add};

std::int32_t VST3_CALL changes_count(void* s) {
    return static_cast<std::int32_t>(self<parameter_changes>(s).queues.size());
}
IParamValueQueue* VST3_CALL changes_data(void* s, std::int32_t index) {
    auto& c = self<parameter_changes>(s);
    if (index < 0 || index >= static_cast<std::int32_t>(c.queues.size())) return nullptr;
    return reinterpret_cast<IParamValueQueue*>(&c.queues[index]->slot);
}
IParamValueQueue* VST3_CALL changes_add(void*, const ParamID*, std::int32_t*) { return nullptr; }
constexpr IParameterChanges_vtbl changes_table{plain_unknown, changes_count, changes_data, changes_add};

// ---- IComponentHandler -------------------------------------------------------

tresult VST3_CALL begin_edit(void* s, ParamID id) {
    self<component_handler>(s).calls.push_back("begin " + std::to_string(id));
    return kResultOk;
}
tresult VST3_CALL perform_edit(void* s, ParamID id, ParamValue v) {
    self<component_handler>(s).calls.push_back("perform " + std::to_string(id) + " " + std::to_string(v));
    return kResultOk;
}
tresult VST3_CALL end_edit(void* s, ParamID id) {
    self<component_handler>(s).calls.push_back("end " + std::to_string(id));
    return kResultOk;
}
tresult VST3_CALL restart(void* s, std::int32_t flags) {
    self<component_handler>(s).calls.push_back("restart " + std::to_string(flags));
    return kResultOk;
}
constexpr IComponentHandler_vtbl handler_table{plain_unknown, begin_edit, perform_edit, end_edit, restart};

// ---- IPlugFrame and IRunLoop ---------------------------------------------------

tresult VST3_CALL frame_query(void* s, const TUID iid, void** obj);
constexpr FUnknown_vtbl frame_unknown{frame_query, no_count, no_count};
tresult VST3_CALL resize_view(void*, IPlugView*, ViewRect*) { return kResultOk; }
constexpr IPlugFrame_vtbl frame_table{frame_unknown, resize_view};

tresult VST3_CALL register_handler(void* s, IEventHandler* h, int fd) {
    self<plug_frame>(s).handlers.emplace_back(h, fd);
    return kResultOk;
}
tresult VST3_CALL unregister_handler(void* s, IEventHandler* h) {
    auto& v = self<plug_frame>(s).handlers;
    v.erase(std::remove_if(v.begin(), v.end(), [&](auto& e) { return e.first == h; }), v.end());
    return kResultOk;
}
tresult VST3_CALL register_timer(void* s, ITimerHandler* t, std::uint64_t) {
    self<plug_frame>(s).timers.push_back(t);
    return kResultOk;
}
tresult VST3_CALL unregister_timer(void* s, ITimerHandler* t) {
    auto& v = self<plug_frame>(s).timers;
    v.erase(std::remove(v.begin(), v.end(), t), v.end());
    return kResultOk;
}
constexpr IRunLoop_vtbl loop_table{frame_unknown, register_handler, unregister_handler, register_timer,
                                   unregister_timer};

}  // namespace

// ---- module --------------------------------------------------------------------

namespace {

#if defined(_WIN32)
constexpr const char* enter_name = "InitDll";
constexpr const char* exit_name = "ExitDll";
#else
constexpr const char* enter_name = "ModuleEntry";
constexpr const char* exit_name = "ModuleExit";
#endif

}  // namespace

module::module(const std::string& path) :library_(path) {
    // Linux passes the library's handle; Windows' entry takes nothing and ignores it.
    auto enter = reinterpret_cast<bool (*)(void*)>(library_.symbol(enter_name));
    auto get_factory = reinterpret_cast<IPluginFactory*(VST3_CALL*)()>(library_.symbol("GetPluginFactory"));
    if (!enter || !get_factory || !enter(library_.handle())) throw std::runtime_error("not a VST3 module");
    factory_ = get_factory();
}

module::~module() {
    if (factory_) factory_->vtbl->unknown.release(factory_);
    if (auto exit = reinterpret_cast<bool (*)()>(library_.symbol(exit_name))) exit();
}

memory_stream::memory_stream(std::vector<unsigned char> initial)
    : bytes(std::move(initial)), slot_{&stream_table, this} {}

parameter_changes::parameter_changes() : slot_{&changes_table, this} {}

void parameter_changes::add(ParamID id, std::int32_t offset, ParamValue value) {
    auto found = std::find_if(queues.begin(), queues.end(), [&](auto& q) { return q->id == id; });
    if (found == queues.end()) {
        queues.push_back(std::make_unique<queue>());
        queues.back()->slot = {&queue_table, queues.back().get()};
        queues.back()->id = id;
        found = queues.end() - 1;
    }
    (*found)->points.emplace_back(offset, value);
}

component_handler::component_handler() : slot_{&handler_table, this} {}

plug_frame::plug_frame(bool offers)
    : offers_run_loop(offers), frame_slot_{&frame_table, this}, loop_slot_{&loop_table, this} {}

namespace {
tresult VST3_CALL frame_query(void* s, const TUID iid, void** obj) {
    plug_frame& f = self<plug_frame>(s);
    // Both slots answer for the same object; the run loop only when offered.
    if (is_id(iid, iid::IPlugFrame) || is_id(iid, iid::FUnknown)) {
        *obj = f.frame();
        return kResultOk;
    }
    if (f.offers_run_loop && is_id(iid, iid::IRunLoop)) {
        *obj = f.run_loop();
        return kResultOk;
    }
    *obj = nullptr;
    return kNoInterface;
}
}  // namespace

void plug_frame::run_once() {
    for (ITimerHandler* t : std::vector<ITimerHandler*>(timers)) t->vtbl->onTimer(t);
#if !defined(_WIN32)
    for (auto [h, fd] : std::vector<std::pair<IEventHandler*, int>>(handlers)) {
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(fd, &readable);
        timeval none{0, 0};
        if (select(fd + 1, &readable, nullptr, nullptr, &none) > 0) h->vtbl->onFDIsSet(h, fd);
    }
#endif
}

// ---- instance ------------------------------------------------------------------

namespace {

// A class the factory names, as a host finds it.
void* component_of(const module& loaded, std::int32_t class_index) {
    PClassInfo info{};
    void* obj = nullptr;
    if (loaded.calls().getClassInfo(loaded.factory(), class_index, &info) != kResultOk ||
        loaded.calls().createInstance(loaded.factory(), info.cid, id_bytes(iid::IComponent).data(), &obj) !=
            kResultOk ||
        !obj)
        throw std::runtime_error("no component");
    return obj;
}

}  // namespace

instance::instance(const module& loaded, std::int32_t class_index) : instance(component_of(loaded, class_index)) {}

instance::instance(void* made) : component(made) {
    comp().base.initialize(component, nullptr);
    auto ask = [&](const uid_words& id) {
        void* p = nullptr;
        comp().base.unknown.queryInterface(component, id_bytes(id).data(), &p);
        return p;
    };
    processor = ask(iid::IAudioProcessor);
    controller = ask(iid::IEditController);
    unit_info = ask(iid::IUnitInfo);
    if (!processor || !controller || !unit_info) throw std::runtime_error("missing interfaces");
}

instance::~instance() {
    for (void* p : {processor, controller, unit_info}) (*reinterpret_cast<FUnknown_vtbl* const*>(p))->release(p);
    comp().base.terminate(component);
    comp().base.unknown.release(component);
}

tresult instance::start(double rate, std::int32_t max_block, std::int32_t mode) {
    ProcessSetup setup{mode, kSample32, max_block, rate};
    const tresult r = proc().setupProcessing(processor, &setup);
    if (r != kResultOk) return r;
    comp().setActive(component, 1);
    return proc().setProcessing(processor, 1);
}

void instance::stop() {
    proc().setProcessing(processor, 0);
    comp().setActive(component, 0);
}

tresult instance::process(const float* const* in, float* const* out, std::int32_t frames, parameter_changes* changes,
                          std::int32_t mode) {
    AudioBusBuffers ins{};
    ins.numChannels = 2;
    ins.channelBuffers32 = const_cast<float**>(in);
    AudioBusBuffers outs{};
    outs.numChannels = 2;
    outs.channelBuffers32 = const_cast<float**>(out);
    ProcessData data{};
    data.processMode = mode;
    data.symbolicSampleSize = kSample32;
    data.numSamples = frames;
    data.numInputs = 1;
    data.numOutputs = 1;
    data.inputs = &ins;
    data.outputs = &outs;
    data.inputParameterChanges = changes ? changes->changes() : nullptr;
    return proc().process(processor, &data);
}

std::vector<unsigned char> instance::state() {
    memory_stream s;
    if (comp().getState(component, s.stream()) != kResultOk) throw std::runtime_error("getState");
    return s.bytes;
}

tresult instance::set_state(std::vector<unsigned char> bytes) {
    memory_stream s(std::move(bytes));
    return comp().setState(component, s.stream());
}

std::string instance::text_of(ParamID id, ParamValue value) {
    char16_t text[128] = {};
    if (ctrl().getParamStringByValue(controller, id, value, text) != kResultOk) return "<refused>";
    return narrow(text);
}

std::string narrow(const char16_t* text) {
    std::string s;
    for (; *text; ++text) s += static_cast<char>(*text);
    return s;
}

}  // namespace vst3_host
