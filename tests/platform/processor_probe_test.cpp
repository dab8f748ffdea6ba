#include "platform/processor_probe.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <thread>
#include <vector>

namespace {

void host_illegal_instruction_handler(int) {}

TEST(ProcessorProbeTest, ThisMachineHasAtLeastSse) { EXPECT_GE(platform::probe_sse_level(), 1); }

TEST(ProcessorProbeTest, AnInstructionThatAlwaysFaultsIsCaughtAndTheHostHandlerIsBackAfterwards) {
    struct sigaction host {};
    host.sa_handler = host_illegal_instruction_handler;
    sigemptyset(&host.sa_mask);
    struct sigaction saved {};
    ASSERT_EQ(sigaction(SIGILL, &host, &saved), 0);

    EXPECT_FALSE(platform::executes_without_fault(platform::probe_always_faults));
    EXPECT_GE(platform::probe_sse_level(), 1);  // a caught fault leaves the probe usable

    struct sigaction now {};
    sigaction(SIGILL, nullptr, &now);
    EXPECT_EQ(now.sa_handler, host_illegal_instruction_handler);
    sigaction(SIGILL, &saved, nullptr);
}

TEST(ProcessorProbeTest, ProbesFromManyThreadsAtOnceAllGetTheRightAnswers) {
    const int level = platform::probe_sse_level();
    std::vector<std::thread> probers;
    std::vector<int> wrong(8, 0);
    for (int& count : wrong) {
        probers.emplace_back([&count, level] {
            for (int i = 0; i < 50; ++i) {
                if (platform::executes_without_fault(platform::probe_always_faults)) ++count;
                if (platform::probe_sse_level() != level) ++count;
            }
        });
    }
    for (auto& p : probers) p.join();
    EXPECT_EQ(wrong, std::vector<int>(8, 0));
}

}  // namespace
