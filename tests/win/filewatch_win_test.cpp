// Another program changes or deletes the open document's file: the main window
// looks when it is activated again and before saving over the file, asks one
// question at a time, and puts off what it sees while a dialog of its own is up.
#include <gtest/gtest.h>

#include "app/filewatch.h"
#include "win/dialogscript.h"
#include "win/mainhost.h"

namespace {

// Dispatches messages until done() or ten seconds have passed.
template <typename Done>
bool PumpUntil(Done done) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > 10000) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    TestWin_PumpMessages();
  }
  return true;
}

// The window's looks at the file are over.
bool Settled(const MainHost& host) { return !host.app->fileWatch.bPosted && !host.app->fileWatch.bAsking; }

// The bytes reach path through another process (the command processor's copy),
// as an editor or a tool elsewhere on the desktop would write them.
::testing::AssertionResult WriteInAnotherProcess(const WinTestDir& dir, const std::string& path,
                                                 const std::string& bytes) {
  const std::string source = dir / "theirs.tmp";
  if (!WinTest_WriteFile(source, bytes)) return ::testing::AssertionFailure() << "cannot write " << source;
  std::string command = "cmd.exe /c copy /y /b \"" + source + "\" \"" + path + "\" >nul";
  STARTUPINFOA si = {};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi)) {
    return ::testing::AssertionFailure() << "cannot start " << command << ": " << GetLastError();
  }
  WaitForSingleObject(pi.hProcess, 30000);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  DeleteFileA(source.c_str());
  if (WinTest_ReadFile(path) != bytes) return ::testing::AssertionFailure() << path << " was not rewritten";
  return ::testing::AssertionSuccess();
}

// Another top-level window takes the activation, as another program's would.
struct OtherWindow {
  HWND hWnd = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0, 80, 40, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
  ~OtherWindow() { DestroyWindow(hWnd); }
  void Activate() const { SetActiveWindow(hWnd); }
};

void ActivateMain(const MainHost& host) {
  SetActiveWindow(host.hWnd);
  EXPECT_TRUE(PumpUntil([&] { return Settled(host); })) << "the look at the file never ended";
}

// Selects all of it.
std::string EditorText(HWND hEditor) {
  TextEditor_SelectAll(hEditor);
  std::string text(static_cast<size_t>(TextEditor_GetSelectedLength(hEditor)), '\0');
  TextEditor_GetSelectedText(hEditor, &text[0], static_cast<int32_t>(text.size()));
  return text;
}

std::string ReloadQuestion(const std::string& path) {
  return path + "\nは他のプログラムによって変更されました。再読み込みしますか？";
}

struct Opened {
  WinTestDir dir;
  std::string path = dir / "a.txt";
  MainHost host{dir};
  OtherWindow other;
  explicit Opened(const std::string& bytes) {
    EXPECT_TRUE(WinTest_WriteFile(path, bytes));
    EXPECT_TRUE(host.Create({path}));
    ActivateMain(host);
  }
};

TEST(FileWatch, AFileRewrittenWhileInactiveIsOfferedForReloadOnceOnActivation) {
  Opened o("one\r\ntwo\r\nthree\r\n");
  o.other.Activate();
  ASSERT_TRUE(WriteInAnotherProcess(o.dir, o.path, "ONE\r\nTWO\r\nTHREE\r\nFOUR\r\n"));
  {
    DialogScript script;
    script.Press(IDNO);
    ActivateMain(o.host);
    ASSERT_EQ(1u, script.seen.size());
    EXPECT_EQ(ReloadQuestion(o.path), script.seen[0].text);
  }
  EXPECT_EQ("one\r\ntwo\r\nthree\r\n", EditorText(o.host.Editor())) << "No keeps the text";
  EXPECT_EQ("ONE\r\nTWO\r\nTHREE\r\nFOUR\r\n", WinTest_ReadFile(o.path));
  {
    DialogScript script;  // any question now is one nobody planned for
    o.other.Activate();
    ActivateMain(o.host);
    SendMessageA(o.host.hWnd, WM_ACTIVATEAPP, TRUE, 0);
    EXPECT_TRUE(PumpUntil([&] { return Settled(o.host); }));
  }
  // Changed again: asked again; Yes reloads and keeps the caret's line.
  TextEditor_SetCaret(o.host.Editor(), POINT{1, 2}, true);
  o.other.Activate();
  ASSERT_TRUE(WriteInAnotherProcess(o.dir, o.path, "1\r\n2\r\n3\r\n4\r\n5\r\n"));
  {
    DialogScript script;
    script.Press(IDYES);
    ActivateMain(o.host);
    EXPECT_TRUE(script.AllAnswered());
  }
  EXPECT_EQ(2, TextEditor_GetCaret(o.host.Editor()).y);
  EXPECT_FALSE(TextEditor_GetModified(o.host.Editor()));
  EXPECT_EQ("1\r\n2\r\n3\r\n4\r\n5\r\n", EditorText(o.host.Editor()));
  EXPECT_EQ("1\r\n2\r\n3\r\n4\r\n5\r\n", WinTest_ReadFile(o.path));
}

