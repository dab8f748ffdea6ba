// A font by family name and pixel size, such as Arial at 11. The family is
// matched by the system (fontconfig, or GDI on Windows) when text is first
// drawn with it.
#pragma once

#include <string>

namespace VSTGUI {

struct CFontDesc {
    std::string name = "Arial";
    int size = 12;  // pixels per em

    CFontDesc() = default;
    CFontDesc(std::string name_, int size_) : name(std::move(name_)), size(size_) {}
    bool operator==(const CFontDesc&) const = default;
};

}  // namespace VSTGUI
