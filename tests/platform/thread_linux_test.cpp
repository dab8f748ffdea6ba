#include <gtest/gtest.h>
#include <pthread.h>
#include <sys/resource.h>

#include <algorithm>
#include <string>

#include "platform/thread.h"

namespace {

struct observed_run {
    std::string name;
    int nice = 0;
};

unsigned record_name_and_nice(void* arg) {
    auto* run = static_cast<observed_run*>(arg);
    char name[16] = {};
    pthread_getname_np(pthread_self(), name, sizeof name);
    run->name = name;
    run->nice = getpriority(PRIO_PROCESS, 0);  // the calling thread on Linux
    return 0;
}

observed_run run_named(const char* name, bool lowest_priority) {
    observed_run run;
    platform::thread* t = platform::create_suspended_thread(record_name_and_nice, &run);
    EXPECT_NE(t, nullptr);
    if (t == nullptr) return run;
    if (lowest_priority) {
        EXPECT_TRUE(platform::set_lowest_priority(t));
    }
    platform::set_thread_name(t, name);
    EXPECT_TRUE(platform::resume_thread(t));
    platform::join_thread(t);
    platform::close_thread(t);
    return run;
}

TEST(LinuxThreadTest, NameAndLowestPrioritySetBeforeResumeApplyToTheThread) {
    const observed_run run = run_named("IR Thread 1", true);
    EXPECT_EQ(run.name, "IR Thread 1");
    const int creator_nice = getpriority(PRIO_PROCESS, 0);
    EXPECT_EQ(run.nice, std::min(creator_nice + 2, 19));
}

TEST(LinuxThreadTest, NamesLongerThanTheKernelKeepsAreCutNotRefused) {
    EXPECT_EQ(run_named("a name of twenty-six chars", false).name, "a name of twent");
}

}  // namespace
