// The one way the product shows a message to the user. Tests replace the
// presentation with a capturing sink; the audio thread only ever queues.
#pragma once

#include <functional>
#include <string>

namespace platform {

enum class message_icon { error, information };

struct message {
    std::string text;
    std::string caption;
    message_icon icon = message_icon::error;
    bool foreground = true;  // MB_SETFOREGROUND
    void* owner = nullptr;   // owner window, or null
};

// An operation's text and the suffix naming where it was seen: the suffix
// ends the first line, so a hint on further lines stays last.
std::string with_suffix(const std::string& text, const char* suffix);

// Shows the message modally and returns when the user has dismissed it. The
// text always also goes to stderr on Linux ("caption: text"). Then the first
// of these that exists receives it: the sink, the TESSVANE_MESSAGE_LOG file,
// the presenter.
void show_message_box(const message& m);

// For a message shown without blocking (a notice beside the editor): the
// text goes to stderr and, as show_message_box would send it, to the sink or
// the TESSVANE_MESSAGE_LOG file. True when one of those took it: the caller
// then shows nothing itself.
bool record_message(const message& m);

// For the audio thread: never blocks and never allocates. The message is
// copied into one of a fixed number of slots (texts beyond 1023 characters
// are cut; with every slot taken it is dropped) and shown later through
// show_message_box by a delivery thread. A message counts as pending until
// its box has been dismissed; identical messages posted meanwhile are shown
// once.
void post_message_box(const message& m);

// Starts the delivery thread of posted messages; call it from a thread that
// may allocate (the plug-in's construction), else the first post starts it.
// Idempotent. The thread ends when the process exits or the library unloads.
void start_message_delivery();

// Waits until every posted message has been handed on (tests).
void flush_posted_messages();

// Replaces the presentation; an empty function restores it. Also set from the
// environment: TESSVANE_MESSAGE_LOG=<file> appends each message as
// "caption\ttext\n" to that file instead of showing it, for tests that load
// the plug-in through its entry point.
using message_sink = std::function<void(const message&)>;
void set_message_sink(message_sink sink);

// How a modal box is drawn when a display is reachable; installed by the
// widget toolkit. Without one, stderr is all there is.
using message_presenter = std::function<void(const message&)>;
void set_message_presenter(message_presenter presenter);

// The owner for construction-time messages: the root owner of the foreground
// window on Windows, null elsewhere.
void* foreground_root_owner();

}  // namespace platform
