#include "editctrl/bytescan.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "editctrl/linedata.h"
#include "editctrl/textdata.h"

namespace {

// The scan after stepping with ByteScan_Next while x lies behind the character:
// the reference for the one-loop skip.
ByteScan SteppedTo(const TextData* text, const LineData* line, int32_t x) {
  ByteScan scan;
  ByteScan_Reset(&scan, text, line);
  while (x >= scan.index + ByteScan_GetCharLength(&scan) && ByteScan_Next(&scan)) {
  }
  return scan;
}

TEST(ByteScan, SkipToGivesWhatSteppingGivesOnEveryKindOfLine) {
  static const char* const kPieces[] = {"a", "\t", "あ", "　", "ｱ", " ", "\x81", "\xFC"};
  std::mt19937 rng(31);
  for (int round = 0; round < 300; ++round) {
    std::string bytes;
    int pieces = static_cast<int>(rng() % 60);
    for (int i = 0; i < pieces; ++i) {
      if (rng() % 13 == 0) {
        bytes += '\0';  // NUL is a character of its own, also behind a lead byte
      } else {
        bytes += kPieces[rng() % (sizeof(kPieces) / sizeof(kPieces[0]))];
      }
    }
    LineDataProperty prop;
    prop.wrap = round % 3 != 0;
    prop.width = 1 + static_cast<int32_t>(rng() % 20);
    prop.tabsize = 1 + static_cast<int32_t>(rng() % 9);
    TextData* text = TextData_Create(&prop);
    ASSERT_TRUE(TextData_Append(text, bytes.data(), static_cast<int32_t>(bytes.size()), nullptr));
    const LineData* line = TextData_GetHead(text);
    for (int32_t x = -1; x <= static_cast<int32_t>(bytes.size()) + 1; ++x) {
      ByteScan expect = SteppedTo(text, line, x);
      ByteScan got;
      ByteScan_Reset(&got, text, line);
      ByteScan_SkipTo(&got, x);
      ASSERT_EQ(expect.index, got.index) << "round " << round << " x " << x;
      ASSERT_EQ(expect.pt.x, got.pt.x) << "round " << round << " x " << x;
      ASSERT_EQ(expect.pt.y, got.pt.y) << "round " << round << " x " << x;
      // Skipping on from a scan that stands part-way gives the same again.
      ByteScan half;
      ByteScan_Reset(&half, text, line);
      ByteScan_SkipTo(&half, x / 2);
      ByteScan_SkipTo(&half, x);
      ASSERT_EQ(expect.index, half.index);
      ASSERT_EQ(expect.pt.x, half.pt.x);
      ASSERT_EQ(expect.pt.y, half.pt.y);
    }
    TextData_Destroy(text);
  }
}

TEST(ByteScan, SkipToSaturatesHugeColumnsAsSteppingDoes) {
  LineDataProperty prop = {0, 80, 1 << 24};
  std::string tabs(300, '\t');
  TextData* text = TextData_Create(&prop);
  ASSERT_TRUE(TextData_Append(text, tabs.data(), static_cast<int32_t>(tabs.size()), nullptr));
  const LineData* line = TextData_GetHead(text);
  ByteScan got;
  ByteScan_Reset(&got, text, line);
  ByteScan_SkipTo(&got, 300);
  ByteScan expect = SteppedTo(text, line, 300);
  EXPECT_EQ(INT32_MAX, got.pt.x);
  EXPECT_EQ(expect.pt.x, got.pt.x);
  EXPECT_EQ(300, got.index);
  TextData_Destroy(text);
}

}  // namespace
