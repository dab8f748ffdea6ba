#include "gui/resample.h"

#include <algorithm>
#include <cmath>

namespace VSTGUI::detail {
namespace {

// How much of each source pixel, from `first` on, one output pixel covers
// when a source interval of `length` pixels spreads over it.
struct source_span {
    int first = 0;
    int count = 0;
    float weight[4] = {};
};

std::vector<source_span> spans_of(int start, double length, int count, int source_limit) {
    std::vector<source_span> spans(std::size_t(std::max(count, 0)));
    for (int i = 0; i < count; ++i) {
        const double a = start + i * length, b = a + length;
        source_span& s = spans[std::size_t(i)];
        s.first = int(std::floor(a));
        for (int p = s.first; p < b && s.count < 4 && p < source_limit; ++p)
            s.weight[s.count++] = float((std::min(b, p + 1.0) - std::max(a, double(p))) / length);
    }
    return spans;
}

}  // namespace

std::vector<std::uint32_t> resampled(const source_area& source, int width, int height) {
    std::vector<std::uint32_t> out(std::size_t(std::max(width, 0)) * std::size_t(std::max(height, 0)));
    if (out.empty()) return out;
    const std::vector<source_span> columns =
        spans_of(source.left, double(source.area_width) / width, width, source.width);
    const std::vector<source_span> rows =
        spans_of(source.top, double(source.area_height) / height, height, source.height);
    for (int y = 0; y < height; ++y) {
        const source_span& r = rows[std::size_t(y)];
        for (int x = 0; x < width; ++x) {
            const source_span& c = columns[std::size_t(x)];
            float sum[4] = {};
            for (int i = 0; i < r.count; ++i)
                for (int j = 0; j < c.count; ++j) {
                    const std::uint32_t p =
                        source.pixels[std::size_t(r.first + i) * std::size_t(source.stride) + std::size_t(c.first + j)];
                    const float w = r.weight[i] * c.weight[j];
                    for (int k = 0; k < 4; ++k) sum[k] += w * float((p >> (8 * k)) & 0xFF);
                }
            std::uint32_t averaged = 0;
            for (int k = 0; k < 4; ++k) averaged |= std::uint32_t(std::clamp(std::lround(sum[k]), 0L, 255L)) << (8 * k);
            out[std::size_t(y) * std::size_t(width) + std::size_t(x)] = averaged;
        }
    }
    return out;
}

}  // namespace VSTGUI::detail
