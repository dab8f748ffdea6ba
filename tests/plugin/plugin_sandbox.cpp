#include "plugin_sandbox.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include "platform/message_box.h"
#include "plugin/tessvane_plugin.h"

message_capture::message_capture() {
    platform::set_message_sink([this](const platform::message& m) {
        std::lock_guard lock(mutex_);
        messages_.push_back({m.text, m.caption});
    });
}

message_capture::~message_capture() {
    platform::flush_posted_messages();
    platform::set_message_sink({});
}

std::vector<captured_message> message_capture::messages() {
    platform::flush_posted_messages();
    std::lock_guard lock(mutex_);
    return messages_;
}

host_record the_host;

VstIntPtr VSTCALLBACK test_host_callback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    switch (opcode) {
        case audioMasterVersion: return the_host.version_answer;
        case audioMasterAutomate: ++the_host.automate_calls; return 1;
        case audioMasterBeginEdit: ++the_host.begin_edit_calls; return 1;
        case audioMasterEndEdit: ++the_host.end_edit_calls; return 1;
        case audioMasterGetCurrentProcessLevel: return the_host.process_level;
        default: return 0;
    }
}

plugin_instance::plugin_instance() : effect_(VSTPluginMain(test_host_callback)) {}

plugin_instance::~plugin_instance() {
    if (effect_) effect_->dispatcher(effect_, effClose, 0, 0, nullptr, 0.0f);
}

VstIntPtr plugin_instance::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
}

std::string plugin_instance::text_of(VstInt32 opcode, VstInt32 index) {
    char buffer[256] = {};
    dispatch(opcode, index, 0, buffer);
    return buffer;
}

void plugin_instance::process(float** inputs, float** outputs, int frames) {
    effect_->processReplacing(effect_, inputs, outputs, frames);
}

plugin::tessvane_plugin& object_of(AEffect* effect) { return *static_cast<plugin::tessvane_plugin*>(effect->object); }

void wait_until_settled(AEffect* effect, const std::function<void()>& meanwhile) {
    const dsp::linear_phase_eq* engine = object_of(effect).engine();
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (engine && !engine->settled()) {
        if (std::chrono::steady_clock::now() > give_up) {
            ADD_FAILURE() << "the redesign worker never settled";
            return;
        }
        if (meanwhile) meanwhile();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

std::vector<float> settled_impulse_response(plugin_instance& plugin, int length) {
    wait_until_settled(plugin.effect());
    plugin.dispatch(effMainsChanged, 0, 0);
    plugin.dispatch(effMainsChanged, 0, 1);
    std::vector<float> in_l(length, 0.0f), in_r(length, 0.0f), out_l(length), out_r(length);
    in_l[0] = in_r[0] = 1.0f;
    float* in[] = {in_l.data(), in_r.data()};
    float* out[] = {out_l.data(), out_r.data()};
    for (int done = 0; done < length; done += 512) {
        const int n = std::min(512, length - done);
        float* block_in[] = {in[0] + done, in[1] + done};
        float* block_out[] = {out[0] + done, out[1] + done};
        plugin.process(block_in, block_out, n);
    }
    return out_l;
}
