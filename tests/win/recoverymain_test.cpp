// Crash recovery in the main window: what a window that ended without saving
// left behind is offered at the next start and comes back as a modified
// document of its path; the files go with a save, No at the save question and
// a normal close; two running programs keep files of their own and never offer
// each other's. Programs are ended the hard way with TerminateProcess.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "recovery/recovery.h"
#include "recovery/recoveryread.h"
#include "recovery/recovery_win.h"
#include "app/docfile_win.h"
#include "editctrl/bodyfixture.h"
#include "tools/toolsys_win.h"
#include "win/dialogscript.h"
#include "win/mainhost.h"

namespace {

// Every main window of this test program keeps its recovery files under a
// %LOCALAPPDATA% of the run's own, so that nothing an earlier run left is
// offered to the windows of the other tests.
std::string& LocalFolder() {
  static std::string path;
  return path;
}

class LocalAppDataEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof(temp), temp);
    LocalFolder() = std::string(temp) + "qwil-local-" + std::to_string(GetCurrentProcessId());
    WinTestDir::Remove(LocalFolder());
    CreateDirectoryA(LocalFolder().c_str(), nullptr);
    SetEnvironmentVariableA("LOCALAPPDATA", LocalFolder().c_str());
  }
  void TearDown() override { WinTestDir::Remove(LocalFolder()); }
};
::testing::Environment* const kLocalAppData = ::testing::AddGlobalTestEnvironment(new LocalAppDataEnvironment);

std::string RecoveryFolder() { return LocalFolder() + "\\Qwilpad\\recovery"; }
std::vector<std::string> RecoveryFiles() { return WinTestDir::NamesIn(RecoveryFolder()); }
void ClearRecoveryFiles() { WinTestDir::RemoveMatching(RecoveryFolder(), "qwilpad-"); }

// No process has this id: its files are a window's that is gone.
constexpr uint32_t kGonePid = 0x7FFFFFF0;

struct StepClock {
  int64_t now = 5000000;
  static int64_t Read(void* context) { return static_cast<StepClock*>(context)->now; }
};

// What a window of a process that is gone left: the document at path (null:
// untitled; a path naming no file: an empty document of that name) with typed
// at its start, written by the writer as the program does.
void LeaveRecoveryFile(const char* path, const std::string& typed, uint64_t token = 1) {
  std::string folder = RecoveryFolder() + "\\";
  CreateDirectoryA((LocalFolder() + "\\Qwilpad").c_str(), nullptr);
  CreateDirectoryA(folder.c_str(), nullptr);
  StepClock clock;
  Body b;
  RecoveryWriter* w = Recovery_Create(folder.c_str(), kGonePid, token);
  ASSERT_NE(nullptr, w);
  Recovery_SetClock(w, StepClock::Read, &clock);
  const EditWatcher watcher = {Recovery_Observe, w};
  EditBody_AddWatcher(b.body, &watcher);
  if (path && File_IsFile(path)) {
    ASSERT_TRUE(EditBody_Load(b.body, path, nullptr));
  }
  Recovery_NoteDocument(w, b.body->text, path);
  b.Type(typed);
  clock.now += kRecoveryDelayMs + kRecoveryTickMs;
  RecoveryStep step = {};
  Recovery_Tick(w, b.body->text, b.body->ptCaret, EditBody_GetModified(b.body), &step);
  EXPECT_TRUE(step.bStepped && !step.bFailed);
  EditBody_RemoveWatcher(b.body, &watcher);
  Recovery_Destroy(w);
}

std::string EditorText(HWND hEditor) { return DocumentText(TextEditor_GetDocument(hEditor)); }

// The window's writer on a clock the test moves, so that a step is due at once.
struct WindowClock {
  StepClock clock;
  AppInfo* app;
  explicit WindowClock(AppInfo* a) : app(a) {
    if (app->pRecovery) Recovery_SetClock(app->pRecovery->pWriter, StepClock::Read, &clock);
  }
  // The timer's message, after the delay of an edit.
  void Elapse() {
    clock.now += kRecoveryDelayMs + kRecoveryTickMs;
    SendMessageA(app->hWnd, WM_TIMER, kRecoveryTimerId, 0);
  }
};

// ---- Qwilpad.exe in a process of its own ----

