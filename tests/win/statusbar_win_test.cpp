// The subclassed status bar on a host window of the test's own: what it tells
// its parent, in order, when it is moved and when it is destroyed, and parts
// wide enough for the largest counts at 96 and at 192 DPI.
#include <gtest/gtest.h>

#include <vector>

#include "app/statusbar_win.h"
#include "app/statustext.h"

#include <commctrl.h>
#include <cstring>
#include "win/mainhost.h"

namespace {

struct Notice {
  UINT code;
  UINT_PTR id;
  bool bHasPos;
};

std::vector<Notice>& Notices() {
  static std::vector<Notice> notices;
  return notices;
}

LRESULT CALLBACK RecordingHost(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  if (uMsg == WM_NOTIFY) {
    const StatusBarNotify* nm = reinterpret_cast<const StatusBarNotify*>(lParam);
    // The bar's own notices carry the WINDOWPOS of the move.
    bool hasPos = nm->hdr.code == kStatusBarMovedCode && nm->lValue &&
                  reinterpret_cast<const WINDOWPOS*>(nm->lValue)->hwnd == nm->hdr.hwndFrom;
    Notices().push_back({nm->hdr.code, nm->hdr.idFrom, hasPos});
  }
  return DefWindowProcA(hWnd, uMsg, wParam, lParam);
}

TEST(StatusBar, TellsItsParentOfMovesAndOfItsEnd) {
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = RecordingHost;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "QwilStatusHost";
  RegisterClassExA(&wc);
  HWND hHost = CreateWindowExA(0, "QwilStatusHost", "host", WS_OVERLAPPEDWINDOW, 0, 0, 500, 300, nullptr, nullptr,
                               wc.hInstance, nullptr);
  ASSERT_NE(nullptr, hHost);
  ShowWindow(hHost, SW_SHOWNOACTIVATE);
  HWND hBar = StatusBar_Create(hHost, wc.hInstance);
  ASSERT_NE(nullptr, hBar);
  EXPECT_EQ(100, GetDlgCtrlID(hBar));
  EXPECT_NE(nullptr, GetPropA(hBar, "PROP_STATUSBARORIGINALPROC"));
  Notices().clear();
  SetWindowPos(hHost, nullptr, 0, 0, 640, 360, SWP_NOZORDER | SWP_NOMOVE);
  StatusBar_Layout(hBar, hHost);
  ASSERT_FALSE(Notices().empty()) << "moving the bar told the parent nothing";
  for (const Notice& n : Notices()) {
    EXPECT_EQ(kStatusBarMovedCode, n.code);
    EXPECT_EQ(100u, n.id);
    EXPECT_TRUE(n.bHasPos);
  }
  // Laid out where it already is, it is not moved again (no endless layout).
  Notices().clear();
  StatusBar_Layout(hBar, hHost);
  EXPECT_TRUE(Notices().empty());
  ShowWindow(hBar, SW_HIDE);
  ASSERT_EQ(1u, Notices().size()) << "hiding is a change of place the parent hears of";
  Notices().clear();
  DestroyWindow(hBar);
  ASSERT_EQ(1u, Notices().size());
  EXPECT_EQ(kStatusBarDestroyCode, Notices()[0].code);
  DestroyWindow(hHost);
  UnregisterClassA("QwilStatusHost", wc.hInstance);
}

// The width a text takes in the bar's font.
int TextWidthInBar(HWND hBar, const char* text) {
  HDC hdc = GetDC(hBar);
  HGDIOBJ old = SelectObject(hdc, reinterpret_cast<HFONT>(SendMessageA(hBar, WM_GETFONT, 0, 0)));
  SIZE size = {};
  GetTextExtentPoint32A(hdc, text, static_cast<int>(std::strlen(text)), &size);
  SelectObject(hdc, old);
  ReleaseDC(hBar, hdc);
  return size.cx;
}

int FontHeight(HWND hBar) {
  LOGFONTA lf = {};
  GetObjectA(reinterpret_cast<HFONT>(SendMessageA(hBar, WM_GETFONT, 0, 0)), sizeof(lf), &lf);
  return lf.lfHeight < 0 ? -lf.lfHeight : lf.lfHeight;
}

TEST(StatusBar, PartsHoldCountsOfTenDigitsAtEveryDensity) {
  HINSTANCE hInstance = GetModuleHandleA(nullptr);
  HWND hHost = CreateWindowExA(0, "STATIC", "host", WS_POPUP, 0, 0, 1900, 300, nullptr, nullptr, hInstance, nullptr);
  ASSERT_NE(nullptr, hHost);
  HWND hBar = StatusBar_Create(hHost, hInstance);
  ASSERT_NE(nullptr, hBar);
  char document[kStatusTextSize], caret[kStatusTextSize];
  StatusText_Document(document, sizeof(document), 47117133, 1870014688);
  StatusText_Caret(caret, sizeof(caret), false, POINT{1999999999, 1870014687}, 0x889F);
  int heights[2] = {};
  const int32_t kDpis[2] = {96, 192};
  for (int i = 0; i < 2; ++i) {
    StatusBar_SetDpi(hBar, kDpis[i]);
    StatusBar_Layout(hBar, hHost);
    heights[i] = FontHeight(hBar);
    const struct {
      int part;
      const char* text;
    } kTexts[] = {{1, document}, {2, caret}, {3, "CAPS"}, {4, "NUM"}, {5, "UTF-16 LE (BOM)"}};
    for (const auto& t : kTexts) {
      RECT rc = {};
      ASSERT_TRUE(SendMessageA(hBar, SB_GETRECT, t.part, reinterpret_cast<LPARAM>(&rc)));
      // The bar draws a text a few pixels in from its part's left edge.
      EXPECT_GE(rc.right - rc.left, TextWidthInBar(hBar, t.text) + 6) << kDpis[i] << " DPI, part " << t.part;
    }
  }
  EXPECT_GE(heights[1], heights[0] * 2 - 1) << "the font is not made for the density";
  // In a window too narrow for them all, the first part keeps a quarter of the bar.
  SetWindowPos(hHost, nullptr, 0, 0, 760, 300, SWP_NOZORDER | SWP_NOMOVE);
  StatusBar_Layout(hBar, hHost);
  RECT bar = {}, first = {};
  GetClientRect(hBar, &bar);
  ASSERT_TRUE(SendMessageA(hBar, SB_GETRECT, 0, reinterpret_cast<LPARAM>(&first)));
  EXPECT_GE(first.right - first.left, (bar.right - bar.left) / 4 - 2);
  DestroyWindow(hHost);
}

}  // namespace
