// The fixture of the editor's window tests: skipped without an X display, with
// settings and messages kept inside the test.
#pragma once

#include <gtest/gtest.h>

#include "../gui/xvfb_environment.h"
#include "editor_host.h"

class EditorWindow : public ::testing::Test {
protected:
    void SetUp() override {
        if (!gui_test::display_available() || !test_display()) GTEST_SKIP() << "no X display reachable";
    }

    settings_sandbox sandbox{"8192"};
    message_capture messages;
};