struct Program {
  PROCESS_INFORMATION pi = {};
  HWND hWnd = nullptr;
  HWND hEditor = nullptr;
  ~Program() { Kill(); }
  void Kill() {
    if (!pi.hProcess) return;
    TerminateProcess(pi.hProcess, 9);
    WaitForSingleObject(pi.hProcess, 10000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    pi = PROCESS_INFORMATION();
  }
  void Type(const std::string& bytes) {
    for (unsigned char c : bytes) SendMessageA(hEditor, WM_CHAR, c, 1);
  }
};

struct FindArgs {
  DWORD nProcessId;
  HWND hFound;
};

BOOL CALLBACK FindMainWindow(HWND hWnd, LPARAM lParam) {
  FindArgs* args = reinterpret_cast<FindArgs*>(lParam);
  DWORD pid = 0;
  GetWindowThreadProcessId(hWnd, &pid);
  char name[32] = {};
  GetClassNameA(hWnd, name, sizeof(name));
  if (pid != args->nProcessId || std::string(name) != "Qwil" || !IsWindowVisible(hWnd)) return TRUE;
  args->hFound = hWnd;
  return FALSE;
}

// A copy of the program in dir (its settings go there), started with args; it
// inherits this process's %LOCALAPPDATA%.
::testing::AssertionResult StartProgram(const WinTestDir& dir, const std::string& args, Program* run) {
  std::string exe = dir / "Qwilpad.exe";
  if (!WinTest_Exists(exe) && !CopyFileA(TestWin_ExePath().c_str(), exe.c_str(), TRUE)) {
    return ::testing::AssertionFailure() << "cannot copy the program: error " << GetLastError();
  }
  std::string line = "\"" + exe + "\"" + (args.empty() ? "" : " " + args);
  std::vector<char> buffer(line.begin(), line.end());
  buffer.push_back('\0');
  STARTUPINFOA si = {};
  si.cb = sizeof(si);
  if (!CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &run->pi)) {
    return ::testing::AssertionFailure() << "cannot start " << line << ": error " << GetLastError();
  }
  WaitForInputIdle(run->pi.hProcess, 30000);
  for (int i = 0; i < 300 && !run->hWnd; ++i) {
    FindArgs found = {run->pi.dwProcessId, nullptr};
    EnumWindows(FindMainWindow, reinterpret_cast<LPARAM>(&found));
    run->hWnd = found.hFound;
    if (!run->hWnd && WaitForSingleObject(run->pi.hProcess, 100) == WAIT_OBJECT_0) break;
  }
  if (!run->hWnd) return ::testing::AssertionFailure() << "no main window appeared";
  run->hEditor = GetDlgItem(run->hWnd, 101);
  return ::testing::AssertionSuccess();
}

// Waits (up to 20 s) until the recovery file of that process holds text.
::testing::AssertionResult WaitForRecoveryText(const Program& run, const std::string& text, std::string* pFile) {
  std::string got = "<no file>";
  for (int i = 0; i < 200; ++i) {
    for (const std::string& name : RecoveryFiles()) {
      uint32_t pid = 0;
      uint64_t token = 0;
      bool bNew = false;
      if (!RecoveryName_Parse(name.c_str(), &pid, &token, &bNew) || bNew || pid != run.pi.dwProcessId) continue;
      std::string path = RecoveryFolder() + "\\" + name;
      Body layout;
      const TextDataProperty prop = EditBody_LayoutProp(layout.body);
      RecoveredDocument doc;
      Recovery_Read(path.c_str(), &prop, nullptr, nullptr, &doc);
      if (doc.status == RECOVER_WHOLE) {
        got = DocumentText(doc.text);
        if (got == text) {
          *pFile = path;
          RecoveredDocument_Free(&doc);
          return ::testing::AssertionSuccess();
        }
      }
      RecoveredDocument_Free(&doc);
    }
    Sleep(100);
  }
  return ::testing::AssertionFailure() << "the recovery file holds [" << got << "], not [" << text << "]";
}

// ---- Tests ----

