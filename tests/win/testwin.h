// Helpers shared by the Win32-layer tests (header only: every tests/win/*_test.cpp
// is its own translation unit of the one test program).
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "tools/platform.h"

// Qwilpad.exe as a Windows path: the build hands over its Unix path, and Wine
// maps the Unix root to drive Z:.
inline std::string TestWin_ExePath() {
  std::string path = QWIL_EXE_PATH;
  if (!path.empty() && path[0] == '/') path = "Z:" + path;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

// The popups of the menu bar, in order, as code page 932 bytes.
inline const char* const* TestWin_MenuBarTexts() {
  static const char* const kTexts[] = {"ﾌｧｲﾙ(&F)", "編集(&E)",   "検索(&S)",   "表示(&V)",
                                       "文字変換(&C)", "設定(&O)", "ｳｨﾝﾄﾞｳ(&W)", "ﾍﾙﾌﾟ(&H)"};
  return kTexts;
}
constexpr int kMenuBarCount = 8;

// A menu item's text by position ("" when there is none).
inline std::string TestWin_MenuString(HMENU hMenu, UINT nPos) {
  char text[256] = {};
  int n = GetMenuStringA(hMenu, nPos, text, sizeof(text), MF_BYPOSITION);
  return n > 0 ? std::string(text, n) : std::string();
}

// The menu bar holds exactly the eight popups, with their exact texts.
inline ::testing::AssertionResult TestWin_IsQwilMenuBar(HMENU hMenu) {
  if (!hMenu) return ::testing::AssertionFailure() << "no menu bar";
  int nCount = GetMenuItemCount(hMenu);
  if (nCount != kMenuBarCount) {
    return ::testing::AssertionFailure() << "menu bar has " << nCount << " items";
  }
  for (int i = 0; i < kMenuBarCount; ++i) {
    std::string text = TestWin_MenuString(hMenu, i);
    if (text != TestWin_MenuBarTexts()[i]) {
      return ::testing::AssertionFailure()
             << "popup " << i << " reads \"" << text << "\" (" << text.size() << " bytes)";
    }
    if (!GetSubMenu(hMenu, i)) return ::testing::AssertionFailure() << "item " << i << " is no popup";
  }
  return ::testing::AssertionSuccess();
}

// Dispatches this thread's waiting messages.
inline void TestWin_PumpMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}
