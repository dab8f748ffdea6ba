// What every fuzzing process's instance stands on: a throwaway settings
// folder with a 512-tap FIR length, and messages swallowed instead of shown;
// both undone when it ends.
#pragma once

#include <string>

class fuzz_settings {
public:
    fuzz_settings();
    ~fuzz_settings();
    fuzz_settings(const fuzz_settings&) = delete;
    fuzz_settings& operator=(const fuzz_settings&) = delete;

private:
    std::string root_;
};