TEST(RecoveryWindow, TextOfAKilledProgramIsOfferedAndComesBackModifiedUnderItsPath) {
  ClearRecoveryFiles();
  WinTestDir dir;
  const std::string file = dir / "メモ.txt";
  ASSERT_TRUE(WinTest_WriteFile(file, "old\r\nline"));
  {
    Program run;
    ASSERT_TRUE(StartProgram(dir, "\"" + file + "\"", &run));
    run.Type("XY\r");
    std::string recovery;
    ASSERT_TRUE(WaitForRecoveryText(run, "XY\r\nold\r\nline", &recovery));
    run.Kill();
  }
  EXPECT_EQ("old\r\nline", WinTest_ReadFile(file)) << "the document file was touched";

  MainHost host(dir);
  DialogScript script;
  script.Press(IDYES);
  ASSERT_TRUE(host.Create());
  ASSERT_EQ(1u, script.seen.size()) << script.Titles();
  EXPECT_EQ("Qwilpad", script.seen[0].title);
  EXPECT_NE(std::string::npos, script.seen[0].text.find("保存されずに終了した文書があります。復元しますか？"))
      << script.seen[0].text;
  EXPECT_NE(std::string::npos, script.seen[0].text.find(file)) << script.seen[0].text;
  EXPECT_EQ("XY\r\nold\r\nline", EditorText(host.Editor()));
  EXPECT_TRUE(TextEditor_GetModified(host.Editor()));
  EXPECT_EQ(file, std::string(host.app->szPath));
  EXPECT_EQ("[メモ.txt *] - " + file, host.Title());
  const POINT caret = TextEditor_GetCaret(host.Editor());
  EXPECT_EQ(0, caret.x) << "the caret where the typing ended";
  EXPECT_EQ(1, caret.y) << "the caret where the typing ended";
  // The text is kept at once under this window's own name, nothing else left.
  std::vector<std::string> files = RecoveryFiles();
  ASSERT_EQ(1u, files.size());
  uint32_t pid = 0;
  uint64_t token = 0;
  bool bNew = true;
  ASSERT_TRUE(RecoveryName_Parse(files[0].c_str(), &pid, &token, &bNew));
  EXPECT_EQ(GetCurrentProcessId(), pid);
  EXPECT_FALSE(bNew);

  // Ctrl+S writes it where it belongs, and the recovery file goes.
  EXPECT_EQ(1, host.Command(IDM_SAVE));
  EXPECT_EQ("XY\r\nold\r\nline", WinTest_ReadFile(file));
  EXPECT_EQ("[メモ.txt] - " + file, host.Title());
  EXPECT_TRUE(RecoveryFiles().empty());
  EXPECT_TRUE(script.AllAnswered());
  EXPECT_EQ(0, script.nUnplanned);
}

TEST(RecoveryWindow, TwoRunningProgramsKeepTheirOwnFilesAndNeverOfferEachOthers) {
  ClearRecoveryFiles();
  WinTestDir dir;
  Program first, second;
  ASSERT_TRUE(StartProgram(dir, "", &first));
  ASSERT_TRUE(StartProgram(dir, "", &second));
  first.Type("first");
  second.Type("\x82\xa0\x82\xa2 second");  // あい
  std::string firstFile, secondFile;
  ASSERT_TRUE(WaitForRecoveryText(first, "first", &firstFile));
  ASSERT_TRUE(WaitForRecoveryText(second, "\x82\xa0\x82\xa2 second", &secondFile));
  EXPECT_NE(firstFile, secondFile);
  EXPECT_EQ(2u, RecoveryFiles().size());

  {
    // Both still run: a third window asks nothing and touches neither file.
    MainHost host(dir);
    DialogScript script;
    ASSERT_TRUE(host.Create());
    EXPECT_TRUE(script.seen.empty()) << script.Titles();
    EXPECT_EQ("", EditorText(host.Editor()));
    EXPECT_TRUE(WinTest_Exists(firstFile));
    EXPECT_TRUE(WinTest_Exists(secondFile));
  }

  // The second ends the hard way: only its untitled text is offered.
  second.Kill();
  MainHost host(dir);
  DialogScript script;
  script.Press(IDYES);
  ASSERT_TRUE(host.Create());
  ASSERT_EQ(1u, script.seen.size()) << script.Titles();
  EXPECT_NE(std::string::npos, script.seen[0].text.find("無題.txt")) << script.seen[0].text;
  EXPECT_EQ("\x82\xa0\x82\xa2 second", EditorText(host.Editor()));
  EXPECT_TRUE(TextEditor_GetModified(host.Editor()));
  EXPECT_EQ("", std::string(host.app->szPath));
  EXPECT_EQ("[無題.txt *] - ", host.Title());
  EXPECT_TRUE(WinTest_Exists(firstFile)) << "the running program's file was touched";
  EXPECT_FALSE(WinTest_Exists(secondFile));
  first.Kill();
}

