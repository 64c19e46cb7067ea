// The main window inside the test process: its class, title and menu bar, and
// that every way of closing it ends the message loop with exit code 0. The test
// program links the same resources as Qwilpad.exe, so menu 140 is the real one.
#include "app/qwilwind_win.h"

#include <gtest/gtest.h>

#include <fstream>

#include "editctrl/editctrl.h"
#include "res/resource.h"
#include "win/testwin.h"

namespace {

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    hInstance = GetModuleHandleA(nullptr);
    ASSERT_TRUE(MainWindow_RegisterClass(hInstance));
    hWnd = MainWindow_Create(hInstance, &main);
    ASSERT_NE(nullptr, hWnd);
  }

  void TearDown() override {
    if (IsWindow(hWnd)) DestroyWindow(hWnd);
    DropQuitMessage();
    MainWindow_UnregisterClass(hInstance);
  }

  // Takes the WM_QUIT that destroying the window posts; -1 when there is none.
  static int DropQuitMessage() {
    MSG msg;
    int nCode = -1;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) nCode = static_cast<int>(msg.wParam);
    }
    return nCode;
  }

  HINSTANCE hInstance = nullptr;
  MainWindow main = {};
  HWND hWnd = nullptr;
};

// Ends a message loop that would otherwise wait forever when a test fails.
void CALLBACK QuitWithCode99(HWND, UINT, UINT_PTR, DWORD) { PostQuitMessage(99); }

TEST_F(MainWindowTest, HasItsClassTitleAndFrame) {
  char text[64] = {};
  GetClassNameA(hWnd, text, sizeof(text));
  EXPECT_STREQ("Qwil", text);
  GetWindowTextA(hWnd, text, sizeof(text));
  EXPECT_STREQ("Qwilpad", text);

  LONG_PTR nStyle = GetWindowLongPtrA(hWnd, GWL_STYLE);
  EXPECT_EQ(WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
            nStyle & (WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN));
  EXPECT_EQ(nullptr, GetParent(hWnd));
  EXPECT_NE(0u, GetClassLongPtrA(hWnd, GCLP_HICON)) << "no large icon";
  EXPECT_NE(0u, GetClassLongPtrA(hWnd, GCLP_HICONSM)) << "no small icon";
  EXPECT_EQ(reinterpret_cast<ULONG_PTR>(GetStockObject(NULL_BRUSH)),
            GetClassLongPtrA(hWnd, GCLP_HBRBACKGROUND));
}

TEST_F(MainWindowTest, MenuBarHasTheEightPopups) {
  EXPECT_TRUE(TestWin_IsQwilMenuBar(GetMenu(hWnd)));

  HMENU hFile = GetSubMenu(GetMenu(hWnd), 0);
  char text[128] = {};
  ASSERT_GT(GetMenuStringA(hFile, IDM_EXIT, text, sizeof(text), MF_BYCOMMAND), 0)
      << "the File popup has no exit command";
  EXPECT_STREQ("ｱﾌﾟﾘｹｰｼｮﾝの終了(&X)\tAlt+F4", text);
}

TEST_F(MainWindowTest, RecordIsAttachedForTheWindowsLifetime) {
  EXPECT_EQ(&main, MainWindow_FromHandle(hWnd));
  EXPECT_EQ(hWnd, main.hWnd);
  EXPECT_TRUE(IsValidMainWindow(&main));
  EXPECT_EQ(nullptr, MainWindow_FromHandle(GetDesktopWindow()));

  DestroyWindow(hWnd);
  EXPECT_EQ(nullptr, main.hWnd);
  EXPECT_EQ(nullptr, MainWindow_FromHandle(hWnd));
  EXPECT_TRUE(IsValidMainWindow(&main));
  EXPECT_EQ(0, DropQuitMessage()) << "destroying the main window must end the loop with 0";
}

TEST_F(MainWindowTest, HostsTheEditorOverItsWholeClientArea) {
  HWND hEditor = GetDlgItem(hWnd, 101);
  ASSERT_NE(nullptr, hEditor);
  EXPECT_EQ(hEditor, main.hEditor);
  char name[64] = {};
  GetClassNameA(hEditor, name, sizeof(name));
  EXPECT_STREQ("TextEditorControl", name);
  EXPECT_NE(0, GetWindowLongPtrA(hEditor, GWL_STYLE) & WS_VISIBLE);
  SetWindowPos(hWnd, nullptr, 0, 0, 500, 400, SWP_NOZORDER | SWP_NOMOVE);
  RECT frame, child;
  GetClientRect(hWnd, &frame);
  GetWindowRect(hEditor, &child);
  MapWindowPoints(nullptr, hWnd, reinterpret_cast<POINT*>(&child), 2);
  EXPECT_EQ(0, child.left);
  EXPECT_EQ(0, child.top);
  EXPECT_EQ(frame.right, child.right) << "the editor follows the frame's size";
  EXPECT_EQ(frame.bottom, child.bottom);
  // The focus given to the frame goes on to the editor.
  ShowWindow(hWnd, SW_SHOW);
  SetFocus(hWnd);
  EXPECT_EQ(hEditor, GetFocus());
  ShowWindow(hWnd, SW_HIDE);
}

