#include "platform/processor_probe.h"

#include <setjmp.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <mutex>

namespace platform {

namespace {

// One probe at a time: the jump target and the saved handler are shared.
std::mutex probe_mutex;
sigjmp_buf resume_after_fault;
struct sigaction previous_action;
std::atomic<pid_t> probing_thread{0};

void on_illegal_instruction(int signal, siginfo_t* info, void* context) {
    if (gettid() == probing_thread.load()) siglongjmp(resume_after_fault, 1);
    // Someone else's fault: let the handler we displaced deal with it.
    if (previous_action.sa_flags & SA_SIGINFO) {
        previous_action.sa_sigaction(signal, info, context);
    } else if (previous_action.sa_handler != SIG_IGN && previous_action.sa_handler != SIG_DFL) {
        previous_action.sa_handler(signal);
    } else {
        sigaction(SIGILL, &previous_action, nullptr);  // the instruction faults again, unguarded
    }
}

}  // namespace

bool executes_without_fault(probe_function probe) {
    std::lock_guard lock(probe_mutex);
    struct sigaction guard {};
    guard.sa_sigaction = on_illegal_instruction;
    guard.sa_flags = SA_SIGINFO;
    sigemptyset(&guard.sa_mask);
    if (sigaction(SIGILL, &guard, &previous_action) != 0) return false;
    probing_thread = gettid();
    // The saved signal mask is restored by the jump, so SIGILL is not left blocked.
    const bool faulted = sigsetjmp(resume_after_fault, 1) != 0;
    if (!faulted) probe();
    probing_thread = 0;
    sigaction(SIGILL, &previous_action, nullptr);
    return !faulted;
}

}  // namespace platform