TEST(FileWatch, ASaveOverAChangedFileAsksFirstAndWritesOnlyWhatTheUserChose) {
  Opened o("mine\r\n");
  o.host.Type("+");
  o.other.Activate();
  ASSERT_TRUE(WriteInAnotherProcess(o.dir, o.path, "theirs\r\n"));
  {
    DialogScript script;  // modified: the user is told, the text stays
    script.Press(IDOK);
    ActivateMain(o.host);
    ASSERT_EQ(1u, script.seen.size());
    EXPECT_EQ(0u, script.seen[0].text.find(o.path + "\nは他のプログラムによって変更されました。"));
  }
  {
    DialogScript script;
    script.Press(IDCANCEL);
    EXPECT_EQ(0, o.host.Command(IDM_SAVE));
    EXPECT_TRUE(script.AllAnswered());
  }
  EXPECT_EQ("theirs\r\n", WinTest_ReadFile(o.path)) << "cancel writes nothing";
  EXPECT_TRUE(TextEditor_GetModified(o.host.Editor()));
  {
    DialogScript script;  // another name: the changed file stays as it is
    script.Press(IDNO).ChooseFile(o.dir / "b.txt");
    EXPECT_EQ(1, o.host.Command(IDM_SAVE));
    EXPECT_TRUE(script.AllAnswered()) << script.Titles();
  }
  EXPECT_EQ("theirs\r\n", WinTest_ReadFile(o.path));
  EXPECT_EQ("+mine\r\n", WinTest_ReadFile(o.dir / "b.txt"));
  EXPECT_EQ(o.dir / "b.txt", std::string(o.host.app->szPath));
  o.host.Type("!");
  ASSERT_TRUE(WriteInAnotherProcess(o.dir, o.dir / "b.txt", "theirs again\r\n"));
  {
    DialogScript script;  // overwrite: the user's text
    script.Press(IDYES);
    EXPECT_EQ(1, o.host.Command(IDM_SAVE));
    EXPECT_TRUE(script.AllAnswered());
  }
  EXPECT_EQ("+!mine\r\n", WinTest_ReadFile(o.dir / "b.txt"));
}

TEST(FileWatch, AFileThatIsGoneIsNamedInTheTitleAndASaveWritesItAgain) {
  Opened o("kept\r\n");
  o.other.Activate();
  ASSERT_TRUE(DeleteFileA(o.path.c_str()));
  {
    DialogScript script;  // nothing is asked
    ActivateMain(o.host);
  }
  EXPECT_EQ("[a.txt] - " + o.path + kFileDeletedTitleNote, o.host.Title());
  EXPECT_EQ(1, o.host.Command(IDM_SAVE)) << "asking nothing";
  EXPECT_EQ("kept\r\n", WinTest_ReadFile(o.path));
  EXPECT_EQ("[a.txt] - " + o.path, o.host.Title());
}

TEST(FileWatch, AChangeSeenWhileADialogIsUpIsAskedAfterItOneQuestionAtATime) {
  Opened o("before\r\n");
  bool bPutOff = false;
  DialogScript script;
  script
      .Then([&](HWND hDlg) {
        // The go-to-line dialog is up when another program writes the file.
        EXPECT_TRUE(WriteInAnotherProcess(o.dir, o.path, "after\r\n"));
        SendMessageA(o.host.hWnd, WM_ACTIVATEAPP, TRUE, 0);
        PumpUntil([&] { return Settled(o.host); });
        bPutOff = o.host.app->fileWatch.bPending;
        PostMessageA(hDlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
      })
      .Then([&](HWND hBox) {
        // Activations under the question ask nothing more.
        SendMessageA(o.host.hWnd, WM_ACTIVATEAPP, TRUE, 0);
        TestWin_PumpMessages();
        PostMessageA(hBox, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED), 0);
      });
  o.host.Command(IDM_GOTOLINE);
  EXPECT_TRUE(PumpUntil([&] { return script.AllAnswered() && Settled(o.host); }));
  EXPECT_TRUE(bPutOff);
  ASSERT_EQ(2u, script.seen.size()) << script.Titles();
  EXPECT_EQ(ReloadQuestion(o.path), script.seen[1].text);
  EXPECT_EQ("after\r\n", EditorText(o.host.Editor()));
}

TEST(FileWatch, AChangeSeenWhileMinimizedIsAskedAboutOnceRestored) {
  Opened o("before\r\n");
  ShowWindow(o.host.hWnd, SW_MINIMIZE);
  ASSERT_TRUE(WriteInAnotherProcess(o.dir, o.path, "after\r\n"));
  DialogScript script;
  SendMessageA(o.host.hWnd, WM_ACTIVATEAPP, TRUE, 0);
  ASSERT_TRUE(PumpUntil([&] { return Settled(o.host); }));
  EXPECT_TRUE(script.seen.empty()) << "asked while minimized";
  script.Press(IDYES);
  ShowWindow(o.host.hWnd, SW_RESTORE);
  EXPECT_TRUE(PumpUntil([&] { return script.AllAnswered() && Settled(o.host); }));
  EXPECT_EQ("after\r\n", EditorText(o.host.Editor()));
}

}  // namespace
