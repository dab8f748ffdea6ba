// Mouse buttons and modifier keys of a mouse event, as bits.
#pragma once

namespace VSTGUI {

using CButtonState = unsigned;

enum : CButtonState {
    kLButton = 1 << 0,
    kMButton = 1 << 1,
    kRButton = 1 << 2,
    kShift = 1 << 3,
    kControl = 1 << 4,
    kAlt = 1 << 5,
    kDoubleClick = 1 << 6,  // the second press of a double-click
};

}  // namespace VSTGUI
