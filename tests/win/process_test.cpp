// Qwilpad.exe as the user starts it: a process of its own whose main window
// appears with its title and menu bar and which ends with exit code 0 when closed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "res/resource.h"
#include "tools/toolsys_win.h"
#include "win/mainhost.h"
#include "win/testwin.h"

namespace {

struct Running {
  PROCESS_INFORMATION pi;
  HWND hWnd;
};

// A top-level window of the process and the class.
struct FindArgs {
  DWORD nProcessId;
  const char* pClass;
  HWND hFound;
};

BOOL CALLBACK FindWindowOf(HWND hWnd, LPARAM lParam) {
  FindArgs* pArgs = reinterpret_cast<FindArgs*>(lParam);
  DWORD nProcessId = 0;
  GetWindowThreadProcessId(hWnd, &nProcessId);
  char name[32] = {};
  GetClassNameA(hWnd, name, sizeof(name));
  if (nProcessId != pArgs->nProcessId || std::string(name) != pArgs->pClass) return TRUE;
  pArgs->hFound = hWnd;
  return FALSE;
}

// The visible main window of the process, waiting up to 30 s for it.
HWND WaitForMainWindow(const PROCESS_INFORMATION& pi) {
  WaitForInputIdle(pi.hProcess, 30000);
  for (int i = 0; i < 300; ++i) {
    FindArgs args = {pi.dwProcessId, "Qwil", nullptr};
    EnumWindows(FindWindowOf, reinterpret_cast<LPARAM>(&args));
    if (args.hFound && IsWindowVisible(args.hFound)) return args.hFound;
    if (WaitForSingleObject(pi.hProcess, 100) == WAIT_OBJECT_0) return nullptr;  // it died
  }
  return nullptr;
}

// Starts a copy of Qwilpad.exe in dir (its settings are then written there, not
// beside the build's) with the given arguments and waits for its main window.
::testing::AssertionResult Start(const WinTestDir& dir, const std::string& args, Running* pRun) {
  std::string exe = dir / "Qwilpad.exe";
  if (!WinTest_Exists(exe) && !CopyFileA(TestWin_ExePath().c_str(), exe.c_str(), TRUE)) {
    return ::testing::AssertionFailure() << "cannot copy the program: error " << GetLastError();
  }
  std::string cmdLine = "\"" + exe + "\"" + (args.empty() ? "" : " " + args);
  std::vector<char> buffer(cmdLine.begin(), cmdLine.end());
  buffer.push_back('\0');
  STARTUPINFOA si = {};
  si.cb = sizeof(si);
  *pRun = Running();
  if (!CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                      &pRun->pi)) {
    return ::testing::AssertionFailure() << "cannot start " << cmdLine << ": error "
                                         << GetLastError();
  }
  pRun->hWnd = WaitForMainWindow(pRun->pi);
  if (!pRun->hWnd) return ::testing::AssertionFailure() << "no main window of class Qwil appeared";
  return ::testing::AssertionSuccess();
}

// Waits for the process to end and gives its exit code; kills it after 30 s.
DWORD WaitForExit(Running* pRun) {
  DWORD nCode = STILL_ACTIVE;
  if (WaitForSingleObject(pRun->pi.hProcess, 30000) != WAIT_OBJECT_0) {
    TerminateProcess(pRun->pi.hProcess, 255);
    WaitForSingleObject(pRun->pi.hProcess, 5000);
  } else {
    GetExitCodeProcess(pRun->pi.hProcess, &nCode);
  }
  CloseHandle(pRun->pi.hThread);
  CloseHandle(pRun->pi.hProcess);
  return nCode;
}

TEST(QwilpadProcess, ShowsItsMainWindowAndExitsWithZeroOnClose) {
  WinTestDir dir;
  Running run;
  ASSERT_TRUE(Start(dir, "", &run));
  char text[64] = {};
  GetWindowTextA(run.hWnd, text, sizeof(text));
  EXPECT_STREQ("[無題.txt] - ", text);
  // Wine keeps a menu's items in the owning process, so only its presence can be
  // seen from here; the items are checked inside the test process and in the file.
  EXPECT_NE(nullptr, GetMenu(run.hWnd)) << "no menu bar";
  RECT rc = {};
  GetClientRect(run.hWnd, &rc);
  EXPECT_GT(rc.right, 0);
  EXPECT_GT(rc.bottom, 0);

  PostMessageA(run.hWnd, WM_CLOSE, 0, 0);
  EXPECT_EQ(0u, WaitForExit(&run));
  // The program's folder takes its settings, named after it.
  std::string ini = WinTest_ReadFile(dir / "qwilpad.ini");
  EXPECT_NE(std::string::npos, ini.find("[ウィンドウ]\r\n")) << ini;
}