TEST(RecoveryWindow, NoAtTheStartRemovesTheFileAndNothingIsAskedAgain) {
  ClearRecoveryFiles();
  WinTestDir dir;
  LeaveRecoveryFile(nullptr, "draft");
  ASSERT_EQ(1u, RecoveryFiles().size());
  {
    MainHost host(dir);
    DialogScript script;
    script.Press(IDNO);
    ASSERT_TRUE(host.Create());
    EXPECT_EQ(1u, script.seen.size()) << script.Titles();
    EXPECT_EQ("", EditorText(host.Editor()));
    EXPECT_FALSE(TextEditor_GetModified(host.Editor()));
    EXPECT_EQ("[無題.txt] - ", host.Title());
    EXPECT_TRUE(RecoveryFiles().empty());
  }
  MainHost host(dir);
  DialogScript script;
  ASSERT_TRUE(host.Create());
  EXPECT_TRUE(script.seen.empty()) << script.Titles();
}

TEST(RecoveryWindow, AFileChangedOnDiskSinceIsSaidAndLeftAlone) {
  ClearRecoveryFiles();
  WinTestDir dir;
  const std::string file = dir / "a.txt";
  ASSERT_TRUE(WinTest_WriteFile(file, "one"));
  LeaveRecoveryFile(file.c_str(), "mine ");
  ASSERT_TRUE(WinTest_WriteFile(file, "someone else's"));
  MainHost host(dir);
  DialogScript script;
  script.Press(IDYES);
  ASSERT_TRUE(host.Create());
  ASSERT_EQ(1u, script.seen.size()) << script.Titles();
  EXPECT_NE(std::string::npos, script.seen[0].text.find("変更されたか、削除されています")) << script.seen[0].text;
  EXPECT_EQ("mine one", EditorText(host.Editor()));
  EXPECT_TRUE(TextEditor_GetModified(host.Editor()));
  EXPECT_EQ(file, std::string(host.app->szPath));
  EXPECT_EQ("someone else's", WinTest_ReadFile(file));
}

// A document path that ends on a lone lead byte is named without it: the
// paragraph behind it (here: the file's end was damaged) starts on a line of
// its own instead of the byte taking its line end for a trail byte.
TEST(RecoveryWindow, APathEndingOnHalfACharacterIsNamedWithoutIt) {
  ClearRecoveryFiles();
  WinTestDir dir;
  const std::string path = dir / "a.txt\x81";
  LeaveRecoveryFile(path.c_str(), "kept");
  std::vector<std::string> files = RecoveryFiles();
  ASSERT_EQ(1u, files.size());
  const std::string file = RecoveryFolder() + "\\" + files[0];
  ASSERT_TRUE(WinTest_WriteFile(file, WinTest_ReadFile(file) + "\xFF\xFF\xFF"));
  MainHost host(dir);
  DialogScript script;
  script.Press(IDNO);
  ASSERT_TRUE(host.Create());
  ASSERT_EQ(1u, script.seen.size()) << script.Titles();
  const std::string named = path.substr(0, path.size() - 1) + "\r\n\r\n復元用のファイルの終わりが壊れていた";
  EXPECT_NE(std::string::npos, script.seen[0].text.find(named)) << script.seen[0].text;
  EXPECT_TRUE(RecoveryFiles().empty());
}

// A path longer than a path may be would have to be cut into another one: the
// text comes back untitled, and the question says so.
TEST(RecoveryWindow, APathTooLongComesBackUntitledAndTheQuestionSaysSo) {
  ClearRecoveryFiles();
  WinTestDir dir;
  const std::string path = dir / std::string(240, 'n') + ".txt";
  LeaveRecoveryFile(path.c_str(), "kept");
  MainHost host(dir);
  DialogScript script;
  script.Press(IDYES);
  ASSERT_TRUE(host.Create());
  ASSERT_EQ(1u, script.seen.size()) << script.Titles();
  EXPECT_NE(std::string::npos, script.seen[0].text.find(path + "\r\n\r\nこの文書のファイル名は長すぎるため"))
      << script.seen[0].text;
  EXPECT_EQ("kept", EditorText(host.Editor()));
  EXPECT_TRUE(TextEditor_GetModified(host.Editor()));
  EXPECT_EQ("[無題.txt *] - ", host.Title());
}

