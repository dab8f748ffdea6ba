#include "gui/text_wrap.h"

#include "gui/font_cache.h"

namespace VSTGUI::detail {
namespace {

int width_of(std::string_view s, const CFontDesc& font) { return measure_text(font, s).width; }

// Splits a word too wide for a line into pieces that fit (at least one byte each).
void break_word(std::string_view word, int width, const CFontDesc& font, std::vector<std::string>& lines) {
    while (!word.empty()) {
        std::size_t n = 1;
        while (n < word.size() && width_of(word.substr(0, n + 1), font) <= width) ++n;
        while (n < word.size() && (static_cast<unsigned char>(word[n]) & 0xC0) == 0x80) ++n;  // whole UTF-8 characters
        lines.emplace_back(word.substr(0, n));
        word.remove_prefix(n);
    }
}

void wrap_paragraph(std::string_view paragraph, int width, const CFontDesc& font, std::vector<std::string>& lines) {
    std::string line;
    std::size_t pos = 0;
    bool any = false;
    while (pos < paragraph.size()) {
        const std::size_t space = paragraph.find(' ', pos);
        const std::string_view word = paragraph.substr(pos, space == std::string_view::npos ? space : space - pos);
        pos = space == std::string_view::npos ? paragraph.size() : space + 1;
        if (word.empty()) continue;
        const std::string candidate = line.empty() ? std::string(word) : line + " " + std::string(word);
        if (width_of(candidate, font) <= width) {
            line = candidate;
            continue;
        }
        if (!line.empty()) lines.push_back(std::move(line));
        line.clear();
        any = true;
        if (width_of(word, font) <= width) {
            line = std::string(word);
        } else {
            break_word(word, width, font, lines);
        }
    }
    if (!line.empty() || !any) lines.push_back(line);
}

}  // namespace

std::vector<std::string> wrap_text(std::string_view text, int width, const CFontDesc& font) {
    std::vector<std::string> lines;
    std::size_t pos = 0;
    while (true) {
        const std::size_t newline = text.find('\n', pos);
        wrap_paragraph(text.substr(pos, newline == std::string_view::npos ? newline : newline - pos), width, font,
                       lines);
        if (newline == std::string_view::npos) break;
        pos = newline + 1;
    }
    return lines;
}

}  // namespace VSTGUI::detail
