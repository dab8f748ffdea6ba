#include "readout_value.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <optional>

#include "command_line.h"

namespace tessvane::host {
namespace {

constexpr int text_steps = 200;
constexpr int bisection_steps = 40;

bool equal_ignoring_case(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The number a read-out starts with, whether it has a sign, and the rest.
struct leading_number {
    std::optional<double> number;
    bool has_sign = false;
    std::string rest;
};

leading_number number_in(const std::string& text) {
    const std::string t = trimmed(text);
    leading_number found;
    found.has_sign = !t.empty() && (t[0] == '+' || t[0] == '-');
    const std::size_t start = !t.empty() && t[0] == '+' ? 1 : 0;
    double number = 0.0;
    const auto [end, error] = std::from_chars(t.data() + start, t.data() + t.size(), number);
    if (error != std::errc() || !std::isfinite(number)) return found;
    found.number = number;
    found.rest = trimmed(std::string(end, t.data() + t.size()));
    return found;
}

std::optional<double> shown_number(loaded_plugin& plugin, VstInt32 index, float value) {
    plugin.set_parameter(index, value);
    return number_in(plugin.parameter_display(index)).number;
}

// The middle of the values that show `wanted` (the display rounds), found
// from its two edges by bisection.
float by_bisection(loaded_plugin& plugin, VstInt32 index, double wanted, const std::string& readout) {
    const std::optional<double> low = shown_number(plugin, index, 0.0f);
    const std::optional<double> high = shown_number(plugin, index, 1.0f);
    if (!low || !high || wanted < std::fmin(*low, *high) || wanted > std::fmax(*low, *high))
        throw usage_error("--param value " + readout + " is outside what the parameter shows (" +
                          plugin.parameter_display(index) + " at 1)");
    const bool rising = *high >= *low;
    // The first value whose display lies beyond `wanted` (or reaches it).
    const auto edge = [&](bool reaching) {
        float before = 0.0f, after = 1.0f;
        for (int step = 0; step < bisection_steps; ++step) {
            const float middle = 0.5f * (before + after);
            const double shown = shown_number(plugin, index, middle).value_or(rising ? *high : *low);
            const double beyond = rising ? shown - wanted : wanted - shown;
            if (reaching ? beyond >= 0.0 : beyond > 0.0)
                after = middle;
            else
                before = middle;
        }
        return after;
    };
    return 0.5f * (edge(true) + edge(false));
}

float by_text(loaded_plugin& plugin, VstInt32 index, const std::string& wanted) {
    for (int step = 0; step <= text_steps; ++step) {
        const float value = static_cast<float>(step) / text_steps;
        plugin.set_parameter(index, value);
        const std::string shown = trimmed(plugin.parameter_display(index));
        if (shown.size() >= wanted.size() && equal_ignoring_case(shown.substr(0, wanted.size()), wanted)) return value;
    }
    throw usage_error("--param value '" + wanted + "': the parameter never shows it (see tessvane-host info)");
}

}  // namespace

float normalised_of_readout(loaded_plugin& plugin, VstInt32 index, const std::string& readout) {
    const leading_number found = number_in(readout);
    const std::string label = trimmed(plugin.parameter_label(index));
    if (found.number) {
        const bool with_unit = !found.rest.empty() && equal_ignoring_case(found.rest, label);
        if (with_unit || (found.rest.empty() && found.has_sign))
            return by_bisection(plugin, index, *found.number, readout);
        if (found.rest.empty())
            throw usage_error("--param value " + readout +
                              ": a plain number must be from 0 to 1; a read-out value needs its unit (" + label +
                              ") or a sign");
    }
    const std::string text = trimmed(readout);
    if (text.empty()) throw usage_error("--param needs a value after '='");
    return by_text(plugin, index, text);
}

}  // namespace tessvane::host
