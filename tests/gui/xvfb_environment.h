// An X server for the tests that need one: $DISPLAY when it answers, else
// an Xvfb started for this test program on a free display number.
#pragma once

namespace gui_test {

// False when neither works; such tests skip.
bool display_available();

}  // namespace gui_test
