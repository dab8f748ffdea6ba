// Lets tests make the platform's and the allocator's operations fail on
// demand, so every error path of construction can be reached.
#pragma once

namespace platform {

enum class fault {
    thread_create,
    thread_priority,
    thread_resume,
    event_create,
    event_set,
    aligned_allocation,  // dsp_alloc_floats / dsp_alloc_aligned
    settings_write_key,
    settings_write_value,
    settings_read_value,
    fault_count
};

// The call after `skip` further successful calls of that kind fails, once.
void inject_fault(fault f, int skip = 0);
void clear_faults();
// Consumed by the platform: true when this call must fail.
bool should_fail(fault f);

}  // namespace platform
