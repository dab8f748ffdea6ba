// Finds which SIMD instruction sets really execute, by running one
// instruction of each under a guard that catches the illegal-instruction
// fault (the previous handler is restored afterwards).
#pragma once

namespace platform {

using probe_function = void (*)();

// True when probe() ran without an illegal-instruction fault. Safe to call
// from several threads at once: probes take turns. A probe is a naked leaf
// whose first instruction is the one in question: on Windows a fault there
// resumes at the probe's return address.
bool executes_without_fault(probe_function probe);

// 0 none, 1 SSE, 2 SSE2, 3 SSE3: the highest set whose instruction ran.
int probe_sse_level();

// An instruction that always faults (ud2), the negative control for tests.
void probe_always_faults();

}  // namespace platform
