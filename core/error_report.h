// Errors that reach a host-facing operation are shown to the user as the
// error's text followed by the operation's suffix, and the operation then
// returns normally.
#pragma once

#include <exception>
#include <stdexcept>
#include <string>

#include "platform/message_box.h"

namespace core {

inline constexpr const char* error_caption = "Ravelthorpe: Tessvane";

enum class delivery {
    modal,   // the host's dispatcher thread: shown before returning
    queued,  // any thread that must not block (audio, parameters, worker)
};

void report_error(const std::string& text, const char* suffix, delivery how, void* owner = nullptr);

// Runs body; an exception leaving it is reported with the suffix. Returns
// false when one was caught.
template <class Body>
bool run_guarded(const char* suffix, delivery how, void* owner, Body&& body) {
    try {
        body();
        return true;
    } catch (const std::exception& e) {
        report_error(e.what(), suffix, how, owner);
    } catch (...) {
        report_error("Unhandled exception", suffix, how, owner);
    }
    return false;
}

}  // namespace core
