#pragma once

#include <vector>

// Magnitude in dB of an impulse response at frequency hz (a single DFT bin
// in double precision).
double magnitude_db(const std::vector<float>& response, double hz, double sample_rate);
