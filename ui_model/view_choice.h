#pragma once

namespace korvel {

// Mouse button and modifier codes of a mouse-down event.
inline constexpr int kLeftButton = 1;
inline constexpr int kRightButton = 2;
inline constexpr int kShiftMask = 1;
inline constexpr int kCtrlMask = 2;
inline constexpr int kAltMask = 4;

// The user asks for the classic view with the left button and Shift alone.
bool classicViewRequested(int button, int shift);

}  // namespace korvel