TEST(QwilpadProcess, OpensTheFileOfItsCommandLine) {
  WinTestDir dir;
  ASSERT_TRUE(WinTest_WriteFile(dir / "a.txt", "text"));
  Running run;
  ASSERT_TRUE(Start(dir, "\"" + (dir / "a.txt") + "\" second.txt", &run));
  char text[MAX_PATH * 2] = {};
  GetWindowTextA(run.hWnd, text, sizeof(text));
  EXPECT_EQ("[a.txt] - " + (dir / "a.txt"), std::string(text));
  PostMessageA(run.hWnd, WM_CLOSE, 0, 0);
  EXPECT_EQ(0u, WaitForExit(&run));
}

TEST(QwilpadProcess, ExitCommandEndsTheProcessWithZero) {
  WinTestDir dir;
  Running run;
  ASSERT_TRUE(Start(dir, "", &run));
  PostMessageA(run.hWnd, WM_COMMAND, MAKEWPARAM(IDM_EXIT, 0), 0);
  EXPECT_EQ(0u, WaitForExit(&run));
}

// Every start opens a window of its own; closing one leaves the other running.
TEST(QwilpadProcess, TwoStartsGiveTwoIndependentWindows) {
  WinTestDir dir;
  Running first, second;
  ASSERT_TRUE(Start(dir, "", &first));
  ASSERT_TRUE(Start(dir, "missing-file.txt", &second));
  EXPECT_NE(first.hWnd, second.hWnd);

  PostMessageA(first.hWnd, WM_CLOSE, 0, 0);
  EXPECT_EQ(0u, WaitForExit(&first));
  EXPECT_TRUE(IsWindow(second.hWnd)) << "closing one window closed the other";
  PostMessageA(second.hWnd, WM_CLOSE, 0, 0);
  EXPECT_EQ(0u, WaitForExit(&second));
}

// ---- Libraries planted beside the program (tests/win/plantdll.cpp) ----

std::string PlantPath() {
  std::string exe = TestWin_ExePath();
  return exe.substr(0, exe.rfind('\\') + 1) + "qwilplant.dll";
}

// The About box asks the system folder for the free-resources library: one of
// that name in the downloads folder the program was started from never runs.
// (Wine always prefers its own copies of the libraries the program imports, so
// the import table itself is checked in the file, exefile_test.cpp.)
TEST(QwilpadProcess, ALibraryPlantedBesideTheProgramNeverRuns) {
  WinTestDir dir;
  ASSERT_TRUE(CopyFileA(PlantPath().c_str(), (dir / "rsrc32.dll").c_str(), FALSE)) << PlantPath();
  Running run;
  ASSERT_TRUE(Start(dir, "", &run));
  PostMessageA(run.hWnd, WM_COMMAND, MAKEWPARAM(IDM_ABOUT, 0), 0);
  FindArgs about = {run.pi.dwProcessId, "#32770", nullptr};
  for (int i = 0; i < 300 && !about.hFound; ++i) {
    Sleep(100);
    EnumWindows(FindWindowOf, reinterpret_cast<LPARAM>(&about));
  }
  EXPECT_NE(nullptr, about.hFound) << "no About box";
  if (about.hFound) PostMessageA(about.hFound, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  for (int i = 0; i < 100 && about.hFound && IsWindow(about.hFound); ++i) Sleep(100);
  PostMessageA(run.hWnd, WM_CLOSE, 0, 0);
  EXPECT_EQ(0u, WaitForExit(&run));
  EXPECT_FALSE(WinTest_Exists(dir / "planted-rsrc32.dll.txt")) << "the planted rsrc32.dll ran";
  // The plant does leave its mark when it is loaded.
  HMODULE hPlant = LoadLibraryA((dir / "rsrc32.dll").c_str());
  ASSERT_NE(nullptr, hPlant);
  FreeLibrary(hPlant);
  EXPECT_TRUE(WinTest_Exists(dir / "planted-rsrc32.dll.txt"));
}

// After the start-up's call a library named without a folder comes from the
// system folder alone; the program's folder, where the plant lies, is not searched.
TEST(QwilpadProcess, LibrariesNamedWithoutAFolderComeFromTheSystemFolderOnly) {
  HMODULE hPlant = LoadLibraryA("qwilplant.dll");
  ASSERT_NE(nullptr, hPlant) << "the plant beside the tests is not found by its name: the check below proves nothing";
  FreeLibrary(hPlant);
  ASSERT_TRUE(Module_LoadLibrariesFromSystemOnly());
  hPlant = LoadLibraryA("qwilplant.dll");
  EXPECT_EQ(nullptr, hPlant) << "found beside the program";
  if (hPlant) FreeLibrary(hPlant);
  HMODULE hSystem = LoadLibraryA("comdlg32.dll");
  EXPECT_NE(nullptr, hSystem);
  if (hSystem) FreeLibrary(hSystem);
  // The other tests load as before.
  SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
}

}  // namespace
