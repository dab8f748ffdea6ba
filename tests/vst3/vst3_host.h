// A VST3 host of our own for the suites: it loads the built module through
// its entry points and gives the plug-in the host's side of the format (a
// memory stream, parameter queues, an edit handler, a frame with a run loop),
// all through the same C tables a host reaches the plug-in by.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "../support/module_library.h"
#include "vst3/interface_slot.h"

namespace vst3_host {

using namespace vst3;

// The module, loaded and entered; closed when this ends.
class module {
public:
    explicit module(const std::string& path);
    ~module();
    module(const module&) = delete;
    module& operator=(const module&) = delete;
    IPluginFactory* factory() const { return factory_; }
    const IPluginFactory_vtbl& calls() const { return *factory_->vtbl; }

private:
    module_library library_;
    IPluginFactory* factory_ = nullptr;
};

// A growable stream in memory, as hosts hand to getState and setState.
class memory_stream {
public:
    explicit memory_stream(std::vector<unsigned char> bytes = {});
    IBStream* stream() { return reinterpret_cast<IBStream*>(&slot_); }
    std::vector<unsigned char> bytes;
    std::size_t position = 0;

private:
    interface_slot slot_;
};

// One block's parameter queues.
class parameter_changes {
public:
    parameter_changes();
    void add(ParamID id, std::int32_t offset, ParamValue value);
    IParameterChanges* changes() { return reinterpret_cast<IParameterChanges*>(&slot_); }

    struct queue {
        interface_slot slot;
        ParamID id;
        std::vector<std::pair<std::int32_t, ParamValue>> points;
    };
    std::vector<std::unique_ptr<queue>> queues;

private:
    interface_slot slot_;
};

// Records what the plug-in tells the host of edits.
class component_handler {
public:
    component_handler();
    IComponentHandler* handler() { return reinterpret_cast<IComponentHandler*>(&slot_); }
    std::vector<std::string> calls;  // "begin 4", "perform 4 0.25", "end 4", "restart 4"

private:
    interface_slot slot_;
};

// The view's frame; with a run loop when asked for. run_once calls every
// timer and every handler whose descriptor is readable.
class plug_frame {
public:
    explicit plug_frame(bool offers_run_loop);
    IPlugFrame* frame() { return reinterpret_cast<IPlugFrame*>(&frame_slot_); }
    IRunLoop* run_loop() { return reinterpret_cast<IRunLoop*>(&loop_slot_); }
    void run_once();
    bool offers_run_loop;
    std::vector<ITimerHandler*> timers;
    std::vector<std::pair<IEventHandler*, int>> handlers;

private:
    interface_slot frame_slot_;
    interface_slot loop_slot_;
};

// One instance: the component with its processor and controller.
class instance {
public:
    // The factory's first class, or the one at class_index.
    explicit instance(const module& loaded, std::int32_t class_index = 0);
    // A component already made (in the process itself), taken over.
    explicit instance(void* component);
    ~instance();
    instance(const instance&) = delete;
    instance& operator=(const instance&) = delete;

    // setupProcessing, then setActive and setProcessing.
    tresult start(double rate, std::int32_t max_block, std::int32_t mode = kRealtime);
    void stop();
    // One block, the outputs replaced.
    tresult process(const float* const* in, float* const* out, std::int32_t frames,
                    parameter_changes* changes = nullptr, std::int32_t mode = kRealtime);

    std::vector<unsigned char> state();
    tresult set_state(std::vector<unsigned char> bytes);
    std::string text_of(ParamID id, ParamValue value);

    void* component = nullptr;  // each points at its C table
    void* processor = nullptr;
    void* controller = nullptr;
    void* unit_info = nullptr;
    const IComponent_vtbl& comp() const { return **reinterpret_cast<IComponent_vtbl* const*>(component); }
    const IAudioProcessor_vtbl& proc() const { return **reinterpret_cast<IAudioProcessor_vtbl* const*>(processor); }
    const IEditController_vtbl& ctrl() const { return **reinterpret_cast<IEditController_vtbl* const*>(controller); }
    const IUnitInfo_vtbl& units() const { return **reinterpret_cast<IUnitInfo_vtbl* const*>(unit_info); }
};

std::string narrow(const char16_t* text);

}  // namespace vst3_host
