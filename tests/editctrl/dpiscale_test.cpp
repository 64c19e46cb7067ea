// Sizes meant at 96 DPI on denser and sparser displays.
#include <gtest/gtest.h>

#include <cstring>

#include "editctrl/dpiscale.h"

namespace {

TEST(DpiScaleTest, ScalesAndRoundsBothSigns) {
  struct Case {
    int32_t nValue, nDpi, nExpected;
  } kCases[] = {
      {16, 96, 16},   {16, 144, 24},  {16, 120, 20},  {16, 192, 32}, {15, 144, 23},  // 22.5 rounds up
      {-15, 144, -23},                                                            // and down, alike
      {-12, 120, -15}, {2, 144, 3},   {1, 144, 2},    {1, 120, 1},   {0, 144, 0},   {16, 72, 12},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(c.nExpected, Dpi_Scale(c.nValue, c.nDpi)) << c.nValue << " at " << c.nDpi << " DPI";
  }
}

TEST(DpiScaleTest, GarbageDensityCountsAsNinetySix) {
  for (int32_t dpi : {0, -144, 1, 47, 961, 65535, INT32_MIN, INT32_MAX}) {
    EXPECT_EQ(96, Dpi_Sanitize(dpi)) << dpi;
    EXPECT_EQ(16, Dpi_Scale(16, dpi)) << dpi;
  }
  EXPECT_EQ(48, Dpi_Sanitize(48));
  EXPECT_EQ(960, Dpi_Sanitize(960));
}

TEST(DpiScaleTest, HugeValuesSaturateInsteadOfWrapping) {
  EXPECT_EQ(INT32_MAX, Dpi_Scale(INT32_MAX, 960));
  EXPECT_EQ(INT32_MIN, Dpi_Scale(INT32_MIN, 960));
  EXPECT_EQ(INT32_MAX / 2 + 1, Dpi_Scale(INT32_MAX, 48));
}

TEST(DpiScaleTest, LinesNeverVanish) {
  EXPECT_EQ(1, Dpi_ScaleLine(1, 48));
  EXPECT_EQ(1, Dpi_ScaleLine(0, 96));
  EXPECT_EQ(3, Dpi_ScaleLine(2, 144));
  EXPECT_EQ(2, Dpi_ScaleLine(1, 144));
  EXPECT_EQ(4, Dpi_ScaleLine(2, 192));
}

TEST(DpiScaleTest, FontKeepsEverythingButItsSize) {
  LOGFONTA font = {};
  font.lfHeight = -16;
  font.lfWidth = 8;
  font.lfWeight = 700;
  font.lfCharSet = 128;
  std::strcpy(font.lfFaceName, "ＭＳ ゴシック");
  LOGFONTA scaled = Dpi_ScaleFont(&font, 144);
  EXPECT_EQ(-24, scaled.lfHeight);
  EXPECT_EQ(12, scaled.lfWidth);
  EXPECT_EQ(700, scaled.lfWeight);
  EXPECT_EQ(128, scaled.lfCharSet);
  EXPECT_STREQ(font.lfFaceName, scaled.lfFaceName);
  EXPECT_EQ(-16, font.lfHeight) << "the original is left alone";
}

}  // namespace

namespace {

TEST(DpiScaleTest, StrokesWidenOnlyByWholePixels) {
  struct Case {
    int32_t nDpi, nExpected;
  } kCases[] = {{48, 1}, {96, 1}, {144, 1}, {191, 1}, {192, 2}, {288, 3}, {0, 1}, {5000, 1}};
  for (const Case& c : kCases) EXPECT_EQ(c.nExpected, Dpi_StrokeWidth(c.nDpi)) << c.nDpi << " DPI";
}

}  // namespace
