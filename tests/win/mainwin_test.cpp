// The main window inside the test process: its frame, its two children and their
// layout, the title and the status bar as the editor changes, the menus' states,
// the dispatch of commands and the message loop with the key file's keys.
#include <gtest/gtest.h>

#include "app/apprun_win.h"
#include "app/command.h"
#include "app/filehist_win.h"
#include "tools/history.h"
#include "win/mainhost.h"
#include "win/dialogscript.h"

namespace {

// Holds keys down (or toggles locks) in the thread's keyboard state, which is
// what GetKeyState reads, and lets them go again.
struct HeldKeys {
  BYTE saved[256];
  HeldKeys(std::initializer_list<int> down, std::initializer_list<int> toggled = {}) {
    GetKeyboardState(saved);
    BYTE state[256];
    std::memcpy(state, saved, sizeof(state));
    for (int vk : down) state[vk] |= 0x80;
    for (int vk : toggled) state[vk] |= 0x01;
    SetKeyboardState(state);
  }
  ~HeldKeys() { SetKeyboardState(saved); }
};

void Key(HWND hEditor, int vk) {
  SendMessageA(hEditor, WM_KEYDOWN, static_cast<WPARAM>(vk), 1);
  SendMessageA(hEditor, WM_KEYUP, static_cast<WPARAM>(vk), 0xC0000001);
}

RECT ChildRect(HWND hParent, HWND hChild) {
  RECT rc;
  GetWindowRect(hChild, &rc);
  MapWindowPoints(nullptr, hParent, reinterpret_cast<POINT*>(&rc), 2);
  return rc;
}

// Counts the title changes of a window.
struct TitleCounter {
  static int& Count() {
    static int n = 0;
    return n;
  }
  static WNDPROC& Original() {
    static WNDPROC p = nullptr;
    return p;
  }
  HWND hWnd;
  explicit TitleCounter(HWND h) : hWnd(h) {
    Count() = 0;
    Original() = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Proc)));
  }
  ~TitleCounter() {
    if (IsWindow(hWnd)) SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Original()));
  }
  static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_SETTEXT) ++Count();
    return CallWindowProcA(Original(), h, m, w, l);
  }
};

