// Test support for driving the plug-in object in-process: throwaway settings
// (settings_sandbox), a capture of every message the plug-in shows, and a
// host callback that records what the plug-in asks of the host.
#pragma once

#include "magnitude_response.h"
#include "settings_sandbox.h"

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "plugin/vst2/aeffect.h"

struct captured_message {
    std::string text;
    std::string caption;
};

// Installs a message sink for its lifetime.
class message_capture {
public:
    message_capture();
    ~message_capture();
    // Every message so far, posted ones included.
    std::vector<captured_message> messages();

private:
    std::mutex mutex_;
    std::vector<captured_message> messages_;
};

// A host: answers the version query with 2400 and the process level with
// process_level, and records automation.
struct host_record {
    std::atomic<int> automate_calls{0};
    std::atomic<int> begin_edit_calls{0};
    std::atomic<int> end_edit_calls{0};
    VstIntPtr version_answer = 2400;
    std::atomic<VstIntPtr> process_level{0};
};
extern host_record the_host;
VstIntPtr VSTCALLBACK test_host_callback(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                         float opt);

extern "C" AEffect* VSTPluginMain(audioMasterCallback audio_master);

// Creates an instance through the entry point and closes it at the end.
class plugin_instance {
public:
    plugin_instance();
    ~plugin_instance();
    AEffect* effect() const { return effect_; }
    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0.0f);
    std::string text_of(VstInt32 opcode, VstInt32 index = 0);
    void process(float** inputs, float** outputs, int frames);

private:
    AEffect* effect_;
};

namespace plugin {
class tessvane_plugin;
}
// The object behind an instance of ours.
plugin::tessvane_plugin& object_of(AEffect* effect);

// Waits, up to a minute, until the redesign worker has no pass due and none
// under way, so that everything set so far is in the loaded response;
// `meanwhile` runs between the checks (an editor's idle step, say).
void wait_until_settled(AEffect* effect, const std::function<void()>& meanwhile = {});

// Waits until the worker has settled, then measures the instance's impulse
// response on channel 0 (history flushed first).
std::vector<float> settled_impulse_response(plugin_instance& plugin, int length);
