// One VST 2.x plug-in loaded through its real entry point, driven through the
// lifecycle a host gives it: entry, effOpen, sample rate and block size,
// effMainsChanged(1) before audio, effMainsChanged(0) and effClose at the end,
// the library closed last.
//
// Not thread-safe itself: one thread drives it, as a host's dispatcher thread
// would; the plug-in may call back from any thread (see host_callback).
#pragma once

#include "host_callback.h"

#include <memory>
#include <stdexcept>
#include <string>

namespace tessvane::host {

// Why a plug-in could not be loaded, in words for the user.
class plugin_load_error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct host_settings {
    float sample_rate = 44100.0f;
    VstInt32 block_size = 512;
    bool verbose = false;
    // Installed before the entry point runs, so it sees every call.
    host_call_handler handler;
    // What the audio thread is told its process level is: real time, or
    // kVstProcessLevelOffline for an export.
    VstIntPtr audio_process_level = kVstProcessLevelRealtime;
};

class loaded_plugin {
public:
    // Throws plugin_load_error when the file cannot be loaded, exports no
    // entry point, the entry answers null or the record is not a plug-in's.
    static std::unique_ptr<loaded_plugin> load(const std::string& path, host_settings settings = {});
    ~loaded_plugin();
    loaded_plugin(const loaded_plugin&) = delete;
    loaded_plugin& operator=(const loaded_plugin&) = delete;

    AEffect* effect() const { return effect_; }
    host_callback& host() { return *host_; }
    const std::string& path() const { return path_; }

    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0.0f);

    // Tells the plug-in the rate and largest block; a running plug-in is
    // suspended first, as hosts do for a new rate.
    void configure(float sample_rate, VstInt32 max_block);
    // configure, then resume.
    void start(float sample_rate, VstInt32 max_block);
    void suspend();
    void resume();
    // Suspend and resume: the host's way of clearing a plug-in's history.
    void flush();
    bool running() const { return running_; }

    // processReplacing on the calling thread, marked as the audio thread.
    // inputs and outputs hold numInputs and numOutputs channel pointers.
    // Throws std::runtime_error if the plug-in cannot process replacing.
    void process(float** inputs, float** outputs, VstInt32 frames);

    void set_parameter(VstInt32 index, float value);
    float parameter(VstInt32 index);

    // Text queries: the plug-in gets a zeroed buffer far larger than the
    // published bound, and the answer is cut at the first zero or the buffer.
    std::string text(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0);
    std::string effect_name() { return text(effGetEffectName); }
    std::string vendor() { return text(effGetVendorString); }
    std::string product() { return text(effGetProductString); }
    std::string parameter_name(VstInt32 index) { return text(effGetParamName, index); }
    std::string parameter_label(VstInt32 index) { return text(effGetParamLabel, index); }
    std::string parameter_display(VstInt32 index) { return text(effGetParamDisplay, index); }
    // Empty when the plug-in answers 0.
    std::string program_name(VstInt32 index);

private:
    loaded_plugin(std::string path, void* library, std::unique_ptr<host_callback> host);

    std::string path_;
    void* library_;
    std::unique_ptr<host_callback> host_;
    AEffect* effect_ = nullptr;
    bool running_ = false;
};

}  // namespace tessvane::host
