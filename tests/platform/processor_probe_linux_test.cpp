#include <gtest/gtest.h>
#include <signal.h>

#include "platform/processor_probe.h"

namespace {

void host_illegal_instruction_handler(int) {}

TEST(LinuxProcessorProbeTest, TheHostsIllegalInstructionHandlerIsBackAfterAProbe) {
    struct sigaction host {};
    host.sa_handler = host_illegal_instruction_handler;
    sigemptyset(&host.sa_mask);
    struct sigaction saved {};
    ASSERT_EQ(sigaction(SIGILL, &host, &saved), 0);

    EXPECT_FALSE(platform::executes_without_fault(platform::probe_always_faults));
    EXPECT_GE(platform::probe_sse_level(), 1);

    struct sigaction now {};
    sigaction(SIGILL, nullptr, &now);
    EXPECT_EQ(now.sa_handler, host_illegal_instruction_handler);
    sigaction(SIGILL, &saved, nullptr);
}

}  // namespace
