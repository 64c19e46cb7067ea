#include "dialogs/dispset.h"

#include <gtest/gtest.h>

#include "editctrl/colorscheme.h"

namespace {

TEST(DisplaySettingsData, NumbersOutsideTheRangeOrNotNumbersAreRefused) {
  struct Case {
    const char* text;
    bool ok;
    int32_t value;
  };
  const Case cases[] = {{"4", true, 4},     {"127", true, 127}, {"1", true, 1},    {" 8 ", true, 8},
                        {"0", false, 0},    {"128", false, 0},  {"", false, 0},    {"-1", false, 0},
                        {"4x", false, 0},   {"x4", false, 0},   {"99999999999", false, 0}};
  for (const Case& c : cases) {
    int32_t value = -7;
    EXPECT_EQ(c.ok, DisplaySettings_ParseNumber(c.text, kEditorTabMin, kEditorTabMax, &value)) << c.text;
    EXPECT_EQ(c.ok ? c.value : -7, value) << c.text;
  }
  int32_t margin = -7;
  EXPECT_TRUE(DisplaySettings_ParseNumber("0", kEditorMarginMin, kEditorMarginMax, &margin));
  EXPECT_EQ(0, margin) << "a margin of 0 is allowed";
}

TEST(DisplaySettingsData, DefaultSchemeAndTheBoxes) {
  const DisplayColorBox* boxes = DisplayColor_GetBoxes();
  ViewStyle light = {}, dark = {};
  ViewStyle_SetDefaults(&light);
  ColorScheme_Set(&dark, true);
  // The scheme's button restores what a first start shows under each theme.
  for (int32_t i = 0; i < kDisplayColorBoxCount; ++i) {
    EXPECT_EQ(light.*boxes[i].pField, DisplayColor_Default(boxes[i].pField, false)) << boxes[i].label;
    EXPECT_EQ(dark.*boxes[i].pField, DisplayColor_Default(boxes[i].pField, true)) << boxes[i].label;
  }
  EXPECT_EQ(RGB(128, 128, 128), DisplayColor_Default(&ViewStyle::crEof, false));
  EXPECT_EQ(RGB(192, 192, 192), DisplayColor_Default(&ViewStyle::crSpace, false));
  EXPECT_EQ(RGB(0x1E, 0x1E, 0x1E), DisplayColor_Default(&ViewStyle::crBack, true));
  // Every box edits its own field.
  for (int32_t i = 0; i < kDisplayColorBoxCount; ++i) {
    for (int32_t j = i + 1; j < kDisplayColorBoxCount; ++j) EXPECT_NE(boxes[i].pField, boxes[j].pField);
  }
  const COLORREF* list = DisplayColor_GetList();
  EXPECT_EQ(RGB(255, 255, 255), list[0]);
  EXPECT_EQ(RGB(128, 0, 0), list[3]) << "maroon is red 128";
  EXPECT_EQ(RGB(0, 0, 0), list[15]);
}

}  // namespace
