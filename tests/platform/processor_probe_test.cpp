#include "platform/processor_probe.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

TEST(ProcessorProbeTest, ThisMachineHasAtLeastSse) { EXPECT_GE(platform::probe_sse_level(), 1); }

TEST(ProcessorProbeTest, AnInstructionThatAlwaysFaultsIsCaughtAndTheProbeStaysUsable) {
    EXPECT_FALSE(platform::executes_without_fault(platform::probe_always_faults));
    EXPECT_GE(platform::probe_sse_level(), 1);
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