TEST(MainWindow, FrameHoldsTheStatusBarBelowTheEditor) {
  WinTestDir dir;
  MainHost host(dir);
  ASSERT_TRUE(host.Create());
  char text[64] = {};
  GetClassNameA(host.hWnd, text, sizeof(text));
  EXPECT_STREQ("Qwil", text);
  EXPECT_EQ(WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
            GetWindowLongPtrA(host.hWnd, GWL_STYLE) & (WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN));
  EXPECT_EQ(host.app, GetPropA(host.hWnd, "PROP_APPINFO"));
  EXPECT_EQ(host.app, MainWindow_GetAppInfo(host.hWnd));
  EXPECT_EQ(nullptr, MainWindow_GetAppInfo(GetDesktopWindow()));
  EXPECT_TRUE(TestWin_IsQwilMenuBar(GetMenu(host.hWnd)));

  HWND hStatus = GetDlgItem(host.hWnd, 100);
  HWND hEditor = GetDlgItem(host.hWnd, 101);
  ASSERT_NE(nullptr, hStatus);
  ASSERT_NE(nullptr, hEditor);
  GetClassNameA(hStatus, text, sizeof(text));
  EXPECT_STREQ("msctls_statusbar32", text);
  GetClassNameA(hEditor, text, sizeof(text));
  EXPECT_STREQ("TextEditorControl", text);
  EXPECT_NE(0, GetWindowLongPtrA(hEditor, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) << "the 3D frame is the default";
  EXPECT_NE(0, GetWindowLongPtrA(hEditor, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
  EXPECT_NE(nullptr, GetPropA(hStatus, "PROP_STATUSBARORIGINALPROC")) << "the status bar is subclassed";

  struct Size {
    int cx, cy;
  };
  // Parts 1 to 4 keep their widths in a window wide enough for them; in a
  // narrower one the first part keeps a quarter of the bar.
  int widths[4] = {};
  for (Size s : {Size{1500, 400}, Size{1800, 300}, Size{600, 400}, Size{300, 500}}) {
    SetWindowPos(host.hWnd, nullptr, 0, 0, s.cx, s.cy, SWP_NOZORDER | SWP_NOMOVE);
    RECT client, editor = ChildRect(host.hWnd, hEditor), status = ChildRect(host.hWnd, hStatus);
    GetClientRect(host.hWnd, &client);
    EXPECT_EQ(client.bottom, status.bottom) << s.cx << "x" << s.cy;
    EXPECT_EQ(client.right, status.right);
    EXPECT_EQ(0, editor.top);
    EXPECT_EQ(client.right, editor.right);
    EXPECT_EQ(status.top, editor.bottom) << "the editor ends where the status bar begins";
    int edges[6] = {};
    ASSERT_EQ(6, SendMessageA(hStatus, SB_GETPARTS, 6, reinterpret_cast<LPARAM>(edges)));
    const bool wide = s.cx >= 1500;
    EXPECT_GE(edges[0], wide ? 0 : client.right / 4 - 2) << s.cx << "x" << s.cy;
    for (int i = 1; i < 5; ++i) {
      EXPECT_GT(edges[i], edges[i - 1]);
      if (!wide) continue;
      if (widths[i - 1] == 0) widths[i - 1] = edges[i] - edges[i - 1];
      EXPECT_EQ(widths[i - 1], edges[i] - edges[i - 1]) << s.cx << "x" << s.cy << ", part " << i;
    }
    EXPECT_LT(edges[4], client.right) << "the last part keeps room beside the size grip";
    EXPECT_EQ(-1, edges[5]);
  }
  // Hiding the status bar gives its room to the editor at once.
  ShowWindow(hStatus, SW_HIDE);
  RECT client, editor = ChildRect(host.hWnd, hEditor);
  GetClientRect(host.hWnd, &client);
  EXPECT_EQ(client.bottom, editor.bottom);
  ShowWindow(hStatus, SW_SHOWNA);
  EXPECT_EQ(ChildRect(host.hWnd, hStatus).top, ChildRect(host.hWnd, hEditor).bottom);

  // The focus given to the frame goes on to the editor.
  SetFocus(host.hWnd);
  EXPECT_EQ(hEditor, GetFocus());
}

TEST(MainWindow, TitleShowsTheDocumentAndItsModifiedMarkAndChangesOnlyWhenItMust) {
  WinTestDir dir;
  MainHost host(dir);
  ASSERT_TRUE(host.Create());
  EXPECT_EQ("[無題.txt] - ", host.Title());
  TitleCounter counter(host.hWnd);
  host.Type("x");
  EXPECT_EQ("[無題.txt *] - ", host.Title());
  host.Type("yz");
  SendMessageA(host.Editor(), WM_KEYDOWN, VK_LEFT, 1);
  EXPECT_EQ(1, TitleCounter::Count()) << "the title was set again although it did not change";
  TextEditor_Undo(host.Editor());
  TextEditor_Undo(host.Editor());
  TextEditor_Undo(host.Editor());
  EXPECT_EQ("[無題.txt] - ", host.Title()) << "undoing every edit clears the mark";
}

TEST(MainWindow, StatusBarShowsTheSelectionTheCaretAndTheDocument) {
  WinTestDir dir;
  MainHost host(dir);
  ASSERT_TRUE(host.Create());
  host.Type("abcdef");
  TextEditor_SetCaret(host.Editor(), POINT{0, 0}, true);
  EXPECT_EQ("", host.Status(0));
  EXPECT_EQ(" 1 行, 1 列  'a' 【0061】", host.Status(2));
  EXPECT_EQ(" 1 行, 6 バイト", host.Status(1));
  {
    HeldKeys shift({VK_SHIFT});
    for (int i = 0; i < 3; ++i) Key(host.Editor(), VK_RIGHT);
  }
  EXPECT_EQ("選択中 3 ﾊﾞｲﾄ  (1, 1) - (1, 4)", host.Status(0));
  EXPECT_EQ(" 1 行, 4 列", host.Status(2)) << "no character while selecting";
  // A double-byte character under the caret, a tab, a line end.
  TextEditor_SetCaret(host.Editor(), POINT{6, 0}, true);
  host.Type("\x82\xa0\t\r");
  TextEditor_SetCaret(host.Editor(), POINT{6, 0}, true);
  EXPECT_EQ(" 1 行, 7 列  'あ' 【82A0】", host.Status(2));
  TextEditor_SetCaret(host.Editor(), POINT{8, 0}, true);
  EXPECT_EQ(" 1 行, 9 列  '\\t' 【0009】", host.Status(2));
  TextEditor_SetCaret(host.Editor(), POINT{9, 0}, true);
  EXPECT_EQ(" 1 行, 17 列", host.Status(2));
  EXPECT_EQ(" 2 行, 11 バイト", host.Status(1));
  // The locks are read at every key that reaches the editor.
  {
    HeldKeys locks({}, {VK_CAPITAL, VK_NUMLOCK});
    Key(host.Editor(), VK_CAPITAL);
    EXPECT_EQ("CAPS", host.Status(3));
    EXPECT_EQ("NUM", host.Status(4));
  }
  BYTE state[256];
  GetKeyboardState(state);
  state[VK_CAPITAL] = state[VK_NUMLOCK] = 0;
  SetKeyboardState(state);
  Key(host.Editor(), VK_NUMLOCK);
  EXPECT_EQ("", host.Status(3));
  EXPECT_EQ("", host.Status(4));
}

TEST(MainWindow, HighlightedMenuItemsShowTheirHelpText) {
  WinTestDir dir;
  MainHost host(dir);
  ASSERT_TRUE(host.Create());
  HMENU hFile = GetSubMenu(GetMenu(host.hWnd), 0);
  SendMessageA(host.hWnd, WM_MENUSELECT, MAKEWPARAM(IDM_OPEN, MF_HILITE), reinterpret_cast<LPARAM>(hFile));
  EXPECT_NE(0, SendMessageA(host.StatusBar(), SB_ISSIMPLE, 0, 0));
  // A simple status bar answers with its one text for every part.
  EXPECT_EQ("既存のﾌｧｲﾙから文書を読み込み、編集可能な状態にします。", host.Status(0));
  // The menu closed: the five parts are back.
  SendMessageA(host.hWnd, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
  EXPECT_EQ(0, SendMessageA(host.StatusBar(), SB_ISSIMPLE, 0, 0));
}

std::vector<std::string> ItemTexts(HMENU hMenu) {
  std::vector<std::string> texts;
  for (int i = 0; i < GetMenuItemCount(hMenu); ++i) {
    std::string t = TestWin_MenuString(hMenu, i);
    texts.push_back(t.empty() ? "-" : t);
  }
  return texts;
}

TEST(MainWindow, FilePopupIsRebuiltWithTheLoadHistory) {
  WinTestDir dir;
  MainHost host(dir);
  ASSERT_TRUE(host.Create());
  HMENU hFile = GetSubMenu(GetMenu(host.hWnd), 0);
  std::vector<std::string> expected = {
      "新規作成(&N)\tCtrl+N", "ﾌｧｲﾙを開く(&O)...\tCtrl+O", "上書き保存(&S)\tCtrl+S", "名前を付けて保存(&A)...",
      "Shift_JIS に変換して開き直す(&J)", "-", "印刷できるかも(&P)...\tCtrl+P", "ページ設定できるかも(&U)...", "-",
      "保存して終了(&E)\tF12", "ｱﾌﾟﾘｹｰｼｮﾝの終了(&X)\tAlt+F4"};
  EXPECT_EQ(expected, ItemTexts(hFile)) << "an empty history has no separator of its own";
  for (const char* name : {"a.txt", "b.txt", "c.txt"}) FileHistory_Add(host.app, (dir / name).c_str());
  std::vector<std::string> texts = ItemTexts(hFile);
  ASSERT_EQ(15u, texts.size());
  EXPECT_EQ("-", texts[8]);
  EXPECT_EQ(0u, texts[9].find("&0 ")) << texts[9];
  EXPECT_NE(std::string::npos, texts[9].find("c.txt"));
  EXPECT_EQ(0u, texts[10].find("&1 "));
  EXPECT_NE(std::string::npos, texts[10].find("b.txt"));
  EXPECT_EQ(0u, texts[11].find("&2 "));
  EXPECT_NE(std::string::npos, texts[11].find("a.txt"));
  EXPECT_EQ("-", texts[12]);
  EXPECT_EQ(static_cast<UINT>(36865), GetMenuItemID(hFile, 9));
  EXPECT_EQ(static_cast<UINT>(36867), GetMenuItemID(hFile, 11));
}

TEST(MainWindow, PopupItemsFollowTheEditorsState) {
  WinTestDir dir;
  MainHost host(dir);
  ASSERT_TRUE(host.Create());
  HMENU hBar = GetMenu(host.hWnd);
  HMENU hEdit = GetSubMenu(hBar, 1);
  auto state = [&](HMENU hPopup, UINT id) {
    SendMessageA(host.hWnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(hPopup), MAKELPARAM(0, FALSE));
    return GetMenuState(hPopup, id, MF_BYCOMMAND);
  };
  EXPECT_NE(0u, state(hEdit, IDM_UNDO) & MF_GRAYED);
  EXPECT_NE(0u, state(hEdit, IDM_COPY) & MF_GRAYED);
  EXPECT_EQ(0u, state(hEdit, IDM_SELECTALL) & MF_GRAYED);
  host.Type("ab");
  TextEditor_SelectAll(host.Editor());
  EXPECT_EQ(0u, state(hEdit, IDM_UNDO) & MF_GRAYED);
  EXPECT_EQ(0u, state(hEdit, IDM_COPY) & MF_GRAYED);
  EXPECT_EQ(0u, state(hEdit, IDM_UPPER) & MF_GRAYED);
  // Read-only: what would edit is grayed, New and Open among it.
  TextEditor_SetReadOnly(host.Editor(), true);
  EXPECT_NE(0u, state(hEdit, IDM_UNDO) & MF_GRAYED);
  EXPECT_NE(0u, state(hEdit, IDM_CUT) & MF_GRAYED);
  EXPECT_EQ(0u, state(hEdit, IDM_COPY) & MF_GRAYED);
  EXPECT_NE(0u, state(GetSubMenu(hBar, 0), IDM_NEW) & MF_GRAYED);
  EXPECT_NE(0u, state(GetSubMenu(hBar, 0), IDM_OPEN) & MF_GRAYED);
  EXPECT_EQ(0u, state(GetSubMenu(hBar, 0), IDM_SAVE) & MF_GRAYED);
  TextEditor_SetReadOnly(host.Editor(), false);
  // Check marks: the status bar and the frame are on by default.
  HMENU hView = GetSubMenu(hBar, 3);
  EXPECT_NE(0u, state(hView, IDM_STATUSBAR) & MF_CHECKED);
  EXPECT_NE(0u, state(hView, IDM_FRAME3D) & MF_CHECKED);
  EXPECT_EQ(0u, state(hView, IDM_WRAP) & MF_CHECKED);
  ShowWindow(host.StatusBar(), SW_HIDE);
  EXPECT_EQ(0u, state(hView, IDM_STATUSBAR) & MF_CHECKED);
  // Find next needs a search first.
  HMENU hSearch = GetSubMenu(hBar, 2);
  EXPECT_NE(0u, state(hSearch, IDM_FINDNEXT) & MF_GRAYED);
  std::strcpy(host.app->szLastSearch, "ab");
  EXPECT_EQ(0u, state(hSearch, IDM_FINDNEXT) & MF_GRAYED);
  // The Help popup keeps only About.
  HMENU hHelp = GetSubMenu(hBar, 7);
  EXPECT_GT(GetMenuItemCount(hHelp), 1);
  state(hHelp, IDM_ABOUT);
  EXPECT_EQ(1, GetMenuItemCount(hHelp));
  EXPECT_EQ("About(&A)", TestWin_MenuString(hHelp, 0));
  // The window menu: the system's own items are left as the system has them.
  HMENU hSystem = GetSystemMenu(host.hWnd, FALSE);
  UINT closeBefore = GetMenuState(hSystem, SC_CLOSE, MF_BYCOMMAND);
  SendMessageA(host.hWnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(hSystem), MAKELPARAM(0, TRUE));
  EXPECT_EQ(closeBefore, GetMenuState(hSystem, SC_CLOSE, MF_BYCOMMAND));
}

TEST(MainWindow, SystemMenuOffersTheWindowModesAfterMaximize) {
  WinTestDir dir;
  MainHost host(dir);
  ASSERT_TRUE(host.Create());
  HMENU hSystem = GetSystemMenu(host.hWnd, FALSE);
  int nMax = -1;
  for (int i = 0; i < GetMenuItemCount(hSystem); ++i) {
    if (GetMenuItemID(hSystem, i) == SC_MAXIMIZE) nMax = i;
  }
  ASSERT_GE(nMax, 0);
  EXPECT_EQ(static_cast<UINT>(IDM_TOPMOST), GetMenuItemID(hSystem, nMax + 1));
  EXPECT_EQ("常に手前に表示(&T)", TestWin_MenuString(hSystem, nMax + 1));
  EXPECT_EQ(static_cast<UINT>(IDM_ATBACK), GetMenuItemID(hSystem, nMax + 2));
  EXPECT_EQ("常に後ろに表示(&B)", TestWin_MenuString(hSystem, nMax + 2));
}

TEST(MainWindow, CaretCommandsMoveToTheEndsOfTheDocumentAndTheLine) {
  WinTestDir dir;
  MainHost host(dir);
  ASSERT_TRUE(host.Create());
  host.Type("first\rsecond line\rthird");
  TextEditor_SetSelection(host.Editor(), POINT{2, 1}, POINT{3, 1});
  struct Case {
    int id;
    POINT expected;
  };
  for (Case c : {Case{IDM_LINEEND, {11, 1}}, Case{IDM_LINESTART, {0, 1}}, Case{IDM_DOCEND, {5, 2}},
                 Case{IDM_DOCSTART, {0, 0}}}) {
    host.Command(c.id);
    POINT caret = TextEditor_GetCaret(host.Editor());
    EXPECT_EQ(c.expected.x, caret.x) << c.id;
    EXPECT_EQ(c.expected.y, caret.y) << c.id;
    EXPECT_FALSE(TextEditor_HasSelection(host.Editor())) << c.id;
  }
}

TEST(MainWindow, UnknownCommandsAndTheEditorsNoticesChangeNothing) {
  WinTestDir dir;
  MainHost host(dir);
  ASSERT_TRUE(host.Create());
  host.Type("abc");
  for (WPARAM w : {MAKEWPARAM(101, 0x300), MAKEWPARAM(40000, 0), MAKEWPARAM(IDM_NOTHING, 0),
                   MAKEWPARAM(36865 + 5, 0), MAKEWPARAM(32769, 0)}) {
    SendMessageA(host.hWnd, WM_COMMAND, w, 0);
  }
  EXPECT_TRUE(host.Open());
  EXPECT_EQ(3, TextEditor_GetTextLength(host.Editor()));
}

TEST(MainWindow, RestoringFromFullScreenBringsTheFrameBack) {
  WinTestDir dir;
  MainHost host(dir);
  ASSERT_TRUE(host.Create());
  LONG_PTR style = GetWindowLongPtrA(host.hWnd, GWL_STYLE);
  SetWindowLongPtrA(host.hWnd, GWL_STYLE, (style & 0xFF34FFFF) | WS_POPUP);
  SendMessageA(host.hWnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(400, 300));
  style = GetWindowLongPtrA(host.hWnd, GWL_STYLE);
  EXPECT_EQ(0, style & WS_POPUP);
  EXPECT_EQ(static_cast<LONG_PTR>(WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX),
            style & (WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
}

// A menu the window shows with TrackPopupMenuEx, read and closed from a timer.
std::vector<std::string>& ShownMenu() {
  static std::vector<std::string> texts;
  return texts;
}

void CALLBACK ReadAndCloseMenu(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  HWND hMenuWnd = FindWindowA("#32768", nullptr);
  HMENU hMenu = hMenuWnd ? reinterpret_cast<HMENU>(SendMessageA(hMenuWnd, MN_GETHMENU, 0, 0)) : nullptr;
  if (hMenu) ShownMenu() = ItemTexts(hMenu);
  EndMenu();
}

TEST(MainWindow, EditorsContextMenuIsTheRightClickPopup) {
  WinTestDir dir;
  MainHost host(dir);
  ASSERT_TRUE(host.Create());
  ShownMenu().clear();
  UINT_PTR timer = SetTimer(nullptr, 0, 200, ReadAndCloseMenu);
  SendMessageA(host.Editor(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(host.Editor()), MAKELPARAM(50, 50));
  KillTimer(nullptr, timer);
  std::vector<std::string> expected = {"元に戻す(&U)", "やり直し(&R)", "-", "切り取り(&T)", "ｺﾋﾟｰ(&C)", "貼り付け(&P)",
                                       "削除(&D)", "-", "すべて選択(&A)", "行選択(&N)", "単語選択(&W)", "-",
                                       "日本語入力(&I)", "-", "大文字と小文字を交換(&E)", "大文字に変換(&L)",
                                       "小文字に変換(&S)"};
  EXPECT_EQ(expected, ShownMenu());
}

// The key file's bindings reach the message loop through the accelerator table.
TEST(MainWindow, MessageLoopTranslatesTheKeyFilesBindings) {
  WinTestDir dir;
  // F2 (0x71) moves the caret to the end of the document (0x9ccf, a command the
  // name table does not know); Ctrl+A, built in as select all, does nothing now.
  ASSERT_TRUE(WinTest_WriteFile(dir / "qwilpad.key", "[キー割り当て]\r\n00000071=9ccf\r\n00000241=なし\r\n"));
  MainHost host(dir);
  ASSERT_TRUE(host.Create());
  EXPECT_EQ(2, host.app->keys.keyBindingCount);
  ASSERT_NE(nullptr, host.app->hAccel);
  host.Type("one\rtwo");
  TextEditor_SetCaret(host.Editor(), POINT{0, 0}, true);
  PostMessageA(host.Editor(), WM_KEYDOWN, VK_F2, 1);
  PostQuitMessage(5);
  EXPECT_EQ(5, MainWindow_RunMessageLoop(host.hWnd)) << "the loop ends with the quit code";
  POINT caret = TextEditor_GetCaret(host.Editor());
  EXPECT_EQ(1, caret.y) << "F2 did not reach the command of the key file";
  EXPECT_EQ(3, caret.x);
  {
    HeldKeys ctrl({VK_CONTROL});
    PostMessageA(host.Editor(), WM_KEYDOWN, 'A', 1);
    PostQuitMessage(0);
    MainWindow_RunMessageLoop(host.hWnd);
  }
  EXPECT_FALSE(TextEditor_HasSelection(host.Editor())) << "Ctrl+A was switched off by the key file";
  EXPECT_EQ(8, TextEditor_GetTextLength(host.Editor())) << "and typed nothing either";
}

TEST(MainWindow, ClosingEndsTheLoopWithZero) {
  WinTestDir dir;
  MainHost host(dir);
  ASSERT_TRUE(host.Create());
  host.Type("changed");
  DialogScript script;
  script.Press(IDNO);
  PostMessageA(host.hWnd, WM_COMMAND, MAKEWPARAM(IDM_EXIT, 0), 0);
  EXPECT_EQ(0, MainWindow_RunMessageLoop(host.hWnd));
  EXPECT_FALSE(host.Open());
  EXPECT_TRUE(script.AllAnswered());
}

// Refuses the next n status bars the thread tries to make, as a system short
// of resources refuses a window.
struct StatusBarRefusal {
  static int& Left() {
    static int n = 0;
    return n;
  }
  HHOOK hHook;
  explicit StatusBarRefusal(int n) {
    Left() = n;
    hHook = SetWindowsHookExA(WH_CBT, Hook, nullptr, GetCurrentThreadId());
  }
  ~StatusBarRefusal() { UnhookWindowsHookEx(hHook); }
  static LRESULT CALLBACK Hook(int nCode, WPARAM wParam, LPARAM lParam) {
    if (nCode == HCBT_CREATEWND && Left() > 0) {
      char cls[64] = {};
      GetClassNameA(reinterpret_cast<HWND>(wParam), cls, sizeof(cls));
      if (lstrcmpiA(cls, STATUSCLASSNAMEA) == 0) {
        --Left();
        return 1;
      }
    }
    return CallNextHookEx(nullptr, nCode, wParam, lParam);
  }
};

TEST(MainWindow, AWindowRefusedOnceIsMadeAgainWithItsKeysAndTwiceIsTold) {
  WinTestDir dir;
  ASSERT_TRUE(WinTest_WriteFile(dir / "qwilpad.key", "[キー割り当て]\r\n00000071=9ccf\r\n"));
  {
    MainHost host(dir);
    host.pfnCreateWindow = App_CreateMainWindow;
    StatusBarRefusal refusal(1);
    ASSERT_TRUE(host.Create());
    EXPECT_EQ(0, StatusBarRefusal::Left());
    EXPECT_EQ(host.app, MainWindow_GetAppInfo(host.hWnd));
    EXPECT_NE(nullptr, host.StatusBar());
    EXPECT_EQ(1, host.app->keys.keyBindingCount) << "the second window lost the key file's bindings";
    EXPECT_NE(nullptr, host.app->hAccel);
    DestroyWindow(host.hWnd);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
  }
  MainHost host(dir);
  host.pfnCreateWindow = App_CreateMainWindow;
  StatusBarRefusal refusal(2);
  DialogScript script;
  script.Press(IDOK);
  EXPECT_FALSE(host.Create());
  EXPECT_TRUE(script.AllAnswered());
  ASSERT_EQ(1u, script.seen.size());
  EXPECT_NE(std::string::npos, script.seen[0].text.find("ウィンドウを作れませんでした")) << script.seen[0].text;
  EXPECT_EQ(nullptr, host.app->hWnd);
  EXPECT_EQ(1, host.app->keys.keyBindingCount) << "the bindings stay for the caller to free";
}

}  // namespace
