// The program on displays of other densities: the manifest that asks Windows
// for per-monitor DPI, the main window following WM_DPICHANGED, the editor's
// font, caret and strokes scaled while the settings keep the 96-DPI height.
// With QWIL_EXPECT_DPI set (tests/e2e/dpi_test.sh runs this program with the
// display at 144 DPI), the live case checks what a window made at that DPI shows.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "dialogs/filedlg_win.h"
#include "editctrl/dpi_win.h"
#include "editctrl/editstyle_win.h"
#include "editctrl/editwind_win.h"
#include "win/dialogscript.h"
#include "win/edithost.h"
#include "win/mainhost.h"

namespace {

std::string ExeManifest() {
  HMODULE hModule = LoadLibraryExA(TestWin_ExePath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!hModule) return std::string();
  std::string text;
  HRSRC hRes = FindResourceA(hModule, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));  // RT_MANIFEST
  HGLOBAL hData = hRes ? LoadResource(hModule, hRes) : nullptr;
  const char* p = hData ? static_cast<const char*>(LockResource(hData)) : nullptr;
  if (p) text.assign(p, SizeofResource(hModule, hRes));
  FreeLibrary(hModule);
  return text;
}

TEST(DpiManifestTest, AsksForPerMonitorV2WithTheOlderDeclarationBeside) {
  std::string m = ExeManifest();
  ASSERT_FALSE(m.empty());
  size_t at = m.find("<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">");
  ASSERT_NE(std::string::npos, at) << m;
  std::string awareness = m.substr(at, m.find("</dpiAwareness>", at) - at);
  EXPECT_NE(std::string::npos, awareness.find(">PerMonitorV2")) << awareness << ": the first one Windows knows wins";
  EXPECT_NE(std::string::npos, m.find("<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">"
                                      "true/pm</dpiAware>"))
      << m;
  EXPECT_NE(std::string::npos, m.find("<windowsSettings>"));
}

int32_t LineHeightOf(HWND hEditor) { return EditBody_LineHeight(EditWindow_FromHandle(hEditor)->body); }
int32_t CellWidthOf(HWND hEditor) { return EditBody_CellWidth(EditWindow_FromHandle(hEditor)->body); }

class DpiMainWindowTest : public ::testing::Test {
 protected:
  WinTestDir dir;
  MainHost host{dir};
  void SetUp() override {
    ASSERT_TRUE(host.Create());
    ASSERT_TRUE(TextEditor_SetDpi(host.Editor(), 96));
    nHeight96 = LineHeightOf(host.Editor());
    nCell96 = CellWidthOf(host.Editor());
    ASSERT_GT(nHeight96, 0);
  }
  void TearDown() override {
    if (host.Editor()) TextEditor_SetDpi(host.Editor(), Dpi_ForWindow(host.Editor()));
  }
  LRESULT SendDpiChanged(int32_t dpi, const RECT* rc) {
    return SendMessageA(host.hWnd, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(rc));
  }
  int32_t nHeight96 = 0, nCell96 = 0;
};

TEST_F(DpiMainWindowTest, MovingTo144DpiScalesTheTextAndTakesTheSuggestedRectangle) {
  ViewStyle before;
  TextEditor_GetViewStyle(&before);
  host.Type("abc");
  RECT suggested = {40, 30, 40 + 960, 30 + 720};
  EXPECT_EQ(0, SendDpiChanged(144, &suggested));
  RECT rc;
  GetWindowRect(host.hWnd, &rc);
  EXPECT_EQ(suggested.left, rc.left);
  EXPECT_EQ(suggested.top, rc.top);
  EXPECT_EQ(960, rc.right - rc.left);
  EXPECT_EQ(720, rc.bottom - rc.top);
  int32_t lh = LineHeightOf(host.Editor());
  // Fonts come in whole pixels: within a pixel or two of one and a half times.
  EXPECT_NEAR(1.5 * nHeight96, lh, 2.0) << "96 DPI: " << nHeight96 << ", 144 DPI: " << lh;
  EXPECT_NEAR(1.5 * nCell96, CellWidthOf(host.Editor()), 2.0);
  EXPECT_EQ(144, EditStyle_Get()->nDpi);
  EXPECT_EQ(3, EditStyle_CaretWidth());
  // The editor filled the new client area (the status bar below it).
  RECT client, editor;
  GetClientRect(host.hWnd, &client);
  GetWindowRect(host.Editor(), &editor);
  EXPECT_EQ(client.right, editor.right - editor.left);
  // What is kept and saved is the 96-DPI height: a move must not grow the font
  // at every start.
  ViewStyle after;
  TextEditor_GetViewStyle(&after);
  EXPECT_EQ(before.lfFont.lfHeight, after.lfFont.lfHeight);
  EditorSettings settings;
  ASSERT_TRUE(TextEditor_GetSettings(host.Editor(), &settings));
  EXPECT_EQ(before.lfFont.lfHeight, settings.style.lfFont.lfHeight);
  EXPECT_EQ(before.lfFont.lfHeight, host.app->editorSettings.style.lfFont.lfHeight);
  EXPECT_EQ(3, TextEditor_GetTextLength(host.Editor())) << "the document is untouched";
  // Back to 96 DPI: the first figures again.
  RECT back = {40, 30, 40 + 640, 30 + 480};
  SendDpiChanged(96, &back);
  EXPECT_EQ(nHeight96, LineHeightOf(host.Editor()));
  EXPECT_EQ(nCell96, CellWidthOf(host.Editor()));
}

TEST_F(DpiMainWindowTest, NonsenseInTheMessageChangesNothingHarmful) {
  RECT before;
  GetWindowRect(host.hWnd, &before);
  SendDpiChanged(0, nullptr);  // no rectangle, no density
  EXPECT_EQ(nHeight96, LineHeightOf(host.Editor())) << "an unknown density counts as 96";
  RECT empty = {500, 500, 400, 400};
  SendDpiChanged(65535, &empty);
  EXPECT_EQ(nHeight96, LineHeightOf(host.Editor()));
  RECT rc;
  GetWindowRect(host.hWnd, &rc);
  EXPECT_EQ(before.left, rc.left);
  EXPECT_EQ(before.right, rc.right);
  EXPECT_EQ(before.bottom, rc.bottom) << "an empty or missing rectangle is not taken";
}

// The pixels of one row of the control's client area.
std::vector<COLORREF> ClientRow(HWND hWnd, int y) {
  RECT rc;
  GetClientRect(hWnd, &rc);
  std::vector<COLORREF> row;
  HDC hdc = GetDC(hWnd);
  for (int x = 0; x < rc.right; ++x) row.push_back(GetPixel(hdc, x, y) & 0xFFFFFF);
  ReleaseDC(hWnd, hdc);
  return row;
}

class DpiEditorTest : public EditorTest {
 protected:
  void TearDown() override {
    if (hEditor) TextEditor_SetDpi(hEditor, Dpi_ForWindow(hEditor));
    EditorTest::TearDown();
  }
};

TEST_F(DpiEditorTest, LineNumberSeparatorWidensOnlyAtTwiceTheDensity) {
  EditorSettings s = HostSettings();
  s.bLineNumber = 1;
  s.style.crBack = RGB(255, 255, 255);
  s.style.crEof = RGB(200, 0, 200);
  Close();
  ASSERT_TRUE(Open(s));
  SetFocus(hHost);  // no caret over the pixels
  TestWin_PumpMessages();
  struct Case {
    int32_t nDpi, nStroke;
  } kCases[] = {{96, 1}, {144, 1}, {192, 2}, {96, 1}};
  for (const Case& c : kCases) {
    ASSERT_TRUE(TextEditor_SetDpi(hEditor, c.nDpi));
    InvalidateRect(hEditor, nullptr, FALSE);
    UpdateWindow(hEditor);
    // Below the only line: nothing but the separator in the number column.
    std::vector<COLORREF> row = ClientRow(hEditor, 3 * LineHeight());
    int strokes = 0;
    for (COLORREF px : row) strokes += px == s.style.crEof;
    EXPECT_EQ(c.nStroke, strokes) << c.nDpi << " DPI";
  }
}

// The width of a text in the status bar's font.
int TextWidth(HWND hStatusBar, const std::string& text) {
  HDC hdc = GetDC(hStatusBar);
  HGDIOBJ old = SelectObject(hdc, reinterpret_cast<HFONT>(SendMessageA(hStatusBar, WM_GETFONT, 0, 0)));
  SIZE size = {};
  GetTextExtentPoint32A(hdc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(hdc, old);
  ReleaseDC(hStatusBar, hdc);
  return size.cx;
}

// A program started on a 144-DPI display (the end-to-end test sets it): the
// window's own DPI, and text, menu bar and status bar big enough for their fonts.
TEST(DpiLiveTest, WindowsMadeOnTheDenseDisplayUseItsDensity) {
  const char* pExpected = std::getenv("QWIL_EXPECT_DPI");
  if (!pExpected) GTEST_SKIP() << "only with the display at another density (tests/e2e/dpi_test.sh)";
  int32_t expected = std::atoi(pExpected);
  WinTestDir dir;
  MainHost host(dir);
  ASSERT_TRUE(host.Create());
  EXPECT_EQ(expected, Dpi_ForWindow(host.hWnd));
  int32_t lh = LineHeightOf(host.Editor());
  ASSERT_TRUE(TextEditor_SetDpi(host.Editor(), 96));
  int32_t lh96 = LineHeightOf(host.Editor());
  ASSERT_TRUE(TextEditor_SetDpi(host.Editor(), expected));
  EXPECT_EQ(lh, LineHeightOf(host.Editor()));
  EXPECT_NEAR(expected / 96.0 * lh96, lh, 2.0) << "96 DPI: " << lh96 << ", " << expected << " DPI: " << lh;
  // The status bar holds a line of its own font.
  HDC hdc = GetDC(host.StatusBar());
  HGDIOBJ old = SelectObject(hdc, reinterpret_cast<HFONT>(SendMessageA(host.StatusBar(), WM_GETFONT, 0, 0)));
  TEXTMETRICA tm = {};
  GetTextMetricsA(hdc, &tm);
  SelectObject(hdc, old);
  ReleaseDC(host.StatusBar(), hdc);
  RECT bar;
  GetClientRect(host.StatusBar(), &bar);
  EXPECT_GE(bar.bottom, tm.tmHeight) << "the status bar's text fits";
  // Each part is wide enough for its text (the parts are set in 96-DPI pixels).
  // The caret on a full-width character: the longest position text, with its code.
  host.Type("\x82\xa0");
  SendMessageA(host.Editor(), WM_KEYDOWN, VK_HOME, 1);
  for (int part = 1; part < 4; ++part) {
    std::string text = host.Status(part);
    RECT rc = {};
    SendMessageA(host.StatusBar(), SB_GETRECT, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(&rc));
    EXPECT_GE(rc.right - rc.left, TextWidth(host.StatusBar(), text))
        << "part " << part << ": " << text << " in " << rc.right - rc.left;
  }
  MENUBARINFO mbi = {};
  mbi.cbSize = sizeof(mbi);
  ASSERT_TRUE(GetMenuBarInfo(host.hWnd, OBJID_MENU, 0, &mbi));
  EXPECT_GE(mbi.rcBar.bottom - mbi.rcBar.top, expected / 96.0 * 16) << "the menu bar grew with the display";
}

// The font dialog measures heights at the screen's density, the settings at 96
// DPI: whatever size is chosen, the height given back is that size at 96 DPI.
// (Wine's dialog starts at its smallest size whatever it is given, so only the
// way back can be checked here.)
TEST(DpiLiveTest, FontDialogGivesBackTheHeightAt96Dpi) {
  if (!std::getenv("QWIL_EXPECT_DPI")) GTEST_SKIP() << "only with the display at another density";
  LOGFONTA lf = {};
  lf.lfHeight = -16;
  lf.lfWeight = 400;
  lf.lfCharSet = SHIFTJIS_CHARSET;
  lf.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
  std::strcpy(lf.lfFaceName, "IPAGothic");
  int32_t pointSize = -1;
  DialogScript script;
  script.Press(IDOK);
  ASSERT_TRUE(ChooseDisplayFont(nullptr, &lf, &pointSize));
  EXPECT_EQ(1u, script.seen.size()) << "the font dialog did not appear";
  ASSERT_GT(pointSize, 0);
  EXPECT_EQ(-MulDiv(pointSize, 96, 720), lf.lfHeight)
      << pointSize / 10.0 << " points stored at the screen's density";
}

}  // namespace
