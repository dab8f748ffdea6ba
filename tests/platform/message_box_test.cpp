#include "platform/message_box.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/thread.h"

namespace {

platform::message error_message(std::string text) { return {std::move(text), "Ravelthorpe: Tessvane"}; }

std::string file_contents(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class MessageBoxTest : public testing::Test {
protected:
    void TearDown() override {
        platform::set_message_sink({});
        platform::set_message_presenter({});
    }
};

TEST_F(MessageBoxTest, AShownMessageGoesToStderrAndToTheSinkInsteadOfThePresenter) {
    std::vector<platform::message> sunk;
    int presented = 0;
    platform::set_message_sink([&](const platform::message& m) { sunk.push_back(m); });
    platform::set_message_presenter([&](const platform::message&) { ++presented; });

    testing::internal::CaptureStderr();
    platform::show_message_box({"Notice", "Ravelthorpe: Tessvane LE", platform::message_icon::information});
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Ravelthorpe: Tessvane LE: Notice\n");

    ASSERT_EQ(sunk.size(), 1u);
    EXPECT_EQ(sunk[0].text, "Notice");
    EXPECT_EQ(sunk[0].caption, "Ravelthorpe: Tessvane LE");
    EXPECT_EQ(sunk[0].icon, platform::message_icon::information);
    EXPECT_EQ(presented, 0);

    platform::set_message_sink({});
    platform::show_message_box(error_message("Shown"));
    EXPECT_EQ(presented, 1);
}

TEST_F(MessageBoxTest, TheMessageLogFileFromTheEnvironmentGetsOneLinePerMessage) {
    const auto log =
        std::filesystem::temp_directory_path() / ("tessvane-messages-" + std::to_string(platform::current_thread_id()));
    std::filesystem::remove(log);
    int presented = 0;
    platform::set_message_presenter([&](const platform::message&) { ++presented; });
    // putenv, which Windows has too; the variable set empty counts as unset.
    std::string assignment = "TESSVANE_MESSAGE_LOG=" + log.string();
    putenv(assignment.data());
    platform::show_message_box(error_message("First"));
    platform::show_message_box(error_message("Second"));
    putenv(const_cast<char*>("TESSVANE_MESSAGE_LOG="));

    EXPECT_EQ(file_contents(log), "Ravelthorpe: Tessvane\tFirst\nRavelthorpe: Tessvane\tSecond\n");
    EXPECT_EQ(presented, 0);
    std::filesystem::remove(log);
}

// Holds the delivery thread inside the sink while the test posts, so which
// messages are still pending is known exactly.
class held_sink {
public:
    void operator()(const platform::message& m) {
        std::unique_lock lock(mutex_);
        ++shown_[m.text];
        delivered_on_ = platform::current_thread_id();
        entered_ = true;
        changed_.notify_all();
        changed_.wait(lock, [this] { return released_; });
    }
    void wait_until_entered() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return entered_; });
    }
    void release() {
        std::lock_guard lock(mutex_);
        released_ = true;
        changed_.notify_all();
    }
    std::map<std::string, int> shown() {
        std::lock_guard lock(mutex_);
        return shown_;
    }
    unsigned long delivered_on() {
        std::lock_guard lock(mutex_);
        return delivered_on_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::map<std::string, int> shown_;
    unsigned long delivered_on_ = 0;
    bool entered_ = false;
    bool released_ = false;
};

TEST_F(MessageBoxTest, PostedMessagesFromManyThreadsAreShownElsewhereAndEachPendingTextOnce) {
    held_sink sink;
    platform::set_message_sink([&](const platform::message& m) { sink(m); });
    platform::post_message_box(error_message("Held"));
    sink.wait_until_entered();

    std::vector<std::thread> posters;
    for (int t = 0; t < 8; ++t) {
        posters.emplace_back([] {
            for (int i = 0; i < 200; ++i) {
                platform::post_message_box(error_message("Held"));  // its box is still open
                platform::post_message_box(error_message("Error A: Seen during process_replacing"));
                platform::post_message_box(error_message("Error B: Seen during process_replacing"));
            }
        });
    }
    for (auto& p : posters) p.join();
    sink.release();
    platform::flush_posted_messages();

    const std::map<std::string, int> once = {
        {"Error A: Seen during process_replacing", 1}, {"Error B: Seen during process_replacing", 1}, {"Held", 1}};
    EXPECT_EQ(sink.shown(), once);
    EXPECT_NE(sink.delivered_on(), platform::current_thread_id());
}

TEST_F(MessageBoxTest, APostedMessageIsShownAgainOnceItsEarlierBoxWasDismissed) {
    std::vector<std::string> shown;
    platform::set_message_sink([&](const platform::message& m) { shown.push_back(m.text); });
    platform::post_message_box(error_message("Again"));
    platform::flush_posted_messages();
    platform::post_message_box(error_message("Again"));
    platform::flush_posted_messages();
    EXPECT_EQ(shown, (std::vector<std::string>{"Again", "Again"}));
}

TEST_F(MessageBoxTest, APostedTextLongerThanASlotArrivesCutNotLost) {
    std::vector<std::string> shown;
    platform::set_message_sink([&](const platform::message& m) { shown.push_back(m.text); });
    platform::post_message_box(error_message(std::string(5000, 'x')));
    platform::flush_posted_messages();
    EXPECT_EQ(shown, std::vector<std::string>{std::string(1023, 'x')});
}
}  // namespace
