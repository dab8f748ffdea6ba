#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/thread.h"

namespace {

struct observed_run {
    int priority = THREAD_PRIORITY_ERROR_RETURN;
    std::wstring description;
};

// Where Windows (or Wine) has thread descriptions at all.
using get_thread_description_function = HRESULT(WINAPI*)(HANDLE, PWSTR*);

get_thread_description_function find_get_thread_description() {
    const FARPROC found = GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetThreadDescription");
    return reinterpret_cast<get_thread_description_function>(reinterpret_cast<void (*)()>(found));
}

unsigned record_priority_and_description(void* arg) {
    auto* run = static_cast<observed_run*>(arg);
    run->priority = GetThreadPriority(GetCurrentThread());
    if (const auto get_description = find_get_thread_description()) {
        PWSTR description = nullptr;
        if (SUCCEEDED(get_description(GetCurrentThread(), &description))) {
            run->description = description;
            LocalFree(description);
        }
    }
    return 0;
}

TEST(Win32ThreadTest, NameAndLowestPrioritySetBeforeResumeApplyToTheThread) {
    observed_run run;
    platform::thread* t = platform::create_suspended_thread(record_priority_and_description, &run);
    ASSERT_NE(t, nullptr);
    ASSERT_TRUE(platform::set_lowest_priority(t));
    platform::set_thread_name(t, "IR Thread 1");
    ASSERT_TRUE(platform::resume_thread(t));
    platform::join_thread(t);
    platform::close_thread(t);

    EXPECT_EQ(run.priority, THREAD_PRIORITY_LOWEST);
    if (find_get_thread_description() != nullptr) {
        EXPECT_EQ(run.description, L"IR Thread 1");
    }
}

}  // namespace
