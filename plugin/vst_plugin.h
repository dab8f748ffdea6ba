// The equaliser instance: owns the program bank, the filter design, the
// audio buffers and dry delay line, the convolution engine, the IR worker
// and the editor, and implements every host-facing operation.
//
// Threads: construction, dispatcher opcodes and destruction on the host's
// dispatcher thread; setParameter/getParameter on any thread;
// processReplacing on the audio thread (no allocation, no lock of this
// object); the IR worker on its own thread.
#pragma once

#include <atomic>
#include <string>

#include "platform/critical_section.h"
#include "platform/event.h"
#include "platform/thread.h"
#include "plugin/audio_effect_x.h"
#include "plugin/program_record.h"

class fir_cascaded_biquad;
class partitioned_convolver;
class VST_Plugin;

// The worker's record.
struct ir_thread_record {
    std::atomic<bool> running{true};
    platform::auto_reset_event* wake_event = nullptr;
    VST_Plugin* owner = nullptr;
    std::string name;
};

class VST_Plugin : public AudioEffectX {
public:
    static constexpr int kMaxBlock = 131072;
    static constexpr int kMaxFirLength = 131072;
    static constexpr int kVendorVersion = 1004;

    explicit VST_Plugin(audioMasterCallback audio_master);
    ~VST_Plugin() override;

    void resume() override;
    void setSampleRate(float rate) override;
    void processReplacing(float** inputs, float** outputs, VstInt32 frames) override;
    void setParameter(VstInt32 index, float value) override;
    float getParameter(VstInt32 index) override;
    void setProgram(VstInt32 program) override;
    void setProgramName(const char* name) override;
    void getProgramName(char* name) override;
    void getParameterLabel(VstInt32 index, char* label) override;
    void getParameterDisplay(VstInt32 index, char* text) override;
    void getParameterName(VstInt32 index, char* text) override;
    VstInt32 getChunk(void** data, bool is_preset) override;
    VstInt32 setChunk(const void* data, VstInt32 byte_size, bool is_preset) override;
    bool getProgramNameIndexed(VstInt32 category, VstInt32 index, char* text) override;
    VstInt32 getGetTailSize() override { return 2646000; }
    bool getEffectName(char* name) override;
    bool getVendorString(char* text) override;
    bool getProductString(char* text) override;
    VstInt32 getVendorVersion() override { return kVendorVersion; }
    VstInt32 getPlugCategory() override { return kPlugCategEffect; }

    virtual void init_processing();
    virtual void apply_band(int band);

    // Read access for the editor.
    int sample_rate_hz_value() const { return sample_rate_hz.load(std::memory_order_relaxed); }
    int fir_length_in_use() const { return fir_length; }
    bool is_processing_enabled() const { return processing_enabled.load(std::memory_order_relaxed); }
    fir_cascaded_biquad* filter_design() const { return fir_design; }

    // The IR worker's progress: passes made and FIRs designed so far.
    int ir_passes() const { return ir_pass_count.load(std::memory_order_relaxed); }
    int ir_designs() const { return ir_design_count.load(std::memory_order_relaxed); }

private:
    friend unsigned ir_thread_function(void* record);

    program_record* refresh_current_program();
    void request_ir_update();
    void enter_locked_state() { processing_enabled.store(false, std::memory_order_relaxed); }
    void release_all();

    // Audio path.
    void allocate_audio_buffers();
    void free_audio_buffers();
    void setup_dry_delay_line();
    void free_dry_delay_line();
    void process_dry_delay(float** channels, int n);
    void process_block(float** inputs, float** outputs, int n);

    // IR worker.
    void create_ir_thread();
    void signal_ir_thread();
    void stop_and_join_ir_thread();
    void ThreadEntryPoint(ir_thread_record& record);

    program_record* programs = nullptr;
    std::atomic<program_record*> current_program{nullptr};
    std::atomic<bool> processing_enabled{false};
    int max_block_size = kMaxBlock;
    int num_vst_channels = 2;
    int sse_level = 0;
    ir_thread_record* ir_thread = nullptr;
    platform::thread* ir_thread_handle = nullptr;
    bool ir_thread_resumed = false;
    bool worker_unjoinable = false;  // a failed stop left the worker running
    float** dry_delay_line = nullptr;
    int dry_delay_read_index = 0;
    int dry_delay_write_index = 0;
    int dry_delay_length = 0;
    std::atomic<int> sample_rate_hz{44100};
    bool ir_update_requested = false;
    platform::critical_section ir_update_lock;
    fir_cascaded_biquad* fir_design = nullptr;
    float** multichannel_fir_eq_load_buffer = nullptr;
    int fir_length = 0;
    partitioned_convolver* convolver = nullptr;
    float** aligned_inputs = nullptr;
    float*** aligned_multistage_outputs = nullptr;
    void* message_owner = nullptr;
    std::atomic<int> ir_pass_count{0};
    std::atomic<int> ir_design_count{0};
};
