// The display settings dialog opened by its command on the real main window,
// driven from inside its modal loop, with the settings file read back.
#include <gtest/gtest.h>

#include <string>

#include "dialogs/dispset.h"
#include "editctrl/colorscheme.h"

#include "win/dialogscript.h"
#include "win/mainhost.h"
#include "win/themekey.h"

namespace {

std::string IniOf(const WinTestDir& dir) { return WinTest_ReadFile(dir / "qwilpad.ini"); }

struct Selection {
  DWORD start = 0, end = 0;
};

Selection EditSelection(HWND hEdit) {
  Selection s;
  SendMessageA(hEdit, EM_GETSEL, reinterpret_cast<WPARAM>(&s.start), reinterpret_cast<LPARAM>(&s.end));
  return s;
}

void Click(HWND hDlg, int id) { SendMessageA(hDlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

// The colours selected in the seven boxes, each in its field.
ViewStyle ShownColours(HWND hDlg) {
  ViewStyle shown = {};
  const DisplayColorBox* boxes = DisplayColor_GetBoxes();
  for (int32_t b = 0; b < kDisplayColorBoxCount; ++b) {
    HWND hBox = GetDlgItem(hDlg, boxes[b].nControlId);
    LRESULT sel = SendMessageA(hBox, CB_GETCURSEL, 0, 0);
    shown.*boxes[b].pField = static_cast<COLORREF>(SendMessageA(hBox, CB_GETITEMDATA, static_cast<WPARAM>(sel), 0));
  }
  return shown;
}

TEST(DisplaySettings, AnInvalidTabWidthKeepsTheDialogThenFourIsWrittenAndShown) {
  WinTestDir dir;
  MainHost host(dir);
  ASSERT_TRUE(host.Create());
  DialogScript script;
  std::string title;
  bool openAfterZero = false, openAfterBig = false, focusOnTab = false, marginRefused = false;
  Selection selected;
  std::string tip;
  script.Then([&](HWND h) {
    // The script's timer can answer before the modal loop first shows the
    // dialog; show it as the loop would, so that OK hiding it (the dialog
    // ended) is what tells an accepted value from a refused one.
    ShowWindow(h, SW_SHOWNA);
    char text[64] = {};
    GetWindowTextA(h, text, sizeof(text));
    title = text;
    HWND hTab = GetDlgItem(h, IDC_TAB);
    SetWindowTextA(hTab, "0");
    SendMessageA(h, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(h, IDOK)), TRUE);
    Click(h, IDOK);
    openAfterZero = IsWindowVisible(h) != FALSE;
    selected = EditSelection(hTab);
    focusOnTab = GetFocus() == hTab;
    SetWindowTextA(hTab, "128");
    Click(h, IDOK);
    openAfterBig = IsWindowVisible(h) != FALSE;
    SetWindowTextA(hTab, "4");
    SetWindowTextA(GetDlgItem(h, IDC_MARGIN), "128");
    Click(h, IDOK);
    marginRefused = IsWindowVisible(h) && GetFocus() == GetDlgItem(h, IDC_MARGIN);
    SetWindowTextA(GetDlgItem(h, IDC_MARGIN), "0");
    CheckDlgButton(h, IDC_SHOWTAB, BST_CHECKED);
    Click(h, IDOK);
  });
  EXPECT_EQ(1, host.Command(IDM_DISPLAYSETTINGS));
  EXPECT_TRUE(script.AllAnswered());
  EXPECT_EQ("表示の設定", title);
  EXPECT_TRUE(openAfterZero) << "tab width 0 is refused";
  EXPECT_TRUE(openAfterBig) << "tab width 128 is refused";
  EXPECT_TRUE(focusOnTab);
  EXPECT_EQ(0u, selected.start);
  EXPECT_EQ(1u, selected.end) << "the whole text selected";
  EXPECT_TRUE(marginRefused) << "a margin of 128 is refused";

  EditorSettings settings;
  ASSERT_TRUE(TextEditor_GetSettings(host.Editor(), &settings));
  EXPECT_EQ(4, settings.nTab) << "the editor's tabs change at once";
  EXPECT_EQ(1, settings.style.bShowTab);
  EXPECT_EQ(4, host.app->editorSettings.nTab);
  std::string ini = IniOf(dir);
  EXPECT_TRUE(WinTest_IniHas(ini, "Qwil", "タブ幅=4")) << ini;
  EXPECT_TRUE(WinTest_IniHas(ini, "Qwil", "タブ文字の表示=1"));
  EXPECT_TRUE(WinTest_IniHas(ini, "Qwil", "左余白=0"));
}

TEST(DisplaySettings, DefaultSchemeThenCancelChangesNothing) {
  WinTestDir dir;
  const std::string start = "[テキストの配色]\r\n文字色=0000FF\r\n背景色=FFFF00\r\n";
  ASSERT_TRUE(WinTest_WriteFile(dir / "qwilpad.ini", start));
  MainHost host(dir);
  ASSERT_TRUE(host.Create());
  DialogScript script;
  ViewStyle shown = {}, defaults = {};
  script.Then([&](HWND h) {
    shown = ShownColours(h);
    Click(h, IDC_DEFAULTCOLORS);
    defaults = ShownColours(h);
    Click(h, IDCANCEL);
  });
  EXPECT_EQ(0, host.Command(IDM_DISPLAYSETTINGS));
  EXPECT_EQ(RGB(0, 0, 255), shown.crText) << "the box shows the file's colour";
  EXPECT_EQ(RGB(0, 0, 0), defaults.crText);
  EXPECT_EQ(RGB(128, 128, 128), defaults.crEof);
  EXPECT_EQ(RGB(192, 192, 192), defaults.crLineEnd);
  EXPECT_EQ(start, IniOf(dir)) << "cancel writes nothing";
  EditorSettings settings;
  ASSERT_TRUE(TextEditor_GetSettings(host.Editor(), &settings));
  EXPECT_EQ(RGB(0, 0, 255), settings.style.crText);
}

// On a dark desktop the default scheme is the dark one. Confirming it gives
// colours pinned by an older file back to the theme; changing any colour
// afterwards makes the whole scheme the user's.
TEST(DisplaySettings, TheDefaultSchemeUnderADarkThemeFollowsItAndAChangeIsTheUsers) {
  DarkDesktop dark;
  ASSERT_TRUE(dark.Start("[テキストの配色]\r\n文字色=000000\r\n背景色=FFFFFF\r\n"));
  MainHost& host = dark.host;
  const WinTestDir& dir = dark.dir;
  EditorSettings settings;
  ASSERT_TRUE(TextEditor_GetSettings(host.Editor(), &settings));
  EXPECT_EQ(RGB(255, 255, 255), settings.style.crBack) << "the file's colours are kept on a dark desktop";
  ViewStyle shown = {};
  DialogScript script;
  script.Then([&](HWND h) {
    Click(h, IDC_DEFAULTCOLORS);
    shown = ShownColours(h);
    Click(h, IDOK);
  });
  EXPECT_EQ(1, host.Command(IDM_DISPLAYSETTINGS));
  EXPECT_TRUE(ColorScheme_IsDefault(&shown, true)) << "the boxes show the dark scheme";
  ASSERT_TRUE(TextEditor_GetSettings(host.Editor(), &settings));
  EXPECT_TRUE(ColorScheme_IsDefault(&settings.style, true));
  EXPECT_EQ(0, host.app->bUserColours);
  EXPECT_EQ(std::string::npos, IniOf(dir).find("背景色=")) << IniOf(dir);

  script.Then([&](HWND h) {
    SendMessageA(GetDlgItem(h, IDC_COLOR_TEXT), CB_SETCURSEL, 0, 0);  // white
    Click(h, IDOK);
  });
  EXPECT_EQ(1, host.Command(IDM_DISPLAYSETTINGS));
  EXPECT_EQ(1, host.app->bUserColours);
  std::string ini = IniOf(dir);
  EXPECT_TRUE(WinTest_IniHas(ini, "テキストの配色", "文字色=FFFFFF")) << ini;
  EXPECT_TRUE(WinTest_IniHas(ini, "テキストの配色", "背景色=1E1E1E")) << "the rest of the scheme is pinned with it";
}

TEST(DisplaySettings, AColourOutsideTheListIsAppendedAndSurvivesOk) {
  WinTestDir dir;
  ASSERT_TRUE(WinTest_WriteFile(dir / "qwilpad.ini", "[テキストの配色]\r\n文字色=123456\r\n"));
  MainHost host(dir);
  ASSERT_TRUE(host.Create());
  DialogScript script;
  LRESULT count = 0, sel = -1, backCount = 0;
  LRESULT hit = 0;
  script.Then([&](HWND h) {
    HWND hBox = GetDlgItem(h, IDC_COLOR_TEXT);
    count = SendMessageA(hBox, CB_GETCOUNT, 0, 0);
    sel = SendMessageA(hBox, CB_GETCURSEL, 0, 0);
    backCount = SendMessageA(GetDlgItem(h, IDC_COLOR_BACK), CB_GETCOUNT, 0, 0);
    // A free spot of the surface drags the dialog.
    RECT rc;
    GetWindowRect(GetDlgItem(h, IDOK), &rc);
    hit = SendMessageA(h, WM_NCHITTEST, 0, MAKELPARAM(rc.left - 3, rc.top + 3));
    Click(h, IDOK);
  });
  EXPECT_EQ(1, host.Command(IDM_DISPLAYSETTINGS));
  EXPECT_EQ(17, count);
  EXPECT_EQ(16, sel) << "the appended colour is selected";
  EXPECT_EQ(16, backCount);
  EXPECT_EQ(HTCAPTION, hit);
  EXPECT_TRUE(WinTest_IniHas(IniOf(dir), "テキストの配色", "文字色=123456")) << IniOf(dir);
}

}  // namespace
