#include "platform/thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

#include "platform/fault_injection.h"
#include "thread_census.h"

namespace {

struct observed_run {
    std::atomic<int> runs{0};
    unsigned long thread_id = 0;
};

unsigned record_run(void* arg) {
    auto* run = static_cast<observed_run*>(arg);
    run->thread_id = platform::current_thread_id();
    ++run->runs;
    return 0;
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
    // A joined thread may still be listed for a moment while it leaves.
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (threads_in_process() != before && std::chrono::steady_clock::now() < give_up)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_EQ(threads_in_process(), before);
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
