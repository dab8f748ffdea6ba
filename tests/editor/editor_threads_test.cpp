// Host automation and the IR worker refresh the editor from their own
// threads while the user-interface thread idles, opens and closes it. Run
// under ThreadSanitizer (the tsan preset) to see the races, if any.
#include <atomic>
#include <random>
#include <thread>

#include <gtest/gtest.h>

#include "editor/sd_editor.h"
#include "editor_host.h"
#include "gui/knob.h"
#include "plugin/vst_plugin.h"

namespace {

class EditorThreads : public ::testing::Test {
protected:
    void SetUp() override { SKIP_WITHOUT_DISPLAY(); }

    settings_sandbox sandbox{"1024"};
    message_capture messages;
};

// Every parameter, over and over, from a thread of its own.
class automation_thread {
public:
    explicit automation_thread(AEffect* effect)
        : thread_([this, effect] {
              std::minstd_rand random(7);
              std::uniform_real_distribution<float> value(0.0f, 1.0f);
              for (int round = 0; !stop_; ++round)
                  for (int index = 0; index < 27; ++index) effect->setParameter(effect, index, value(random));
          }) {}
    ~automation_thread() {
        stop_ = true;
        thread_.join();
    }

private:
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

TEST_F(EditorThreads, ParametersSetFromAnotherThreadWhileTheEditorIdlesAreShown) {
    host_window parent;
    recorded_instance instance;
    ASSERT_TRUE(instance.open_in(parent));
    {
        automation_thread automation(instance.effect());
        instance.idle(100);
    }
    instance.idle();
    const float gain = instance.plugin().getParameter(0);
    EXPECT_EQ(instance.editor().controls().masterGainKnob->getValue(), gain);
    instance.close_editor();
}

TEST_F(EditorThreads, OpeningAndClosingWhileOtherThreadsRefreshNeverReachesAClosedEditor) {
    host_window parent;
    recorded_instance instance;
    {
        automation_thread automation(instance.effect());
        for (int cycle = 0; cycle < 8; ++cycle) {
            ASSERT_TRUE(instance.open_in(parent));
            instance.idle(cycle % 3);
            instance.close_editor();
        }
    }
    EXPECT_EQ(instance.editor().getFrame(), nullptr);
}

}  // namespace
