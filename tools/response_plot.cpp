#include "response_plot.h"

#include "polyline.h"

#include "gui/text_wrap.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tessvane::host {
namespace {

using VSTGUI::CColor;
using VSTGUI::CRect;

constexpr CColor background{24, 26, 30, 255};
constexpr CColor plot_background{15, 17, 20, 255};
constexpr CColor minor_grid{31, 34, 39, 255};
constexpr CColor major_grid{47, 51, 58, 255};
constexpr CColor unity_line{92, 98, 108, 255};
constexpr CColor label_colour{168, 174, 184, 255};
constexpr CColor title_colour{236, 238, 242, 255};
constexpr CColor curve_colours[] = {{255, 176, 59, 255}, {86, 180, 233, 255}};

constexpr double lowest_frequency = 20.0;
constexpr double labelled_frequencies[] = {20, 50, 100, 200, 500, 1000, 2000, 5000, 10000, 20000};
constexpr double db_step = 6.0;
constexpr int min_label_spacing = 16;  // pixels between dB labels

// The plot area inside the picture: room for the title above, dB labels at
// the left, frequency labels and the caption below.
CRect plot_area(const VSTGUI::CDrawContext& context) {
    return {58, 66, context.getWidth() - 22, context.getHeight() - 50};
}

struct db_range {
    double bottom;
    double top;
};

class axes {
public:
    axes(const CRect& area, double nyquist, db_range range) : area_(area), nyquist_(nyquist), range_(range) {}

    double x(double frequency) const {
        return area_.left +
               area_.width() * std::log(frequency / lowest_frequency) / std::log(nyquist_ / lowest_frequency);
    }
    // Below the bottom (or -infinity) is drawn just under the plot area, so
    // the clipped line runs along its edge.
    double y(double db) const {
        const double clamped = std::clamp(db, range_.bottom - 1.0, range_.top + 1.0);
        return area_.top + area_.height() * (range_.top - clamped) / (range_.top - range_.bottom);
    }

private:
    CRect area_;
    double nyquist_;
    db_range range_;
};

void fill(VSTGUI::CDrawContext& context, const CRect& rect, CColor colour) {
    context.setFillColor(colour);
    context.fillRect(rect);
}

void text(VSTGUI::CDrawContext& context, const std::string& words, const CRect& rect, int size, CColor colour,
          VSTGUI::CHoriTxtAlign align) {
    context.setFont({"Arial", size});
    context.setFontColor(colour);
    context.drawString(words, rect, align);
}

std::string frequency_label(double frequency) {
    char label[16];
    if (frequency >= 1000.0)
        std::snprintf(label, sizeof label, "%gk", frequency / 1000.0);
    else
        std::snprintf(label, sizeof label, "%g", frequency);
    return label;
}

std::string db_label(double db) {
    char label[16];
    std::snprintf(label, sizeof label, db > 0.0 ? "+%g" : "%g", db);
    return label;
}

void draw_frequency_grid(VSTGUI::CDrawContext& context, const CRect& area, const axes& axes, double nyquist) {
    // Faint lines at every multiple within a decade, stronger ones where labelled.
    for (double decade = 10.0; decade < nyquist; decade *= 10.0)
        for (int multiple = 1; multiple <= 9; ++multiple) {
            const double frequency = decade * multiple;
            if (frequency <= lowest_frequency || frequency >= nyquist) continue;
            const int x = static_cast<int>(axes.x(frequency));
            fill(context, {x, area.top, x + 1, area.bottom}, minor_grid);
        }
    for (const double frequency : labelled_frequencies) {
        if (frequency > nyquist) break;
        const int x = std::min(static_cast<int>(axes.x(frequency)), area.right - 1);
        fill(context, {x, area.top, x + 1, area.bottom}, major_grid);
        text(context, frequency_label(frequency), {x - 30, area.bottom + 4, x + 30, area.bottom + 20}, 11, label_colour,
             VSTGUI::kCenterText);
    }
}

void draw_db_grid(VSTGUI::CDrawContext& context, const CRect& area, const axes& axes, db_range range) {
    const double step_pixels = area.height() * db_step / (range.top - range.bottom);
    const int label_every = std::max(1, static_cast<int>(std::ceil(min_label_spacing / step_pixels)));
    for (int step = 0; range.top - step * db_step >= range.bottom; ++step) {
        const double db = range.top - step * db_step;
        const int y = std::min(static_cast<int>(axes.y(db)), area.bottom - 1);
        fill(context, {area.left, y, area.right, y + 1}, db == 0.0 ? unity_line : major_grid);
        if (std::lround(db / db_step) % label_every == 0)
            text(context, db_label(db), {0, y - 8, area.left - 8, y + 8}, 11, label_colour, VSTGUI::kRightText);
    }
}

void draw_legend(VSTGUI::CDrawContext& context, const CRect& area, const std::vector<response_curve>& curves) {
    int x = area.right - 12;
    for (std::size_t i = curves.size(); i-- > 0;) {
        context.setFont({"Arial", 11});
        const int width = context.getStringWidth(curves[i].name);
        text(context, curves[i].name, {x - width, area.top + 8, x, area.top + 24}, 11, label_colour,
             VSTGUI::kRightText);
        x -= width + 6;
        fill(context, {x - 16, area.top + 15, x, area.top + 17}, curve_colours[i % 2]);
        x -= 16 + 14;
    }
}

// Up to two lines under the title; what does not fit ends in "...".
void draw_settings(VSTGUI::CDrawContext& context, const std::string& settings, const CRect& room) {
    const VSTGUI::CFontDesc font{"Arial", 11};
    std::vector<std::string> lines = VSTGUI::detail::wrap_text(settings, room.width(), font);
    if (lines.size() > 2) {
        lines.resize(2);
        context.setFont(font);
        std::string& last = lines[1];
        while (!last.empty() && context.getStringWidth(last + " ...") > room.width()) {
            const std::size_t space = last.find_last_of(' ');
            last.resize(space == std::string::npos ? 0 : space);
        }
        last += " ...";
    }
    const int line_height = room.height() / 2;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int top = room.top + static_cast<int>(i) * line_height;
        text(context, lines[i], {room.left, top, room.right, top + line_height}, 11, label_colour, VSTGUI::kLeftText);
    }
}

