// The link label's pointing hand, drawn from a picture of rows (the index
// finger up, its tip the hot spot), so that no cursor resource is needed.
#pragma once

#include <cstdint>

constexpr int32_t kHandCursorSize = 32;  // pixels on each side
constexpr int32_t kHandCursorMaskBytes = kHandCursorSize * kHandCursorSize / 8;
constexpr int32_t kHandCursorHotX = 7;
constexpr int32_t kHandCursorHotY = 0;

// The monochrome masks of the hand, one bit per pixel, rows top down, the
// highest bit leftmost: black is AND 0 XOR 0, white AND 0 XOR 1, transparent
// AND 1 XOR 0 (every pixel outside the picture).
void HandCursor_MakeMasks(uint8_t andMask[kHandCursorMaskBytes], uint8_t xorMask[kHandCursorMaskBytes]);