TEST(RecoveryWindow, ADamagedFileIsReportedNeverLoadedAndRemoved) {
  ClearRecoveryFiles();
  WinTestDir dir;
  LeaveRecoveryFile(nullptr, "a text long enough to be cut");
  std::vector<std::string> files = RecoveryFiles();
  ASSERT_EQ(1u, files.size());
  const std::string path = RecoveryFolder() + "\\" + files[0];
  std::string bytes = WinTest_ReadFile(path);
  ASSERT_GT(bytes.size(), 8u);
  bytes[bytes.size() / 3] ^= 0x55;
  ASSERT_TRUE(WinTest_WriteFile(path, bytes.substr(0, bytes.size() / 2)));

  MainHost host(dir);
  DialogScript script;
  script.Press(IDOK);
  ASSERT_TRUE(host.Create());
  ASSERT_EQ(1u, script.seen.size()) << script.Titles();
  EXPECT_NE(std::string::npos, script.seen[0].text.find("復元できません")) << script.seen[0].text;
  EXPECT_EQ("", EditorText(host.Editor()));
  EXPECT_FALSE(TextEditor_GetModified(host.Editor()));
  EXPECT_TRUE(RecoveryFiles().empty());
}

// The window's own file: written from the timer while modified, gone once the
// text is saved, thrown away, given up for another document or unmodified again.
TEST(RecoveryWindow, TheWindowsOwnFileComesWithEditsAndGoesWithEveryEndOfThem) {
  ClearRecoveryFiles();
  WinTestDir dir;
  MainHost host(dir);
  ASSERT_TRUE(host.Create());
  ASSERT_NE(nullptr, host.app->pRecovery);
  WindowClock clock(host.app);
  struct Case {
    const char* what;
    int command;     // what ends the edits (0: the editor's undo)
    int answer;      // to the save question, or 0
  } const kCases[] = {
      {"saved", IDM_SAVE, 0},
      {"a new document, No", IDM_NEW, IDNO},
      {"undone", 0, 0},
  };
  const std::string file = dir / "b.txt";
  ASSERT_TRUE(WinTest_WriteFile(file, "b"));
  ASSERT_TRUE(Document_Open(host.app, file.c_str()));
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    host.Type("z");
    EXPECT_TRUE(RecoveryFiles().empty()) << "written before the delay";
    clock.Elapse();
    ASSERT_EQ(1u, RecoveryFiles().size());
    DialogScript script;
    if (c.answer) script.Press(c.answer);
    if (c.command) {
      host.Command(c.command);
    } else {
      EXPECT_TRUE(TextEditor_Undo(host.Editor()));
    }
    clock.Elapse();
    EXPECT_TRUE(script.AllAnswered());
    EXPECT_FALSE(TextEditor_GetModified(host.Editor()));
    EXPECT_TRUE(RecoveryFiles().empty());
  }
  EXPECT_EQ("zb", WinTest_ReadFile(file));

  // No at the close's question: the file goes, and the next start asks nothing.
  host.Type("unsaved");
  clock.Elapse();
  ASSERT_EQ(1u, RecoveryFiles().size());
  {
    DialogScript script;
    script.Press(IDNO);
    EXPECT_TRUE(host.Close());
  }
  EXPECT_TRUE(RecoveryFiles().empty());
  host.Destroy();
  MainHost next(dir);
  DialogScript script;
  ASSERT_TRUE(next.Create());
  EXPECT_TRUE(script.seen.empty()) << script.Titles();
}

// %LOCALAPPDATA% first; when no file can be made there, a folder beside the
// settings file; with neither, no recovery at all (and no question).
TEST(RecoveryWindow, TheFolderFallsBackBesideTheSettings) {
  const char* base = std::getenv("QWIL_MOUNT_DIR");
  std::string unwritable = "Z:\\sys\\kernel";
  if (base) {
    unwritable = std::string("Z:") + base + "\\ro";
    for (char& c : unwritable) c = c == '/' ? '\\' : c;
  }
  ASSERT_FALSE(Folder_IsWritable(unwritable.c_str())) << unwritable;
  WinTestDir dir;
  const std::string settings = dir / "qwilpad.ini";
  char folder[kPathBufferSize] = {};
  ASSERT_TRUE(RecoveryWin_ChooseFolder(settings.c_str(), folder, sizeof(folder)));
  EXPECT_EQ(RecoveryFolder() + "\\", std::string(folder));

  SetEnvironmentVariableA("LOCALAPPDATA", unwritable.c_str());
  EXPECT_TRUE(RecoveryWin_ChooseFolder(settings.c_str(), folder, sizeof(folder)));
  EXPECT_EQ(dir / "recovery\\", std::string(folder));
  EXPECT_FALSE(RecoveryWin_ChooseFolder((unwritable + "\\qwilpad.ini").c_str(), folder, sizeof(folder)));
  EXPECT_STREQ("", folder);
  SetEnvironmentVariableA("LOCALAPPDATA", LocalFolder().c_str());
}

}  // namespace