// The dB axis: a multiple of 6 at each end, at least -24 to +24, reaching
// the curves' extremes but not more than 120 dB below the top.
db_range db_axis_range(const std::vector<response_curve>& curves) {
    double lowest = 0.0, highest = 0.0;
    for (const auto& curve : curves)
        for (const double db : curve.db)
            if (std::isfinite(db)) {
                lowest = std::min(lowest, db);
                highest = std::max(highest, db);
            }
    const double top = std::max(4 * db_step, std::ceil(highest / db_step - 1e-9) * db_step);
    const double bottom = std::min(-4 * db_step, std::floor(lowest / db_step + 1e-9) * db_step);
    return {std::max(bottom, top - 20 * db_step), top};
}

}  // namespace

void draw_response_plot(VSTGUI::CDrawContext& context, const response_plot& plot) {
    context.resetClipRect();
    const int width = context.getWidth();
    fill(context, {0, 0, width, context.getHeight()}, background);
    const CRect area = plot_area(context);
    fill(context, area, plot_background);

    const double nyquist = plot.sample_rate / 2.0;
    const db_range range = db_axis_range(plot.curves);
    const axes axes(area, nyquist, range);
    draw_frequency_grid(context, area, axes, nyquist);
    draw_db_grid(context, area, axes, range);

    text(context, plot.title, {area.left, 8, width - 22, 30}, 16, title_colour, VSTGUI::kLeftText);
    draw_settings(context, plot.settings, {area.left, 30, width - 22, 58});
    text(context, plot.note, {area.left, 12, width - 22, 30}, 11, label_colour, VSTGUI::kRightText);
    text(context, "dB", {0, area.top - 22, area.left - 8, area.top - 6}, 11, label_colour, VSTGUI::kRightText);
    text(context, "Frequency (Hz)", {area.left, area.bottom + 24, area.right, area.bottom + 42}, 12, label_colour,
         VSTGUI::kCenterText);

    context.setClipRect(area);
    // The first curve last, on top.
    for (std::size_t i = plot.curves.size(); i-- > 0;) {
        std::vector<plot_point> points;
        points.reserve(plot.frequencies.size());
        for (std::size_t k = 0; k < plot.frequencies.size(); ++k)
            points.push_back({axes.x(plot.frequencies[k]), axes.y(plot.curves[i].db[k])});
        draw_polyline(context, points, curve_colours[i % 2], 2.0);
    }
    context.resetClipRect();
    if (plot.curves.size() > 1) draw_legend(context, area, plot.curves);
}

}  // namespace tessvane::host
