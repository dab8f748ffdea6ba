#include "command_line.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace tessvane::host {

command_line::command_line(std::span<char* const> arguments, std::span<const known_option> known) {
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string argument = arguments[i];
        if (!argument.starts_with("--")) {
            positional_.push_back(argument);
            continue;
        }
        std::string name = argument.substr(2);
        std::optional<std::string> inline_value;
        if (const auto equals = name.find('='); equals != std::string::npos) {
            inline_value = name.substr(equals + 1);
            name.resize(equals);
        }
        const auto option =
            std::find_if(known.begin(), known.end(), [&](const known_option& o) { return o.name == name; });
        if (option == known.end()) throw usage_error("unknown option --" + name);
        auto& slot = values_[name];
        if (!option->takes_value) {
            if (inline_value) throw usage_error("--" + name + " takes no value");
            slot.emplace_back();
        } else if (inline_value) {
            slot.push_back(*inline_value);
        } else {
            if (i + 1 >= arguments.size()) throw usage_error("--" + name + " needs a value");
            slot.emplace_back(arguments[++i]);
        }
    }
}

std::vector<std::string> command_line::values(const std::string& name) const {
    const auto found = values_.find(name);
    return found != values_.end() ? found->second : std::vector<std::string>{};
}

std::optional<std::string> command_line::value(const std::string& name) const {
    const auto found = values_.find(name);
    if (found == values_.end() || found->second.empty()) return std::nullopt;
    return found->second.back();
}

int command_line::positive_int(const std::string& name, int fallback) const {
    const auto text = value(name);
    if (!text) return fallback;
    int number = 0;
    const auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), number);
    if (error != std::errc() || end != text->data() + text->size() || number < 1)
        throw usage_error("--" + name + " needs a positive whole number, not '" + *text + "'");
    return number;
}

double command_line::positive_number(const std::string& name, double fallback) const {
    const auto text = value(name);
    if (!text) return fallback;
    double number = 0.0;
    const auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), number);
    if (error != std::errc() || end != text->data() + text->size() || !std::isfinite(number) || number <= 0.0)
        throw usage_error("--" + name + " needs a positive number, not '" + *text + "'");
    return number;
}

}  // namespace tessvane::host
