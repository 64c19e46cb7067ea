// Long work in the real main window: the progress a load reports reaches the
// title and the status bar while the window keeps answering, Escape stops it
// and the old document stays exactly as it was, and a close asked meanwhile
// waits until the work is over.
#include <gtest/gtest.h>

#include "app/docfile_win.h"
#include "tools/busy_win.h"
#include "win/mainhost.h"

namespace {

// Every reading of the clock is a second after the last: work shows its
// progress from its first report, without waiting for the clock.
uint32_t g_now = 0;
uint32_t SecondPerReading() { return g_now += 1000; }

// A window whose message, posted before the work, is handled in the work's
// first report: what the main window shows then.
struct Seen {
  HWND hMain;
  std::string title, status;
  int nHandled;
};
Seen g_seen;

LRESULT CALLBACK WatcherProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  if (uMsg != WM_APP) return DefWindowProcA(hWnd, uMsg, wParam, lParam);
  char text[512] = {};
  GetWindowTextA(g_seen.hMain, text, sizeof(text));
  g_seen.title = text;
  HWND hBar = GetDlgItem(g_seen.hMain, 100);
  SendMessageA(hBar, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
  g_seen.status = text;
  ++g_seen.nHandled;
  return 0;
}

class BusyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    BusyPump_SetClock(SecondPerReading);
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = WatcherProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "QwilBusyWatcher";
    RegisterClassExA(&wc);
    hWatcher = CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    // Three slices of the loader's to read: three reports.
    std::string line = "長い文書の一行です。 0123456789 abcdefghij\r\n";
    std::string big;
    while (big.size() < (size_t(10) << 20)) big += line;
    ASSERT_TRUE(WinTest_WriteFile(dir / "big.txt", big));
    ASSERT_TRUE(WinTest_WriteFile(dir / "small.txt", "keep me\r\nline two"));
  }
  void TearDown() override {
    BusyPump_SetClock(nullptr);
    DestroyWindow(hWatcher);
    UnregisterClassA("QwilBusyWatcher", GetModuleHandleA(nullptr));
  }
  void WatchFirstReport(HWND hMain) {
    g_seen = Seen();
    g_seen.hMain = hMain;
    PostMessageA(hWatcher, WM_APP, 0, 0);
  }
  WinTestDir dir;
  HWND hWatcher = nullptr;
};

std::string Text(HWND hEditor) {
  TextEditor_SelectAll(hEditor);
  std::string text(static_cast<size_t>(TextEditor_GetSelectedLength(hEditor)), '\0');
  TextEditor_GetSelectedText(hEditor, &text[0], static_cast<int32_t>(text.size()));
  return text;
}

TEST_F(BusyTest, EscapeDuringALoadKeepsTheDocumentAsItWasAfterShowingItsProgress) {
  MainHost host(dir);
  ASSERT_TRUE(host.Create({dir / "small.txt"}));
  HWND hEditor = host.Editor();
  TextEditor_SetCaret(hEditor, POINT{4, 0}, true);
  host.Type("X");
  const std::string title = host.Title();
  const POINT caret = TextEditor_GetCaret(hEditor);
  ASSERT_EQ("[small.txt *]", title.substr(0, 13));

  WatchFirstReport(host.hWnd);
  PostMessageA(hEditor, WM_KEYDOWN, VK_ESCAPE, 1);
  EXPECT_FALSE(Document_Open(host.app, (dir / "big.txt").c_str()));
  ASSERT_EQ(1, g_seen.nHandled) << "the window did not answer during the load";
  EXPECT_NE(std::string::npos, g_seen.title.find("big.txt を開いています... ")) << g_seen.title;
  EXPECT_NE(std::string::npos, g_seen.status.find("% 完了  Esc で中止")) << g_seen.status;

  // Text, caret, modified flag, name and undo as they were; the title and the
  // status bar show the document again.
  EXPECT_EQ(title, host.Title());
  EXPECT_EQ("", host.Status(0));
  EXPECT_TRUE(TextEditor_GetModified(hEditor));
  EXPECT_EQ(caret.x, TextEditor_GetCaret(hEditor).x);
  EXPECT_EQ(caret.y, TextEditor_GetCaret(hEditor).y);
  EXPECT_EQ("keepX me\r\nline two", Text(hEditor));
  EXPECT_TRUE(TextEditor_Undo(hEditor));
  EXPECT_EQ("keep me\r\nline two", Text(hEditor));

  // Without Escape the same load runs to its end.
  WatchFirstReport(host.hWnd);
  EXPECT_TRUE(Document_Open(host.app, (dir / "big.txt").c_str()));
  EXPECT_EQ(1, g_seen.nHandled);
  EXPECT_EQ("[big.txt] - ", host.Title().substr(0, 12));
  // 44 bytes a line, and the empty line behind the last line end.
  EXPECT_EQ(((10 << 20) + 43) / 44 + 1, TextEditor_GetLineCount(hEditor));
}

TEST_F(BusyTest, ACloseAskedDuringALoadStopsItAndClosesTheWindowAfter) {
  MainHost host(dir);
  ASSERT_TRUE(host.Create({dir / "small.txt"}));
  PostMessageA(host.hWnd, WM_CLOSE, 0, 0);
  EXPECT_FALSE(Document_Open(host.app, (dir / "big.txt").c_str()));
  ASSERT_TRUE(host.Open()) << "the window closed in the middle of the load";
  EXPECT_EQ("[small.txt] - ", host.Title().substr(0, 14));
  // Keys and commands wait while work runs; after it the close comes again.
  MSG msg;
  for (int i = 0; i < 100 && host.Open() && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
    if (msg.message != WM_QUIT) DispatchMessageA(&msg);
  }
  EXPECT_FALSE(host.Open());
}

}  // namespace
