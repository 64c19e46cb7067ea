// The subclassed status bar on a host window of the test's own: what it tells
// its parent, in order, when it is moved and when it is destroyed.
#include <gtest/gtest.h>

#include <vector>

#include "app/statusbar_win.h"
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

}  // namespace
