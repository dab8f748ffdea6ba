#include "platform/event.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/critical_section.h"
#include "platform/fault_injection.h"

namespace {

TEST(AutoResetEventTest, SetsBeforeAWaitAreKeptButCountOnceAndEachWaitConsumesTheSignal) {
    platform::auto_reset_event* e = platform::create_auto_reset_event();
    ASSERT_NE(e, nullptr);
    ASSERT_TRUE(platform::set_event(e));
    ASSERT_TRUE(platform::set_event(e));
    std::atomic<bool> first_wait_done{false};
    std::atomic<bool> third_set_made{false};
    bool second_wait_saw_third_set = false;
    std::thread waiter([&] {
        platform::wait_event(e);
        first_wait_done = true;
        platform::wait_event(e);  // the two early sets count once: this needs the third
        second_wait_saw_third_set = third_set_made;
    });
    while (!first_wait_done) std::this_thread::yield();
    third_set_made = true;
    ASSERT_TRUE(platform::set_event(e));
    waiter.join();
    EXPECT_TRUE(second_wait_saw_third_set);
    platform::close_event(e);
}

TEST(AutoResetEventTest, OneSetWakesOneOfTwoWaitersAndTheNextSetTheOther) {
    platform::auto_reset_event* e = platform::create_auto_reset_event();
    ASSERT_NE(e, nullptr);
    std::atomic<int> woken{0};
    auto wait_once = [&] {
        platform::wait_event(e);
        ++woken;
    };
    std::thread first(wait_once);
    std::thread second(wait_once);
    ASSERT_TRUE(platform::set_event(e));
    while (woken < 1) std::this_thread::yield();
    ASSERT_TRUE(platform::set_event(e));
    first.join();
    second.join();
    EXPECT_EQ(woken, 2);
    platform::close_event(e);
}

TEST(AutoResetEventTest, InjectedFaultsFailCreationAndSettingOnce) {
    platform::inject_fault(platform::fault::event_create);
    EXPECT_EQ(platform::create_auto_reset_event(), nullptr);
    platform::auto_reset_event* e = platform::create_auto_reset_event();
    ASSERT_NE(e, nullptr);
    platform::inject_fault(platform::fault::event_set);
    EXPECT_FALSE(platform::set_event(e));
    EXPECT_TRUE(platform::set_event(e));
    platform::wait_event(e);
    platform::close_event(e);
    platform::clear_faults();
}

TEST(CriticalSectionTest, TheOwnerMayEnterAgainAndOthersWaitUntilItHasLeftAsOften) {
    platform::critical_section cs;
    std::atomic<bool> other_entered{false};
    cs.enter();
    cs.enter();
    std::thread other([&] {
        platform::scoped_lock lock(cs);
        other_entered = true;
    });
    cs.leave();
    EXPECT_FALSE(other_entered);
    cs.leave();
    other.join();
    EXPECT_TRUE(other_entered);
}

}  // namespace
