#include "platform/thread.h"

#include <gtest/gtest.h>
#include <pthread.h>
#include <sys/resource.h>

#include <atomic>
#include <filesystem>
#include <future>
#include <string>

#include "platform/fault_injection.h"

namespace {

struct observed_run {
    std::atomic<int> runs{0};
    std::string name;
    int nice = 0;
    unsigned long thread_id = 0;
};

unsigned record_run(void* arg) {
    auto* run = static_cast<observed_run*>(arg);
    char name[16] = {};
    pthread_getname_np(pthread_self(), name, sizeof name);
    run->name = name;
    run->nice = getpriority(PRIO_PROCESS, 0);  // the calling thread on Linux
    run->thread_id = platform::current_thread_id();
    ++run->runs;
    return 0;
}

long threads_in_process() {
    return std::distance(std::filesystem::directory_iterator("/proc/self/task"), std::filesystem::directory_iterator());
}

class ThreadTest : public testing::Test {
protected:
    void TearDown() override { platform::clear_faults(); }
};

TEST_F(ThreadTest, ASuspendedThreadRunsItsProcedureOnlyAfterResumeAndThenOnce) {
    observed_run run;
    platform::thread* t = platform::create_suspended_thread(record_run, &run);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(run.runs, 0);
    ASSERT_TRUE(platform::resume_thread(t));
    platform::join_thread(t);
    platform::close_thread(t);
    EXPECT_EQ(run.runs, 1);
    EXPECT_NE(run.thread_id, platform::current_thread_id());
}

TEST_F(ThreadTest, ClosingANeverResumedThreadRunsNothingAndLeavesNoThreadBehind) {
    observed_run run;
    // The first thread may bring a sanitizer's helper thread with it.
    platform::close_thread(platform::create_suspended_thread(record_run, &run));
    const long before = threads_in_process();
    for (int i = 0; i < 20; ++i) {
        platform::thread* t = platform::create_suspended_thread(record_run, &run);
        ASSERT_NE(t, nullptr);
        platform::close_thread(t);
    }
    EXPECT_EQ(run.runs, 0);
    EXPECT_EQ(threads_in_process(), before);
}

TEST_F(ThreadTest, NameAndLowestPrioritySetBeforeResumeApplyToTheThread) {
    observed_run run;
    platform::thread* t = platform::create_suspended_thread(record_run, &run);
    ASSERT_NE(t, nullptr);
    ASSERT_TRUE(platform::set_lowest_priority(t));
    platform::set_thread_name(t, "IR Thread 1");
    ASSERT_TRUE(platform::resume_thread(t));
    platform::join_thread(t);
    platform::close_thread(t);

    EXPECT_EQ(run.name, "IR Thread 1");
    const int creator_nice = getpriority(PRIO_PROCESS, 0);
    EXPECT_EQ(run.nice, std::min(creator_nice + 2, 19));
}

TEST_F(ThreadTest, NamesLongerThanTheKernelKeepsAreCutNotRefused) {
    observed_run run;
    platform::thread* t = platform::create_suspended_thread(record_run, &run);
    ASSERT_NE(t, nullptr);
    platform::set_thread_name(t, "a name of twenty-six chars");
    platform::resume_thread(t);
    platform::join_thread(t);
    platform::close_thread(t);
    EXPECT_EQ(run.name, "a name of twent");
}

TEST_F(ThreadTest, AResumedThreadClosedWithoutJoinRunsToItsEnd) {
    std::promise<void> finished;
    auto proc = [](void* arg) -> unsigned {
        static_cast<std::promise<void>*>(arg)->set_value();
        return 0;
    };
    platform::thread* t = platform::create_suspended_thread(proc, &finished);
    ASSERT_NE(t, nullptr);
    ASSERT_TRUE(platform::resume_thread(t));
    platform::close_thread(t);
    finished.get_future().wait();
}

TEST_F(ThreadTest, InjectedFaultsFailEachThreadOperationOnce) {
    observed_run run;
    platform::inject_fault(platform::fault::thread_create);
    EXPECT_EQ(platform::create_suspended_thread(record_run, &run), nullptr);
    platform::thread* t = platform::create_suspended_thread(record_run, &run);
    ASSERT_NE(t, nullptr);

    platform::inject_fault(platform::fault::thread_priority);
    EXPECT_FALSE(platform::set_lowest_priority(t));
    EXPECT_TRUE(platform::set_lowest_priority(t));

    platform::inject_fault(platform::fault::thread_resume);
    EXPECT_FALSE(platform::resume_thread(t));
    EXPECT_EQ(run.runs, 0);
    EXPECT_TRUE(platform::resume_thread(t));
    platform::join_thread(t);
    platform::close_thread(t);
    EXPECT_EQ(run.runs, 1);
}

}  // namespace
