#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>

#include "platform/processor_probe.h"

namespace {

std::atomic<int> faults_seen_by_host{0};

// A host's own handler, resuming after probe_always_faults as the probe does.
LONG CALLBACK host_handler(EXCEPTION_POINTERS* exception) {
    if (exception->ExceptionRecord->ExceptionCode != EXCEPTION_ILLEGAL_INSTRUCTION) return EXCEPTION_CONTINUE_SEARCH;
    ++faults_seen_by_host;
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

TEST(Win32ProcessorProbeTest, TheHostsHandlerMissesTheProbesFaultsAndSeesEveryOtherOne) {
    void* const handler = AddVectoredExceptionHandler(1, host_handler);
    ASSERT_NE(handler, nullptr);
    EXPECT_FALSE(platform::executes_without_fault(platform::probe_always_faults));
    EXPECT_GE(platform::probe_sse_level(), 1);
    EXPECT_EQ(faults_seen_by_host, 0);
    platform::probe_always_faults();  // unguarded
    EXPECT_EQ(faults_seen_by_host, 1);
    RemoveVectoredExceptionHandler(handler);
}

}  // namespace
