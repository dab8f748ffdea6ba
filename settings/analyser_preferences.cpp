#include "settings/analyser_preferences.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <utility>
#include <stdexcept>

#include "platform/settings_store.h"
#include "settings/fir_length_setting.h"

namespace settings {

namespace {

struct stored_choice {
    const char* value_name;
    std::initializer_list<int> allowed;
};

constexpr stored_choice traces_choice{"AnalyserTraces", {0, 1, 2}};
constexpr stored_choice speed_choice{"AnalyserSpeed", {0, 1, 2}};
constexpr stored_choice smoothing_choice{"AnalyserSmoothing", {0, 12, 6, 3}};
constexpr stored_choice slope_choice{"AnalyserSlope", {0, 30, 45}};
constexpr stored_choice hold_choice{"AnalyserHold", {0, 1}};

// The stored number when it is one of the allowed, else the fallback.
int read_choice(platform::settings_key* key, const stored_choice& choice, int fallback) {
    char text[16] = {};
    std::size_t size = sizeof text - 1;
    if (!key || !platform::read_settings_value(key, choice.value_name, text, &size)) return fallback;
    text[size] = '\0';
    char* end = nullptr;
    const long number = std::strtol(text, &end, 10);
    if (end == text || *end != '\0') return fallback;
    const bool allowed = std::find(choice.allowed.begin(), choice.allowed.end(), number) != choice.allowed.end();
    return allowed ? int(number) : fallback;
}

}  // namespace

analyser_preferences read_analyser_preferences() {
    analyser_preferences p;
    platform::settings_key* key = nullptr;
    if (!platform::open_settings_key_for_reading(platform::settings_hive::per_user, fir_length_key_path, &key))
        key = nullptr;
    p.shown = analyser_preferences::traces(read_choice(key, traces_choice, int(p.shown)));
    p.ballistics = analyser_preferences::speed(read_choice(key, speed_choice, int(p.ballistics)));
    p.smoothing_per_octave = read_choice(key, smoothing_choice, p.smoothing_per_octave);
    p.slope_tenths_db = read_choice(key, slope_choice, p.slope_tenths_db);
    p.hold = read_choice(key, hold_choice, p.hold) != 0;
    if (key) platform::close_settings_key(key);
    return p;
}

void write_analyser_preferences(const analyser_preferences& p) {
    platform::settings_key* key = nullptr;
    if (!platform::create_settings_key_for_writing(fir_length_key_path, &key))
        throw std::runtime_error("The analyser's settings could not be saved.");
    bool written = true;
    for (const auto& [choice, number] : {std::pair{traces_choice, int(p.shown)},
                                         {speed_choice, int(p.ballistics)},
                                         {smoothing_choice, p.smoothing_per_octave},
                                         {slope_choice, p.slope_tenths_db},
                                         {hold_choice, int(p.hold)}}) {
        char text[16];
        const int length = std::snprintf(text, sizeof text, "%d", number);
        written = platform::write_settings_value(key, choice.value_name, text, std::size_t(length)) && written;
    }
    platform::close_settings_key(key);
    if (!written) throw std::runtime_error("The analyser's settings could not be saved.");
}

}  // namespace settings
