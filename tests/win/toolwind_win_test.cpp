// The dialog helpers on real windows: placement at the pointer inside the work
// area, dragging by the surface, tooltips on controls, moving children by a
// difference.
#include "tools/toolwind_win.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include "tools/memory.h"

namespace {

RECT WorkAreaAt(POINT pt) {
  MONITORINFO mi = {};
  mi.cbSize = sizeof(mi);
  GetMonitorInfoA(MonitorFromPoint(pt, MONITOR_DEFAULTTONEAREST), &mi);
  return mi.rcWork;
}

HWND MakePopup(int width, int height) {
  return CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "placed", WS_POPUP | WS_CAPTION, 10, 10, width, height, nullptr,
                         nullptr, GetModuleHandleA(nullptr), nullptr);
}

TEST(ToolWind, ADialogOpenedInTheBottomRightCornerIsWhollyInsideTheWorkArea) {
  HWND hWnd = MakePopup(300, 200);
  ASSERT_NE(nullptr, hWnd);
  RECT work = WorkAreaAt({0, 0});
  ASSERT_TRUE(SetCursorPos(work.right - 1, work.bottom - 1));
  Window_PlaceCaptionAtCursor(hWnd);
  RECT rc;
  GetWindowRect(hWnd, &rc);
  EXPECT_EQ(work.right, rc.right) << "left " << rc.left;
  EXPECT_EQ(work.bottom, rc.bottom) << "top " << rc.top;
  EXPECT_EQ(300, rc.right - rc.left) << "the size is kept";

  // In the middle, the caption's middle is under the pointer.
  POINT mid = {(work.left + work.right) / 2, (work.top + work.bottom) / 2};
  ASSERT_TRUE(SetCursorPos(mid.x, mid.y));
  Window_PlaceCaptionAtCursor(hWnd);
  GetWindowRect(hWnd, &rc);
  EXPECT_EQ(mid.x - 150, rc.left);
  EXPECT_EQ(mid.y - GetSystemMetrics(SM_CYCAPTION) / 2, rc.top);
  Window_CenterAtCursor(hWnd);
  GetWindowRect(hWnd, &rc);
  EXPECT_EQ(mid.y - 100, rc.top);
  DestroyWindow(hWnd);
}

TEST(ToolWind, AWindowWiderThanTheWorkAreaStartsAtItsLeftEdge) {
  RECT work = WorkAreaAt({0, 0});
  HWND hWnd = MakePopup(work.right - work.left + 200, 100);
  ASSERT_NE(nullptr, hWnd);
  ASSERT_TRUE(SetCursorPos(work.right - 1, work.top + 50));
  Window_PlaceCaptionAtCursor(hWnd);
  RECT rc;
  GetWindowRect(hWnd, &rc);
  EXPECT_EQ(work.left, rc.left);
  DestroyWindow(hWnd);
}

TEST(ToolWind, TheSurfaceDragsAndControlsAndBordersAnswerAsBefore) {
  HWND hWnd = CreateWindowExA(0, "STATIC", "drag", WS_POPUP | WS_CAPTION | WS_THICKFRAME | WS_VISIBLE, 100, 100, 300,
                              200, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(nullptr, hWnd);
  POINT client = {150, 100};
  ClientToScreen(hWnd, &client);
  RECT rc;
  GetWindowRect(hWnd, &rc);
  struct {
    const char* what;
    POINT pt;
    LRESULT expected;
  } cases[] = {
      {"an empty spot of the client area", client, HTCAPTION},
      {"the caption itself", {rc.left + 150, rc.top + GetSystemMetrics(SM_CYFRAME) + 3}, HTCAPTION},
      {"the bottom-right sizing corner", {rc.right - 1, rc.bottom - 1}, HTBOTTOMRIGHT},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.expected, Window_SurfaceHitTest(hWnd, MAKELPARAM(c.pt.x, c.pt.y))) << c.what;
  }
  DestroyWindow(hWnd);
}

TEST(ToolWind, ATooltipKeepsItsOwnCopyOfEachControlsText) {
  HWND hOwner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  HWND hEdit = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 5, 5, 80, 20, hOwner, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
  HWND hTip = ToolTip_Create(hOwner);
  ASSERT_NE(nullptr, hTip);
  char text[] = "1 ～ 127";
  ASSERT_TRUE(ToolTip_AddTool(hTip, hOwner, hEdit, text));
  text[0] = 'X';  // the tooltip must not read the caller's buffer again
  EXPECT_EQ(1, SendMessageA(hTip, TTM_GETTOOLCOUNT, 0, 0));
  char got[64] = {};
  TOOLINFOA ti = {};
  ti.cbSize = sizeof(ti);
  ti.hwnd = hOwner;
  ti.uId = reinterpret_cast<UINT_PTR>(hEdit);
  ti.lpszText = got;
  SendMessageA(hTip, TTM_GETTEXTA, sizeof(got), reinterpret_cast<LPARAM>(&ti));
  EXPECT_STREQ("1 ～ 127", got);
  DestroyWindow(hOwner);
  EXPECT_FALSE(IsWindow(hTip)) << "the tooltip goes with its owner";
}

TEST(ToolWind, ChildrenMoveAndGrowByADifferenceInOneBatch) {
  HWND hParent = CreateWindowExA(0, "STATIC", "parent", WS_POPUP | WS_CAPTION, 50, 50, 400, 300, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
  HWND hA = CreateWindowExA(0, "BUTTON", "a", WS_CHILD, 10, 20, 60, 25, hParent, nullptr, nullptr, nullptr);
  HWND hB = CreateWindowExA(0, "EDIT", "b", WS_CHILD, 10, 60, 100, 25, hParent, nullptr, nullptr, nullptr);
  HDWP hDwp = BeginDeferWindowPos(2);
  ASSERT_NE(nullptr, hDwp);
  hDwp = Window_DeferMoveBy(hDwp, hA, 30, -5);
  hDwp = Window_DeferSizeBy(hDwp, hB, 40, 3);
  ASSERT_TRUE(EndDeferWindowPos(hDwp));
  RECT a, b;
  GetWindowRect(hA, &a);
  GetWindowRect(hB, &b);
  MapWindowPoints(nullptr, hParent, reinterpret_cast<POINT*>(&a), 2);
  MapWindowPoints(nullptr, hParent, reinterpret_cast<POINT*>(&b), 2);
  EXPECT_EQ(40, a.left);
  EXPECT_EQ(15, a.top);
  EXPECT_EQ(60, a.right - a.left);
  EXPECT_EQ(10, b.left);
  EXPECT_EQ(140, b.right - b.left);
  EXPECT_EQ(28, b.bottom - b.top);
  ASSERT_TRUE(Window_MoveBy(hB, -10, 0));
  ASSERT_TRUE(Window_SizeBy(hA, -20, 0));
  GetWindowRect(hB, &b);
  MapWindowPoints(nullptr, hParent, reinterpret_cast<POINT*>(&b), 2);
  GetWindowRect(hA, &a);
  EXPECT_EQ(0, b.left);
  EXPECT_EQ(40, a.right - a.left);

  char* text = Window_GetTextCopy(hB);
  ASSERT_NE(nullptr, text);
  EXPECT_STREQ("b", text);
  Mem_Free(text);
  DestroyWindow(hParent);
}

}  // namespace
