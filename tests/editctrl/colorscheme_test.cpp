#include "editctrl/colorscheme.h"

#include <gtest/gtest.h>

#include <cstring>

#include "editctrl/editsettings.h"

namespace {

ViewStyle Scheme(bool bDark) {
  ViewStyle style = {};
  ViewStyle_SetDefaults(&style);
  ColorScheme_Set(&style, bDark);
  return style;
}

TEST(ColorScheme, ContrastIsTheRatioOfRelativeLuminances) {
  EXPECT_DOUBLE_EQ(21.0, Color_Contrast(RGB(0, 0, 0), RGB(255, 255, 255)));
  EXPECT_DOUBLE_EQ(21.0, Color_Contrast(RGB(255, 255, 255), RGB(0, 0, 0))) << "either colour first";
  EXPECT_DOUBLE_EQ(1.0, Color_Contrast(RGB(0x12, 0x34, 0x56), RGB(0x12, 0x34, 0x56)));
  // Green weighs most, blue least; gray 128 on white just misses 4:1.
  EXPECT_NEAR(0.7152, Color_Luminance(RGB(0, 255, 0)), 1e-9);
  EXPECT_NEAR(0.0722, Color_Luminance(RGB(0, 0, 255)), 1e-9);
  EXPECT_NEAR(3.95, Color_Contrast(RGB(128, 128, 128), RGB(255, 255, 255)), 0.005);
}

// Every colour drawn on another one in the dark scheme: the text, the
// selected text on the selection, each mark, "[EOF]" and the line numbers
// (drawn in the end-of-file colour) on the background.
TEST(ColorScheme, EveryPairOfTheDarkSchemeKeepsAtLeastFourAndAHalfToOne) {
  const ViewStyle dark = Scheme(true);
  struct Pair {
    const char* name;
    COLORREF fore, back;
  } pairs[] = {
      {"text", dark.crText, dark.crBack},
      {"selected text", dark.crSelText, dark.crSelBack},
      {"end-of-file mark and line numbers", dark.crEof, dark.crBack},
      {"line-end mark", dark.crLineEnd, dark.crBack},
      {"tab mark", dark.crTab, dark.crBack},
      {"half-width space mark", dark.crSpace, dark.crBack},
      {"full-width space mark", dark.crZenSpace, dark.crBack},
  };
  for (const Pair& p : pairs) EXPECT_GE(Color_Contrast(p.fore, p.back), 4.5) << p.name;
  EXPECT_LT(Color_Luminance(dark.crBack), 0.05) << "a dark background";
  EXPECT_GE(Color_Contrast(dark.crSelBack, dark.crBack), 3.0) << "the selection shows as a block";
}

// The light scheme is the classic one: its text and selection are black and
// white; its marks are faint on purpose and stay as they were.
TEST(ColorScheme, TheLightSchemeIsTheClassicOne) {
  const ViewStyle light = Scheme(false);
  EXPECT_DOUBLE_EQ(21.0, Color_Contrast(light.crText, light.crBack));
  EXPECT_DOUBLE_EQ(21.0, Color_Contrast(light.crSelText, light.crSelBack));
  EXPECT_EQ(RGB(128, 128, 128), light.crEof);
  EXPECT_EQ(RGB(192, 192, 192), light.crZenSpace);
}

TEST(ColorScheme, TheThemePicksTheSchemeUnlessTheColoursAreTheUsers) {
  ViewStyle style = Scheme(false);
  style.bShowTab = 1;
  ColorScheme_Follow(&style, false, true);
  EXPECT_TRUE(ColorScheme_IsDefault(&style, true)) << "dark theme, no colours of the user's: the dark scheme";
  EXPECT_EQ(1, style.bShowTab) << "the marks shown stay";
  ColorScheme_Follow(&style, false, false);
  EXPECT_TRUE(ColorScheme_IsDefault(&style, false)) << "light theme: the light scheme";
  style.crText = RGB(0, 0, 255);
  ViewStyle users = style;
  ColorScheme_Follow(&style, true, true);
  EXPECT_EQ(0, std::memcmp(&users, &style, sizeof(style))) << "the user's colours are kept on a dark desktop";
}

TEST(ColorScheme, ADialogChoiceOfTheDefaultsFollowsTheThemeAnyOtherIsTheUsers) {
  ViewStyle style = Scheme(true);
  style.crTab = RGB(1, 2, 3);  // no box of the dialog shows it
  EXPECT_FALSE(ColorScheme_TakeChoice(&style, true));
  EXPECT_EQ(Scheme(true).crTab, style.crTab) << "following the theme, every colour is the scheme's";
  style.crSelBack = RGB(0, 0, 128);
  EXPECT_TRUE(ColorScheme_TakeChoice(&style, true));
  EXPECT_EQ(RGB(0, 0, 128), style.crSelBack);
  // The light scheme confirmed on a dark desktop is a choice of its own.
  ViewStyle light = Scheme(false);
  EXPECT_TRUE(ColorScheme_TakeChoice(&light, true));
  EXPECT_FALSE(ColorScheme_TakeChoice(&light, false));
}

}  // namespace
