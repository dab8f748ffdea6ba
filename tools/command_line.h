// The command line of one tessvane-host command: positional arguments and
// --options, checked against the options the command knows.
#pragma once

#include <map>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tessvane::host {

// A mistake in the command line; main prints it with a pointer to --help.
class usage_error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct known_option {
    std::string_view name;  // without the leading dashes
    bool takes_value;
};

class command_line {
public:
    // Throws usage_error for an unknown option or a missing value.
    command_line(std::span<char* const> arguments, std::span<const known_option> known);

    const std::vector<std::string>& positional() const { return positional_; }
    bool has(const std::string& name) const { return values_.contains(name); }
    // Every value given for a repeatable option, in order.
    std::vector<std::string> values(const std::string& name) const;
    // The last value given, if any.
    std::optional<std::string> value(const std::string& name) const;

    // Numbers, with usage_error naming the option when malformed or out of range.
    int positive_int(const std::string& name, int fallback) const;
    double positive_number(const std::string& name, double fallback) const;

private:
    std::vector<std::string> positional_;
    std::map<std::string, std::vector<std::string>> values_;
};

}  // namespace tessvane::host
