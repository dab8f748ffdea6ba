// The host side of the VST 2.x callback: what tessvane-host answers when a
// plug-in calls audioMaster, and a record of the edits the plug-in reported.
//
// Thread safety: a plug-in may call back from any thread, also re-entrantly
// from inside a dispatcher call. Every answer reads atomics; the edit record is
// guarded by a mutex held only to append or copy; the custom handler is called
// with no lock held, so it may call straight back into the plug-in.
#pragma once

#include "../plugin/vst2/aeffect.h"

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace tessvane::host {

struct host_call {
    AEffect* effect;
    VstInt32 opcode;
    VstInt32 index;
    VstIntPtr value;
    void* ptr;
    float opt;
};

struct edit_event {
    enum class kind { automate, begin_edit, end_edit };
    kind what;
    VstInt32 index;
    float value;  // the automated value; 0 for begin and end
    bool operator==(const edit_event&) const = default;
};

// Answers a call in place of the defaults when it returns a value; returning
// nullopt leaves the call to the defaults (which also record edits).
using host_call_handler = std::function<std::optional<VstIntPtr>(const host_call&)>;

class host_callback {
public:
    static constexpr VstIntPtr host_version = 2400;
    static constexpr VstIntPtr host_vendor_version = 1000;

    host_callback() = default;
    host_callback(const host_callback&) = delete;
    host_callback& operator=(const host_callback&) = delete;

    // The entry to hand to a plug-in. It finds this object through the
    // effect's resvd1 (the field reserved for the host) and, while a plug-in's
    // entry point runs, through the loading thread.
    static VstIntPtr VSTCALLBACK entry(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                       float opt);

    // Routes calls from inside an entry point, before resvd1 can be set, to
    // this object. Lives for the scope of the entry-point call.
    class loading_scope {
    public:
        explicit loading_scope(host_callback& host);
        ~loading_scope();
        loading_scope(const loading_scope&) = delete;
        loading_scope& operator=(const loading_scope&) = delete;

    private:
        host_callback* previous_;
    };
    void attach(AEffect& effect);

    VstIntPtr answer(const host_call& call);

    void set_sample_rate(float rate) { sample_rate_.store(rate); }
    void set_block_size(VstInt32 frames) { block_size_.store(frames); }
    float sample_rate() const { return sample_rate_.load(); }
    VstInt32 block_size() const { return block_size_.load(); }

    // Prints every reported edit to stderr.
    void set_verbose(bool verbose) { verbose_.store(verbose); }
    // The process level answered on the audio thread: real time (2) unless
    // told otherwise, offline (4) for an export as fast as it can.
    void set_audio_process_level(VstIntPtr level) { audio_process_level_.store(level); }
    void set_handler(host_call_handler handler);

    std::vector<edit_event> edit_events() const;
    void clear_edit_events();
    int io_changes() const { return io_changes_.load(); }

    // Marks the calling thread as the audio thread for the process level.
    class audio_thread_scope {
    public:
        audio_thread_scope();
        ~audio_thread_scope();
        audio_thread_scope(const audio_thread_scope&) = delete;
        audio_thread_scope& operator=(const audio_thread_scope&) = delete;
    };

private:
    VstIntPtr default_answer(const host_call& call);
    void record(edit_event event);

    std::atomic<float> sample_rate_{44100.0f};
    std::atomic<VstInt32> block_size_{512};
    std::atomic<bool> verbose_{false};
    std::atomic<VstIntPtr> audio_process_level_{kVstProcessLevelRealtime};
    std::atomic<int> io_changes_{0};

    mutable std::mutex handler_mutex_;
    std::shared_ptr<const host_call_handler> handler_;

    mutable std::mutex edits_mutex_;
    std::vector<edit_event> edits_;
};

}  // namespace tessvane::host