TEST_F(MainWindowTest, OpensAFileIntoTheEditor) {
  char dir[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, dir);
  std::string path = std::string(dir) + "qwil-main-open.txt";
  {
    std::ofstream out(path, std::ios::binary);
    out << "first\r\nsecond\r\nthird";
  }
  ASSERT_TRUE(MainWindow_OpenFile(&main, path.c_str()));
  EXPECT_EQ(3, TextEditor_GetLineCount(main.hEditor));
  EXPECT_EQ(20, TextEditor_GetTextLength(main.hEditor));
  EXPECT_FALSE(MainWindow_OpenFile(&main, (path + ".missing").c_str()));
  EXPECT_EQ(3, TextEditor_GetLineCount(main.hEditor)) << "a file that cannot be read keeps the document";
  DeleteFileA(path.c_str());
}

TEST_F(MainWindowTest, CloseAndExitCommandEndTheLoopWithZero) {
  struct Case {
    const char* pHow;
    UINT uMsg;
    WPARAM wParam;
  };
  const Case cases[] = {
      {"WM_CLOSE", WM_CLOSE, 0},
      {"exit command", WM_COMMAND, MAKEWPARAM(IDM_EXIT, 0)},
      {"exit from an accelerator", WM_COMMAND, MAKEWPARAM(IDM_EXIT, 1)},
  };
  for (const Case& c : cases) {
    if (!IsWindow(hWnd)) {
      main = MainWindow();
      hWnd = MainWindow_Create(hInstance, &main);
      ASSERT_NE(nullptr, hWnd);
    }
    UINT_PTR nTimer = SetTimer(nullptr, 0, 10000, QuitWithCode99);
    PostMessageA(hWnd, c.uMsg, c.wParam, 0);
    EXPECT_EQ(0, MainWindow_RunMessageLoop(hWnd)) << c.pHow;
    KillTimer(nullptr, nTimer);
    EXPECT_FALSE(IsWindow(hWnd)) << c.pHow;
    EXPECT_EQ(nullptr, main.hWnd) << c.pHow;
  }
}

TEST_F(MainWindowTest, UnknownCommandsLeaveTheWindowOpen) {
  SendMessageA(hWnd, WM_COMMAND, MAKEWPARAM(40001, 0), 0);
  SendMessageA(hWnd, WM_COMMAND, MAKEWPARAM(101, 0x300), 0);  // an editor notification
  EXPECT_TRUE(IsWindow(hWnd));
  EXPECT_EQ(-1, DropQuitMessage());
}

TEST_F(MainWindowTest, LoopTranslatesTheWindowsAccelerators) {
  ACCEL accel = {FVIRTKEY, VK_F12, IDM_EXIT};
  main.hAccel = CreateAcceleratorTableA(&accel, 1);
  ASSERT_NE(nullptr, main.hAccel);
  UINT_PTR nTimer = SetTimer(nullptr, 0, 10000, QuitWithCode99);
  PostMessageA(hWnd, WM_KEYDOWN, VK_F12, 1);
  EXPECT_EQ(0, MainWindow_RunMessageLoop(hWnd)) << "F12 did not reach the exit command";
  KillTimer(nullptr, nTimer);
  EXPECT_FALSE(IsWindow(hWnd));
  DestroyAcceleratorTable(main.hAccel);
}

TEST_F(MainWindowTest, LoopReturnsTheQuitCode) {
  PostQuitMessage(7);
  EXPECT_EQ(7, MainWindow_RunMessageLoop(hWnd));
  EXPECT_TRUE(IsWindow(hWnd));
}

TEST(MainWindow, RefusesToBeCreatedWithoutItsRecord) {
  HINSTANCE hInstance = GetModuleHandleA(nullptr);
  ASSERT_TRUE(MainWindow_RegisterClass(hInstance));
  ASSERT_TRUE(MainWindow_RegisterClass(hInstance)) << "registering twice must succeed";
  HWND hWnd = CreateWindowExA(0, kMainWindowClass, kMainWindowTitle, WS_OVERLAPPEDWINDOW, 0, 0,
                              100, 100, nullptr, nullptr, hInstance, nullptr);
  EXPECT_EQ(nullptr, hWnd);
  if (hWnd) DestroyWindow(hWnd);
  MainWindow_UnregisterClass(hInstance);
}

}  // namespace
