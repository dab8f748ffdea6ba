// A shared object with its own copy of the platform layer, as the plug-in
// has: the test loads it, posts through it and unloads it.
#include "platform/message_box.h"

extern "C" __attribute__((visibility("default"))) void post_message_and_return(const char* text) {
    platform::post_message_box({text, "Ravelthorpe: Tessvane"});
}
