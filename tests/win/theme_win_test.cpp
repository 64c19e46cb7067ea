// The real main window on a dark desktop (the app theme set in the test
// prefix): the editor drawn in the dark scheme, a change of the theme while it
// runs repainting it in the light one, the title bar asked to follow, and
// colours of the user's own kept through both.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editctrl/colorscheme.h"
#include "editctrl/editwind_win.h"
#include "tools/systheme_win.h"
#include "win/themekey.h"

namespace {

ViewStyle Scheme(bool bDark) {
  ViewStyle style = {};
  ColorScheme_Set(&style, bDark);
  return style;
}

ViewStyle EditorStyle(HWND hEditor) {
  EditorSettings settings = {};
  EXPECT_TRUE(TextEditor_GetSettings(hEditor, &settings));
  return settings.style;
}

int32_t LineHeight(HWND hEditor) { return EditBody_LineHeight(EditWindow_FromHandle(hEditor)->body); }

// What the editor shows on screen once its waiting paints are done: how many
// pixels of its first row are in the text colour, and whether the rows below
// the text are all in the background colour.
struct Painted {
  int nText = 0;
  bool bBackBelow = true;
};

Painted PaintedIn(HWND hEditor, const ViewStyle& style) {
  UpdateWindow(hEditor);
  RECT rc;
  GetClientRect(hEditor, &rc);
  int32_t lh = LineHeight(hEditor);
  Painted p;
  HDC hdc = GetDC(hEditor);
  for (int y = 0; y < lh; ++y) {
    for (int x = 0; x < rc.right; ++x) p.nText += (GetPixel(hdc, x, y) & 0xFFFFFF) == style.crText;
  }
  for (int x = 0; x < rc.right; x += 3) p.bBackBelow = p.bBackBelow && (GetPixel(hdc, x, 3 * lh) & 0xFFFFFF) == style.crBack;
  ReleaseDC(hEditor, hdc);
  return p;
}

void SendSettingChange(HWND hWnd, const char* area) {
  SendMessageA(hWnd, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(area));
}

bool SameColours(const ViewStyle& a, const ViewStyle& b) {
  return a.crText == b.crText && a.crBack == b.crBack && a.crSelText == b.crSelText && a.crSelBack == b.crSelBack &&
         a.crEof == b.crEof && a.crLineEnd == b.crLineEnd && a.crTab == b.crTab && a.crSpace == b.crSpace &&
         a.crZenSpace == b.crZenSpace;
}

TEST(Theme, ADarkDesktopShowsTheDarkSchemeAndAThemeChangeRepaintsInTheLight) {
  DarkDesktop desktop;
  ASSERT_TRUE(desktop.Start(""));
  ASSERT_TRUE(SystemTheme_IsDark());
  MainHost& host = desktop.host;
  ThemeKey& theme = desktop.theme;
  host.Type("Qwilpad on a dark desktop");
  SetFocus(nullptr);  // no caret over the pixels
  TestWin_PumpMessages();
  const ViewStyle dark = Scheme(true), light = Scheme(false);
  EXPECT_TRUE(SameColours(dark, EditorStyle(host.Editor())));
  Painted shown = PaintedIn(host.Editor(), dark);
  EXPECT_GT(shown.nText, 30) << "light text is drawn";
  EXPECT_TRUE(shown.bBackBelow) << "the dark background below the text";
  EXPECT_TRUE(SystemTheme_SetDarkTitleBar(host.hWnd, true)) << "the title bar's attribute is found at run time";

  ASSERT_TRUE(theme.SetDark(false));
  // Other settings changing say nothing about the theme.
  SendSettingChange(host.hWnd, nullptr);
  SendSettingChange(host.hWnd, "intl");
  EXPECT_TRUE(SameColours(dark, EditorStyle(host.Editor())));
  SendSettingChange(host.hWnd, "ImmersiveColorSet");
  EXPECT_TRUE(SameColours(light, EditorStyle(host.Editor())));
  RECT update = {};
  EXPECT_TRUE(GetUpdateRect(host.Editor(), &update, FALSE)) << "the editor is to be painted anew";
  Painted repainted = PaintedIn(host.Editor(), light);
  EXPECT_GT(repainted.nText, 30) << "black text is drawn";
  EXPECT_TRUE(repainted.bBackBelow) << "the white background below the text";

  // Colours that followed the theme are not pinned by the close.
  TextEditor_SetModified(host.Editor(), false);
  ASSERT_TRUE(host.Close());
  std::string ini = WinTest_ReadFile(desktop.dir / "qwilpad.ini");
  EXPECT_EQ(std::string::npos, ini.find("文字色=")) << ini;
  EXPECT_EQ(std::string::npos, ini.find("背景色=")) << ini;
}

TEST(Theme, ColoursOfTheUsersOwnStayOnADarkDesktopAndThroughAChange) {
  DarkDesktop desktop;
  ASSERT_TRUE(desktop.Start("[テキストの配色]\r\n文字色=0000FF\r\n"));
  MainHost& host = desktop.host;
  ThemeKey& theme = desktop.theme;
  ViewStyle style = EditorStyle(host.Editor());
  EXPECT_EQ(RGB(0, 0, 255), style.crText);
  EXPECT_EQ(RGB(255, 255, 255), style.crBack) << "the colours the file lacks are the light scheme's, as always";
  ASSERT_TRUE(theme.SetDark(false));
  SendSettingChange(host.hWnd, "ImmersiveColorSet");
  ASSERT_TRUE(theme.SetDark(true));
  SendSettingChange(host.hWnd, "ImmersiveColorSet");
  EXPECT_TRUE(SameColours(style, EditorStyle(host.Editor())));
  ASSERT_TRUE(host.Close());
  std::string ini = WinTest_ReadFile(desktop.dir / "qwilpad.ini");
  EXPECT_TRUE(WinTest_IniHas(ini, "テキストの配色", "文字色=0000FF")) << ini;
  EXPECT_TRUE(WinTest_IniHas(ini, "テキストの配色", "背景色=FFFFFF"));
}

}  // namespace
