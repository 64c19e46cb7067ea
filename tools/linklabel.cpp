#include "tools/linklabel.h"

#include <cstring>

namespace {

// '#' black, 'o' white, '.' transparent.
const char* const kHand[] = {
    "......##..........", ".....#oo#.........", ".....#oo#.........", ".....#oo#.........",
    ".....#oo#.........", ".....#oo###.......", ".....#oo#oo###....", ".....#oo#oo#oo##..",
    ".....#oo#oo#oo#o#.", ".###.#oo#oo#oo#oo#", ".#oo##oooooooo#oo#", ".#ooo#ooooooooooo#",
    "..#oo#ooooooooooo#", "...#o#ooooooooooo#", "...#ooooooooooooo#", "....#oooooooooooo#",
    "....#ooooooooooo#.", ".....#oooooooooo#.", ".....#oooooooooo#.", "......#oooooooo#..",
    "......#oooooooo#..", "......##########..",
};

void SetBit(uint8_t* mask, int32_t x, int32_t y, bool on) {
  int32_t bit = y * kHandCursorSize + x;
  uint8_t m = static_cast<uint8_t>(0x80u >> (bit % 8));
  if (on) {
    mask[bit / 8] = static_cast<uint8_t>(mask[bit / 8] | m);
  } else {
    mask[bit / 8] = static_cast<uint8_t>(mask[bit / 8] & ~m);
  }
}

}  // namespace

void HandCursor_MakeMasks(uint8_t andMask[kHandCursorMaskBytes], uint8_t xorMask[kHandCursorMaskBytes]) {
  std::memset(andMask, 0xFF, kHandCursorMaskBytes);
  std::memset(xorMask, 0x00, kHandCursorMaskBytes);
  int32_t nRows = static_cast<int32_t>(sizeof(kHand) / sizeof(kHand[0]));
  for (int32_t y = 0; y < nRows; ++y) {
    for (int32_t x = 0; kHand[y][x] != '\0'; ++x) {
      char c = kHand[y][x];
      if (c == '.') continue;
      SetBit(andMask, x, y, false);
      SetBit(xorMask, x, y, c == 'o');
    }
  }
}
