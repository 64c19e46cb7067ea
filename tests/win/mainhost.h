// The real main window inside the test process, on a settings file and a key
// file of the test's own folder, with helpers to read files back as bytes.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "tools/platform.h"

#include <commctrl.h>

#include "app/appdata_win.h"
#include "app/qwilwind_win.h"
#include "app/statustext.h"
#include "dialogs/keyassign_win.h"
#include "editctrl/editctrl.h"
#include "res/resource.h"
#include "tools/platform.h"
#include "win/testwin.h"

// Whole files as bytes, through the Win32 file API.
inline bool WinTest_WriteFile(const std::string& path, const std::string& bytes) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  BOOL ok = bytes.empty() || WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(h);
  return ok && written == bytes.size();
}

inline std::string WinTest_ReadFile(const std::string& path) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                         nullptr);
  if (h == INVALID_HANDLE_VALUE) return "<missing>";
  std::string bytes;
  char chunk[65536];
  DWORD n = 0;
  while (ReadFile(h, chunk, sizeof(chunk), &n, nullptr) && n > 0) bytes.append(chunk, n);
  CloseHandle(h);
  return bytes;
}

inline bool WinTest_Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The clipboard's CF_TEXT as the test reads it: the block up to its first zero
// byte; "<none>" when there is no text.
inline std::string WinTest_ClipboardText() {
  if (!OpenClipboard(nullptr)) return "<not open>";
  std::string text = "<none>";
  HGLOBAL h = GetClipboardData(CF_TEXT);
  const char* p = h ? static_cast<const char*>(GlobalLock(h)) : nullptr;
  if (p) {
    SIZE_T size = GlobalSize(h);
    const void* zero = std::memchr(p, '\0', size);
    text.assign(p, zero ? static_cast<const char*>(zero) - p : size);
    GlobalUnlock(h);
  }
  CloseClipboard();
  return text;
}

// A folder of the running test's own under the temporary folder, emptied at
// the start and removed at the end.
struct WinTestDir {
  std::string path;  // without a trailing backslash
  WinTestDir() {
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof(temp), temp);
    path = std::string(temp) + "qwil-" + info->test_suite_name() + "-" + info->name();
    Remove(path);
    CreateDirectoryA(path.c_str(), nullptr);
  }
  ~WinTestDir() { Remove(path); }
  std::string operator/(const std::string& name) const { return path + "\\" + name; }
  // The names in the folder, sorted.
  std::vector<std::string> Names() const { return NamesIn(path); }
  static std::vector<std::string> NamesIn(const std::string& path) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((path + "\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return names;
    do {
      if (std::strcmp(fd.cFileName, ".") != 0 && std::strcmp(fd.cFileName, "..") != 0) names.push_back(fd.cFileName);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    std::sort(names.begin(), names.end());
    return names;
  }
  // Removes the files of a folder whose names begin with prefix.
  static void RemoveMatching(const std::string& dir, const std::string& prefix) {
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "\\" + prefix + "*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return;
    do {
      DeleteFileA((dir + "\\" + fd.cFileName).c_str());
    } while (FindNextFileA(h, &fd));
    FindClose(h);
  }
  static void Remove(const std::string& dir) {
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
      do {
        std::string name = fd.cFileName;
        if (name == "." || name == "..") continue;
        std::string full = dir + "\\" + name;
        SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
          Remove(full);
        } else {
          DeleteFileA(full.c_str());
        }
      } while (FindNextFileA(h, &fd));
      FindClose(h);
    }
    RemoveDirectoryA(dir.c_str());
  }
};

// The editor's whole text, read through a selection of all; the caret is left
// at the start.
inline std::string WinTest_EditorText(HWND hEditor) {
  TextEditor_SelectAll(hEditor);
  std::string text(static_cast<size_t>(TextEditor_GetSelectedLength(hEditor)), '\0');
  TextEditor_GetSelectedText(hEditor, &text[0], static_cast<int32_t>(text.size()));
  TextEditor_SetCaret(hEditor, POINT{0, 0}, true);
  return text;
}

