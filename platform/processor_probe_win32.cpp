#include "platform/processor_probe.h"

#include <windows.h>

#include <atomic>
#include <mutex>

namespace platform {

namespace {

// One probe at a time: the fault flag and the handler are shared.
std::mutex probe_mutex;
std::atomic<DWORD> probing_thread{0};
bool fault_seen = false;

// Every probe is a naked leaf whose first instruction is the one in
// question, so a fault there leaves the return address on top of the stack:
// the handler returns from the probe on its behalf.
LONG CALLBACK on_exception(EXCEPTION_POINTERS* exception) {
    if (exception->ExceptionRecord->ExceptionCode != EXCEPTION_ILLEGAL_INSTRUCTION ||
        GetCurrentThreadId() != probing_thread.load()) {
        return EXCEPTION_CONTINUE_SEARCH;
    }
    fault_seen = true;
    CONTEXT* const context = exception->ContextRecord;
#ifdef _WIN64
    context->Rip = *reinterpret_cast<DWORD64*>(context->Rsp);
    context->Rsp += sizeof(DWORD64);
#else
    context->Eip = *reinterpret_cast<DWORD*>(context->Esp);
    context->Esp += sizeof(DWORD);
#endif
    return EXCEPTION_CONTINUE_EXECUTION;
}

}  // namespace

bool executes_without_fault(probe_function probe) {
    std::lock_guard lock(probe_mutex);
    // First in line, and removed again, so the host's own handlers see
    // everything else as before.
    void* const handler = AddVectoredExceptionHandler(1, on_exception);
    if (handler == nullptr) return false;
    fault_seen = false;
    probing_thread = GetCurrentThreadId();
    probe();
    probing_thread = 0;
    RemoveVectoredExceptionHandler(handler);
    return !fault_seen;
}

}  // namespace platform
