#include "platform/processor_probe.h"

namespace platform {

namespace {

// Naked leaves, so the compiler can neither drop nor replace the
// instruction whose support is in question, nor put anything in front of
// it: a guard that resumes at the return address skips just that one.
__attribute__((naked)) void probe_sse() { asm("xorps %xmm0, %xmm0\n\tret"); }
__attribute__((naked)) void probe_sse2() { asm("xorpd %xmm0, %xmm0\n\tret"); }
__attribute__((naked)) void probe_sse3() { asm("haddps %xmm0, %xmm0\n\tret"); }

}  // namespace

__attribute__((naked)) void probe_always_faults() { asm("ud2\n\tret"); }

int probe_sse_level() {
    if (executes_without_fault(probe_sse3)) return 3;
    if (executes_without_fault(probe_sse2)) return 2;
    if (executes_without_fault(probe_sse)) return 1;
    return 0;
}

}  // namespace platform