// The settings file's text as the program wrote it: code page 932 bytes.
inline bool WinTest_IniHas(const std::string& ini, const std::string& section, const std::string& line) {
  size_t at = ini.find("[" + section + "]\r\n");
  if (at == std::string::npos) return false;
  // The body ends after the CR LF of its last line.
  size_t end = ini.find("\r\n[", at + 1);
  std::string body = ini.substr(at, end == std::string::npos ? std::string::npos : end + 2 - at);
  return body.find("\r\n" + line + "\r\n") != std::string::npos;
}

// The main window on a settings file in dir ("qwilpad.ini") and a key file
// ("qwilpad.key"), both optional.
struct MainHost {
  AppInfo* app = nullptr;
  HWND hWnd = nullptr;
  std::string ini, key;
  HWND (*pfnCreateWindow)(AppInfo*) = MainWindow_Create;

  explicit MainHost(const WinTestDir& dir) : ini(dir / "qwilpad.ini"), key(dir / "qwilpad.key") {}
  ~MainHost() { Destroy(); }
  MainHost(const MainHost&) = delete;
  MainHost& operator=(const MainHost&) = delete;

  // Reads the settings and makes the window; with bStart the start-up
  // document (args[1]) is opened and the window shown.
  ::testing::AssertionResult Create(const std::vector<std::string>& args = {}, bool bStart = true) {
    HINSTANCE hInstance = GetModuleHandleA(nullptr);
    if (!MainWindow_RegisterClass(hInstance)) return ::testing::AssertionFailure() << "no class";
    app = new AppInfo;
    AppInfo_SetDefaults(app);
    app->hInstance = hInstance;
    std::strcpy(app->szSettingsPath, ini.c_str());
    std::strcpy(app->szKeyFilePath, key.c_str());
    AppData_Load(app);
    hWnd = pfnCreateWindow(app);
    if (!hWnd) return ::testing::AssertionFailure() << "no main window";
    if (bStart) {
      std::vector<char*> argv;
      std::string program = "Qwilpad.exe";
      argv.push_back(&program[0]);
      std::vector<std::string> copies = args;
      for (std::string& a : copies) argv.push_back(&a[0]);
      argv.push_back(nullptr);
      MainWindow_Start(app, static_cast<int32_t>(argv.size() - 1), argv.data());
    }
    return ::testing::AssertionSuccess();
  }

  HWND Editor() const { return app ? app->hEditor : nullptr; }
  HWND StatusBar() const { return app ? app->hStatusBar : nullptr; }

  std::string Title() const {
    char text[kTitleTextSize] = {};
    GetWindowTextA(hWnd, text, sizeof(text));
    return text;
  }
  std::string Status(int part) const {
    char text[512] = {};
    SendMessageA(StatusBar(), SB_GETTEXTA, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(text));
    return text;
  }
  void Type(const std::string& text) {
    for (unsigned char c : text) SendMessageA(Editor(), WM_CHAR, c, 1);
  }
  LRESULT Command(int id) { return SendMessageA(hWnd, WM_COMMAND, MAKEWPARAM(id, 0), 0); }
  bool Open() const { return IsWindow(hWnd) != FALSE; }

  // WM_CLOSE as the system sends it; true when the window went.
  bool Close() {
    SendMessageA(hWnd, WM_CLOSE, 0, 0);
    return !IsWindow(hWnd);
  }
  void Destroy() {
    if (hWnd && IsWindow(hWnd)) DestroyWindow(hWnd);
    hWnd = nullptr;
    if (app) KeyAssign_Free(&app->keys, &app->hAccel);
    delete app;
    app = nullptr;
    // The quit message a destroyed main window posts.
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message != WM_QUIT) DispatchMessageA(&msg);
    }
  }
};
