// The IR worker of VST_Plugin: sleeps until woken, redesigns the FIR from
// the current bands when a redesign was requested, and hands it to the
// engine, which swaps it in between two of its blocks.
#include <stdexcept>

#include "dsp/fir_cascaded_biquad.h"
#include "dsp/partitioned_convolver.h"
#include "platform/clock.h"
#include "plugin/aeff_editor.h"
#include "plugin/error_report.h"
#include "plugin/parameter_table.h"
#include "plugin/vst_plugin.h"

namespace {

constexpr unsigned kCoalescingPauseMs = 50;
constexpr const char* kWorkerSuffix = ": Seen during ThreadEntryPoint (main thread loop)";

}  // namespace

unsigned ir_thread_function(void* record) {
    auto* worker = static_cast<ir_thread_record*>(record);
    worker->owner->ThreadEntryPoint(*worker);
    return 1;
}

void VST_Plugin::create_ir_thread() {
    auto* record = new ir_thread_record;
    record->owner = this;
    record->wake_event = platform::create_auto_reset_event();
    if (!record->wake_event) {
        delete record;
        throw std::runtime_error(
            "Thread creation error #2 (CreateEvent). Processing will be disabled and plugin locked.");
    }
    ir_thread = record;

    ir_thread_handle = platform::create_suspended_thread(ir_thread_function, record);
    if (!ir_thread_handle)
        throw std::runtime_error(
            "Thread creation error #1 (Instantiation). Processing will be disabled and plugin locked.");
    if (!platform::set_lowest_priority(ir_thread_handle))
        throw std::runtime_error(
            "Thread creation error #2 (failed setting priority class). Processing will be disabled and plugin "
            "locked.");
    record->name = "IR Thread 1";
    platform::set_thread_name(ir_thread_handle, record->name.c_str());
    if (!platform::resume_thread(ir_thread_handle))
        throw std::runtime_error(
            "Thread creation error #3 (ResumeThread). Processing will be disabled and plugin locked.");
    ir_thread_resumed = true;
}

void VST_Plugin::signal_ir_thread() {
    if (!platform::set_event(ir_thread->wake_event)) {
        enter_locked_state();
        throw std::runtime_error("Thread error (SetEvent). Processing will be disabled and plugin locked.");
    }
}

void VST_Plugin::stop_and_join_ir_thread() {
    if (!ir_thread) return;
    if (ir_thread_handle) {
        if (ir_thread_resumed) {
            ir_thread->running = false;
            if (!platform::set_event(ir_thread->wake_event)) {
                // Without a wake-up the worker cannot be joined; what it reads
                // must then outlive us, so nothing more is released.
                enter_locked_state();
                worker_unjoinable = true;
                throw std::runtime_error(
                    "Thread error (SetEvent). Processing will be disabled and plugin locked.");
            }
            platform::join_thread(ir_thread_handle);
        }
        platform::close_thread(ir_thread_handle);
        ir_thread_handle = nullptr;
    }
    platform::close_event(ir_thread->wake_event);
    delete ir_thread;
    ir_thread = nullptr;
}

void VST_Plugin::ThreadEntryPoint(ir_thread_record& record) {
    try {
        for (;;) {
            platform::wait_event(record.wake_event);
            if (!record.running) return;
            if (editor) editor->ir_pass_started();

            ir_update_lock.enter();
            const bool requested = ir_update_requested;
            ir_update_lock.leave();

            if (requested) {
                // Changes arriving meanwhile only set the request again and
                // are covered by this design. The request is not cleared
                // after the design: one raised during it means one more pass,
                // so the loaded response always follows the latest values.
                platform::sleep_ms(kCoalescingPauseMs);
                ir_update_lock.enter();
                ir_update_requested = false;
                ir_update_lock.leave();
                if (fir_length > kMaxFirLength) throw std::runtime_error("Maximal FIR length exceeded");
                const program_record* program = current_program.load(std::memory_order_relaxed);
                if (program->value(kFilters) > 0) {
                    fir_design->get_coeffs(multichannel_fir_eq_load_buffer, fir_length);
                    ++ir_design_count;
                }
            }
            if (convolver) convolver->load_awaiting_ir_to_device(multichannel_fir_eq_load_buffer, fir_length);
            ++ir_pass_count;
            if (editor) editor->ir_pass_finished();
        }
    } catch (const std::exception& e) {
        report_error(e.what(), kWorkerSuffix, delivery::queued);
    } catch (...) {
        report_error("Unhandled exception in thread process loop, contact Ravelthorpe technical support.", "",
                     delivery::queued);
    }
}
