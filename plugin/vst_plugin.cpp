#include "plugin/vst_plugin.h"

#include <cmath>
#include <new>
#include <stdexcept>

#include "dsp/denormals_off_scope.h"
#include "dsp/dsp.h"
#include "dsp/fir_cascaded_biquad.h"
#include "dsp/partitioned_convolver.h"
#include "platform/message_box.h"
#include "platform/processor_probe.h"
#include "plugin/editor_factory.h"
#include "plugin/error_report.h"
#include "plugin/parameter_table.h"
#include "settings/fir_length_setting.h"

namespace {

constexpr int kDefaultFirLength = 8192;

bool is_power_of_two(int n) { return n > 0 && (n & (n - 1)) == 0; }

// Lengths the engine cannot run (outside 256..131072, or not a power of two)
// fall back to the default.
int usable_fir_length(int stored) {
    if (stored < 256 || stored > VST_Plugin::kMaxFirLength || !is_power_of_two(stored)) return kDefaultFirLength;
    return stored;
}

// The rate truncated to whole hertz; one that no int holds (NaN,
// infinities, beyond 2^31) is taken as unknown, 0, like a host that has none.
int whole_hertz(float rate) { return std::fabs(rate) < 2147483648.0f ? static_cast<int>(rate) : 0; }

}  // namespace

VST_Plugin::VST_Plugin(audioMasterCallback audio_master) : AudioEffectX(audio_master, kNumPrograms, kNumParams) {
    dsp_init_dispatch();
    // The design objects are built with denormals off; the host's own mode
    // on this thread is given back however construction ends.
    const denormals_off_scope denormals_off;

    // Errors raised later on the audio thread are queued for this thread.
    platform::start_message_delivery();
    message_owner = platform::foreground_root_owner();
    num_vst_channels = 2;
    max_block_size = kMaxBlock;
    setNumInputs(2);
    setNumOutputs(2);
    setUniqueID(0x31303136);  // '1016'
    canProcessReplacing(true);

    const int rate = static_cast<int>(sampleRate);
    if (rate < 0 || rate > 192000) throw std::runtime_error("Invalid sample rate reported");
    sample_rate_hz = rate;

    programsAreChunks(true);
    programs = new program_record[kNumPrograms]();
    for (int i = 0; i < kNumPrograms; ++i) make_default_program(programs[i]);
    curProgram = 0;
    current_program = &programs[0];

    run_guarded(": Seen during constructor", delivery::modal, message_owner, [&] {
        sse_level = platform::probe_sse_level();
        if (sse_level < 1) throw std::runtime_error("SSE instruction set required (Pentium III/Athlon XP or above).");
        fir_design = new fir_cascaded_biquad(kNumBands, 44100, 2);
        if (blockSize != 0 && blockSize >= kMaxBlock) max_block_size = blockSize;
        init_processing();
        processing_enabled = true;
    });

    setEditor(create_editor(this));
}

void VST_Plugin::init_processing() {
    fir_length = usable_fir_length(settings::read_fir_length_setting());
    const int latency = (fir_length / 2) * 2;
    setInitialDelay(latency);

    allocate_audio_buffers();
    setup_dry_delay_line();

    try {
        convolver = new partitioned_convolver(num_vst_channels, fir_length);
    } catch (const std::exception& e) {
        report_error(e.what(), ": Seen during constructor", delivery::modal);
        convolver = nullptr;
    }

    create_ir_thread();
    for (int i = 0; i < kNumPrograms; ++i) make_default_program(programs[i]);
}

void VST_Plugin::setSampleRate(float rate) {
    run_guarded(": Seen during setSampleRate", delivery::modal, nullptr, [&] {
        AudioEffect::setSampleRate(rate);
        sample_rate_hz = whole_hertz(rate);
        if (is_processing_enabled()) setProgram(curProgram);
        if (fir_design) fir_design->set_sample_rate(sample_rate_hz);
    });
}

void VST_Plugin::resume() {
    run_guarded(": Seen during resume", delivery::modal, nullptr, [&] {
        if (convolver) convolver->clear_history();
        if (dry_delay_line) {
            for (int ch = 0; ch < num_vst_channels; ++ch) dsp_set(0.0f, dry_delay_line[ch], dry_delay_length);
        }
    });
}

VST_Plugin::~VST_Plugin() {
    // The worker reads almost everything below, so it ends first. A locked
    // instance releases what it built too, and a worker that was never
    // resumed is discarded without running.
    run_guarded(": Seen during destructor", delivery::modal, nullptr, [&] { stop_and_join_ir_thread(); });
    if (worker_unjoinable) {
        editor = nullptr;  // still reachable from the worker: leaked, not freed
        return;
    }
    run_guarded(": Seen during destructor", delivery::modal, nullptr, [&] { release_all(); });
    delete[] programs;
    programs = nullptr;
}

void VST_Plugin::release_all() {
    free_dry_delay_line();
    delete fir_design;
    fir_design = nullptr;
    delete convolver;
    convolver = nullptr;
    free_audio_buffers();
}

bool VST_Plugin::getEffectName(char* name) {
    copy_bounded(name, "Tessvane LE", kVstMaxEffectNameLen);
    return true;
}

bool VST_Plugin::getVendorString(char* text) {
    copy_bounded(text, "Ravelthorpe", kVstMaxVendorStrLen);
    return true;
}

bool VST_Plugin::getProductString(char* text) {
    copy_bounded(text, "Tessvane LE", kVstMaxProductStrLen);
    return true;
}
