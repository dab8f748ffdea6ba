// A small VST 2.x plug-in for testing the host: 2 in / 2 out, delays both
// channels by delay_frames and scales them by twice its one parameter
// "Gain". Like an equaliser that designs in the background, a new gain is
// heard only after a worker thread applies it, and nothing is heard before
// the first application after the sample rate arrives.
//
// Built in variants: TEST_PLUGIN_ENTRY_ANSWERS_NULL, and TEST_PLUGIN_BAD_MAGIC
// and TEST_PLUGIN_BAD_CHANNELS, whose entry answers a broken static record.
#include "../../plugin/vst2/aeffect.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <thread>

namespace {

constexpr VstInt32 delay_frames = 37;
constexpr auto design_time = std::chrono::milliseconds(100);
// Far past the 64 characters a product string may have, and unterminated.
constexpr std::size_t overlong_product_length = 256;

class delay_plugin {
public:
    explicit delay_plugin(audioMasterCallback host) : host_(host) {
        effect_.magic = kEffectMagic;
        effect_.dispatcher = &dispatch_entry;
        effect_.process = &process_entry;
        effect_.setParameter = &set_parameter_entry;
        effect_.getParameter = &get_parameter_entry;
        effect_.numPrograms = 1;
        effect_.numParams = 1;
        effect_.numInputs = 2;
        effect_.numOutputs = 2;
        effect_.flags = effFlagsCanReplacing | effFlagsProgramChunks;
        effect_.initialDelay = delay_frames;
        effect_.ioRatio = 1.0f;
        effect_.object = this;
        effect_.uniqueID = 0x5476446c;  // "TvDl"
        effect_.version = 1;
        effect_.processReplacing = &process_entry;
    }

    ~delay_plugin() {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_one();
        if (worker_.joinable()) worker_.join();
    }

    AEffect* effect() { return &effect_; }

private:
    static delay_plugin& self(AEffect* effect) { return *static_cast<delay_plugin*>(effect->object); }

    static VstIntPtr dispatch_entry(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                    float opt) {
        delay_plugin& plugin = self(effect);
        const VstIntPtr answer = plugin.dispatch(opcode, index, value, ptr, opt);
        if (opcode == effClose) {
            delete &plugin;
            return 1;
        }
        return answer;
    }

    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
        switch (opcode) {
            case effSetSampleRate:
                if (!worker_.joinable()) worker_ = std::thread([this] { apply_designs(); });
                request_design();
                return 0;
            case effMainsChanged:
                resumed_ = value != 0;
                if (resumed_) {
                    for (auto& line : delay_lines_) line.fill(0.0f);
                    position_ = 0;
                }
                return 0;
            case effGetParamName: std::strcpy(static_cast<char*>(ptr), "Gain"); return 0;
            case effGetParamLabel: std::strcpy(static_cast<char*>(ptr), "x"); return 0;
            case effGetParamDisplay:
                std::snprintf(static_cast<char*>(ptr), kVstMaxParamStrLen + 1, "%.3f", 2.0 * gain_);
                return 0;
            case effGetProgramNameIndexed:
                if (index != 0) return 0;
                std::strcpy(static_cast<char*>(ptr), "Default");
                return 1;
            case effGetEffectName: std::strcpy(static_cast<char*>(ptr), "Tessvane Test Delay"); return 1;
            case effGetVendorString: std::strcpy(static_cast<char*>(ptr), "Tessvane Tests"); return 1;
            case effGetProductString: std::memset(ptr, 'p', overlong_product_length); return 1;
            case effGetVendorVersion: return 7;
            case effSetChunk:
                // A program is the gain as one float.
                if (index != 1 || value != sizeof(float) || ptr == nullptr) return 0;
                float gain;
                std::memcpy(&gain, ptr, sizeof gain);
                set_parameter(0, gain);
                return 1;
            case effVendorSpecific:
                // An editor gesture, on this thread (index 0) or another (1).
                if (index == 1)
                    std::thread([this, opt] { edit_gesture(opt); }).join();
                else
                    edit_gesture(opt);
                return 1;
            default: return 0;
        }
    }

    void edit_gesture(float value) {
        host_(&effect_, audioMasterBeginEdit, 0, 0, nullptr, 0.0f);
        set_parameter(0, value);
        host_(&effect_, audioMasterAutomate, 0, 0, nullptr, value);
        host_(&effect_, audioMasterEndEdit, 0, 0, nullptr, 0.0f);
    }

    static void set_parameter_entry(AEffect* effect, VstInt32 index, float value) {
        self(effect).set_parameter(index, value);
    }
    static float get_parameter_entry(AEffect* effect, VstInt32 index) {
        return index == 0 ? self(effect).gain_.load() : 0.0f;
    }

    void set_parameter(VstInt32 index, float value) {
        if (index != 0) return;
        gain_ = std::clamp(value, 0.0f, 1.0f);
        request_design();
    }

    void request_design() {
        {
            std::lock_guard lock(mutex_);
            design_requested_ = true;
        }
        wake_.notify_one();
    }

    void apply_designs() {
        std::unique_lock lock(mutex_);
        for (;;) {
            wake_.wait(lock, [this] { return design_requested_ || stopping_; });
            if (stopping_) return;
            design_requested_ = false;
            lock.unlock();
            // Like a real design, it uses the settings it started with.
            const float scale = 2.0f * gain_.load();
            std::this_thread::sleep_for(design_time);
            applied_scale_ = scale;
            lock.lock();
        }
    }

    static void process_entry(AEffect* effect, float** inputs, float** outputs, VstInt32 frames) {
        self(effect).process(inputs, outputs, frames);
    }

    void process(float** inputs, float** outputs, VstInt32 frames) {
        // Audio before effMainsChanged(1) is a host fault: make it loud.
        if (!resumed_) {
            for (int channel = 0; channel < 2; ++channel) std::fill_n(outputs[channel], frames, NAN);
            return;
        }
        const float scale = applied_scale_.load();
        for (VstInt32 i = 0; i < frames; ++i) {
            for (int channel = 0; channel < 2; ++channel) {
                const float delayed = delay_lines_[channel][position_];
                delay_lines_[channel][position_] = inputs[channel][i];
                outputs[channel][i] = scale * delayed;
            }
            position_ = (position_ + 1) % delay_frames;
        }
    }

    audioMasterCallback host_;
    AEffect effect_{};
    std::atomic<float> gain_{0.5f};
    std::atomic<float> applied_scale_{0.0f};
    std::atomic<bool> resumed_{false};
    std::array<std::array<float, delay_frames>, 2> delay_lines_{};
    VstInt32 position_ = 0;

    std::mutex mutex_;
    std::condition_variable wake_;
    bool design_requested_ = false;
    bool stopping_ = false;
    std::thread worker_;
};

}  // namespace

extern "C" __attribute__((visibility("default"))) AEffect* VSTPluginMain(audioMasterCallback host) {
    if (host(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;
#if defined(TEST_PLUGIN_ENTRY_ANSWERS_NULL)
    return nullptr;
#elif defined(TEST_PLUGIN_BAD_MAGIC) || defined(TEST_PLUGIN_BAD_CHANNELS)
    static AEffect broken{};
    broken.dispatcher = [](AEffect*, VstInt32, VstInt32, VstIntPtr, void*, float) -> VstIntPtr { return 0; };
#if defined(TEST_PLUGIN_BAD_CHANNELS)
    broken.magic = kEffectMagic;
    broken.numInputs = -2;
    broken.numOutputs = 2;
#endif
    return &broken;
#else
    return (new delay_plugin(host))->effect();
#endif
}
