#pragma once
// The colours every panel takes its paint from (0xRRGGBB).
#include "ui/canvas.h"

namespace vk::palette {

inline constexpr Color kWindowBackground = 0x1B1B1C;
inline constexpr Color kHeaderBar = 0x1F1F1F;
inline constexpr Color kCard = 0x202022;
inline constexpr Color kActionBar = 0x18181A;
inline constexpr Color kDivider = 0x2E2E31;
inline constexpr Color kAccent = 0x1A86F0;
inline constexpr Color kPrimary = 0x0E78D5;
inline constexpr Color kPrimaryHovered = 0x2A8CE6;
inline constexpr Color kSecondary = 0x2E2F33;
inline constexpr Color kSecondaryHovered = 0x3A3B40;
inline constexpr Color kTrack = 0x2E2F33;
inline constexpr Color kGhostHovered = 0x2C2D30;
inline constexpr Color kDisabled = 0x34353A;
inline constexpr Color kCloseHovered = 0xC42B1C;
inline constexpr Color kWhite = 0xFFFFFF;
inline constexpr Color kTagline = 0xF2F2F2;
inline constexpr Color kText = 0xE8E8E8;
inline constexpr Color kSecondaryText = 0xB4B4B8;
inline constexpr Color kMutedText = 0x85858A;
inline constexpr Color kDotIdle = 0x85858A;
inline constexpr Color kDotReady = 0x3FB950;
inline constexpr Color kDotAttention = 0xD8A02A;
inline constexpr Color kDotError = 0xF0574B;
inline constexpr Color kWarningFill = 0x2E2716;
inline constexpr Color kWarningOutline = 0x5A4A22;
inline constexpr Color kWarningText = 0xEBD9A8;
inline constexpr Color kErrorFill = 0x3A1F1D;
inline constexpr Color kErrorOutline = 0x6B2C27;
inline constexpr Color kErrorText = 0xF3C1BC;
inline constexpr Color kServerOnline = 0x0E6FC5;
inline constexpr Color kServerUnreachable = 0x9A3A22;
inline constexpr Color kServerConnecting = 0x3A3B40;
inline constexpr Color kTooltipFill = 0x2B2C30;
inline constexpr Color kTooltipOutline = 0x45464C;
inline constexpr Color kDim = 0x000000;
inline constexpr float kDimOpacity = 0.6f;

}  // namespace vk::palette
