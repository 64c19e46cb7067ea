// The settings file as the real main window reads and writes it through the
// Win32 profile functions: hand-edited values clamped, the older layout's keys
// gone after the first close, the window's place kept across restarts, and the
// settings moving to the user's folder when the program's cannot take them.
#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdlib>

#include "app/appdata_win.h"
#include "tools/debuglog.h"
#include "tools/toolsys_win.h"
#include "win/mainhost.h"
#include "win/dialogscript.h"

namespace {

// The INI text the program wrote, as code page 932 bytes.
std::string Ini(const WinTestDir& dir) { return WinTest_ReadFile(dir / "qwilpad.ini"); }

bool IniHasKey(const std::string& ini, const std::string& section, const std::string& key) {
  size_t at = ini.find("[" + section + "]\r\n");
  if (at == std::string::npos) return false;
  size_t end = ini.find("\r\n[", at + 1);
  std::string body = ini.substr(at, end == std::string::npos ? std::string::npos : end - at);
  return body.find("\r\n" + key + "=") != std::string::npos;
}

TEST(Settings, HandEditedFileIsClampedAndRewrittenInTheNewLayout) {
  WinTestDir dir;
  ASSERT_TRUE(WinTest_WriteFile(dir / "qwilpad.ini",
                                "[Qwil]\r\n"
                                "タブ幅=0\r\n"
                                "文字色=FF0000\r\n"
                                "ウィンドウのＸ座標=-1\r\n"
                                "ウィンドウのＹ座標=40\r\n"
                                "ウィンドウの横幅=500\r\n"
                                "ウィンドウの高さ=300\r\n"
                                "最大化表示=0\r\n"
                                "背景色=F00\r\n"
                                "フォント名=FixedSys\r\n"
                                "IK_TEXTEDITORREADONLY=1\r\n"));
  MainHost host(dir);
  ASSERT_TRUE(host.Create());
  EditorSettings settings;
  ASSERT_TRUE(TextEditor_GetSettings(host.Editor(), &settings));
  EXPECT_EQ(1, settings.nTab);
  EXPECT_EQ(RGB(255, 0, 0), settings.style.crText) << "red text";
  EXPECT_EQ(RGB(255, 255, 255), settings.style.crBack) << "F00 is no colour";
  EXPECT_EQ(kWindowUnset, host.app->x) << "a negative position lets the system place the window";
  EXPECT_TRUE(IsWindowVisible(host.hWnd));
  EXPECT_TRUE(TextEditor_GetReadOnly(host.Editor()));
  ASSERT_TRUE(host.Close());

  std::string ini = Ini(dir);
  const char* legacy[] = {"最大化表示", "常に手前に表示", "ウィンドウのＸ座標", "ウィンドウのＹ座標",
                          "ウィンドウの横幅", "ウィンドウの高さ", "文字色", "背景色", "選択文字色",
                          "選択背景色", "ファイル終端記号色", "空白色", "フォント名", "フォントサイズ",
                          "フォントの太さ", "斜体"};
  for (const char* key : legacy) EXPECT_FALSE(IniHasKey(ini, "Qwil", key)) << key << " is still in [Qwil]";
  for (const char* section : {"ウィンドウ", "テキストの配色", "テキストフォント", "検索ダイアログ", "日時の書式"}) {
    EXPECT_NE(std::string::npos, ini.find(std::string("[") + section + "]\r\n")) << section;
  }
  EXPECT_TRUE(WinTest_IniHas(ini, "テキストの配色", "文字色=FF0000"));
  EXPECT_TRUE(WinTest_IniHas(ini, "Qwil", "タブ幅=1"));
  EXPECT_TRUE(WinTest_IniHas(ini, "Qwil", "IK_TEXTEDITORREADONLY=1")) << "the read-only switch survives";
  EXPECT_TRUE(WinTest_IniHas(ini, "日時の書式", "0=\"%02H:%02M:%02S %04Y/%02m/%02d\""));
  EXPECT_TRUE(WinTest_IniHas(ini, "テキストフォント", "フォント名=\"FixedSys\""));
}

RECT NormalRect(HWND hWnd) {
  WINDOWPLACEMENT wp = {};
  wp.length = sizeof(wp);
  GetWindowPlacement(hWnd, &wp);
  return wp.rcNormalPosition;
}

TEST(Settings, WindowPlaceSizeAndStateSurviveARestart) {
  WinTestDir dir;
  {
    MainHost host(dir);
    ASSERT_TRUE(host.Create());
    SetWindowPos(host.hWnd, nullptr, 50, 60, 520, 410, SWP_NOZORDER);
    ShowWindow(host.StatusBar(), SW_HIDE);
    ASSERT_TRUE(host.Close());
  }
  std::string ini = Ini(dir);
  EXPECT_TRUE(WinTest_IniHas(ini, "ウィンドウ", "ウィンドウの横幅=520")) << ini;
  EXPECT_TRUE(WinTest_IniHas(ini, "Qwil", "ステータスバーの表示=0"));
  {
    MainHost host(dir);
    ASSERT_TRUE(host.Create());
    RECT rc = NormalRect(host.hWnd);
    EXPECT_EQ(50, rc.left);
    EXPECT_EQ(60, rc.top);
    EXPECT_EQ(520, rc.right - rc.left);
    EXPECT_EQ(410, rc.bottom - rc.top);
    EXPECT_FALSE(IsWindowVisible(host.StatusBar()));
    // The editor has the whole client area while the status bar is hidden.
    RECT client, editor;
    GetClientRect(host.hWnd, &client);
    GetWindowRect(host.Editor(), &editor);
    MapWindowPoints(nullptr, host.hWnd, reinterpret_cast<POINT*>(&editor), 2);
    EXPECT_EQ(client.bottom, editor.bottom);
    ShowWindow(host.hWnd, SW_MAXIMIZE);
    ASSERT_TRUE(host.Close());
  }
  EXPECT_TRUE(WinTest_IniHas(Ini(dir), "ウィンドウ", "最大化表示=1"));
  MainHost host(dir);
  ASSERT_TRUE(host.Create());
  EXPECT_TRUE(IsZoomed(host.hWnd)) << "the window opens maximized as it was closed";
  RECT rc = NormalRect(host.hWnd);
  EXPECT_EQ(520, rc.right - rc.left) << "with its normal size kept for the restore";
}

TEST(Settings, AWindowOffEveryMonitorIsPlacedByTheSystem) {
  WinTestDir dir;
  ASSERT_TRUE(WinTest_WriteFile(dir / "qwilpad.ini",
                                "[ウィンドウ]\r\nウィンドウのＸ座標=900000\r\nウィンドウのＹ座標=100\r\n"
                                "ウィンドウの横幅=400\r\nウィンドウの高さ=300\r\n"));
  MainHost host(dir);
  ASSERT_TRUE(host.Create());
  RECT rc;
  GetWindowRect(host.hWnd, &rc);
  EXPECT_NE(nullptr, MonitorFromRect(&rc, MONITOR_DEFAULTTONULL)) << "the window is off the screen at " << rc.left;
}

TEST(Settings, FrameAndOptionsAreReadAndWrittenBack) {
  WinTestDir dir;
  ASSERT_TRUE(WinTest_WriteFile(dir / "qwilpad.ini",
                                "[ウィンドウ]\r\nウィンドウ枠を立体的に表示=0\r\n"
                                "[Qwil]\r\n上書き確認=0\r\n拡張子自動補完機能=0\r\nデフォルトの文書名=メモ.txt\r\n"
                                "[検索ダイアログ]\r\n正規表現を使う=1\r\n"));
  MainHost host(dir);
  ASSERT_TRUE(host.Create());
  EXPECT_EQ(0, GetWindowLongPtrA(host.Editor(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  EXPECT_EQ("[メモ.txt] - ", host.Title());
  EXPECT_EQ(0x10u, GetFindMode(host.hWnd));
  char name[16];
  EXPECT_TRUE(GetDefaultDocumentName(host.hWnd, name, sizeof(name)));
  EXPECT_STREQ("メモ.txt", name);
  EXPECT_TRUE(GetDefaultDocumentName(host.hWnd, name, 4));
  EXPECT_STREQ("メ", name) << "cut between characters";
  EXPECT_FALSE(GetDefaultDocumentName(GetDesktopWindow(), name, sizeof(name)));
  ASSERT_TRUE(host.Close());
  std::string ini = Ini(dir);
  EXPECT_TRUE(WinTest_IniHas(ini, "ウィンドウ", "ウィンドウ枠を立体的に表示=0"));
  EXPECT_TRUE(WinTest_IniHas(ini, "Qwil", "上書き確認=0"));
  EXPECT_TRUE(WinTest_IniHas(ini, "Qwil", "拡張子自動補完機能=0"));
  EXPECT_TRUE(WinTest_IniHas(ini, "Qwil", "デフォルトの文書名=\"メモ.txt\""));
  EXPECT_TRUE(WinTest_IniHas(ini, "検索ダイアログ", "正規表現を使う=1"));
}

std::string Lower(std::string s) {
  for (char& c : s) c = ('A' <= c && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  return s;
}

// A folder in which no file can be made (see the document tests).
std::string UnwritableFolder() {
  const char* base = std::getenv("QWIL_MOUNT_DIR");
  if (base) {
    std::string dir = std::string("Z:") + base;
    for (char& c : dir) c = c == '/' ? '\\' : c;
    if (WinTest_ReadFile(dir + "\\status").compare(0, 5, "ready") == 0) return dir + "\\ro";
  }
  std::printf("no read-only mount: using Z:\\sys\\kernel\n");
  return "Z:\\sys\\kernel";
}

TEST(Settings, GoToTheUserFolderWhenTheProgramsFolderCannotTakeThem) {
  WinTestDir dir;
  std::string user = dir / "AppData\\Qwilpad";
  std::string unwritable = UnwritableFolder();
  ASSERT_FALSE(Folder_IsWritable(unwritable.c_str()));
  AppInfo* app = new AppInfo;
  AppInfo_SetDefaults(app);
  CreateDirectoryA((dir / "AppData").c_str(), nullptr);
  ASSERT_TRUE(AppData_LocateFilesFor(app, (unwritable + "\\Qwilpad.EXE").c_str(), user.c_str()));
  EXPECT_EQ(user + "\\qwilpad.ini", std::string(app->szSettingsPath));
  EXPECT_EQ(user + "\\qwilpad.key", std::string(app->szKeyFilePath));
  app->editorSettings.nTab = 3;
  EXPECT_TRUE(AppData_Save(app)) << "the user's folder is made for the first write";
  EXPECT_TRUE(WinTest_IniHas(WinTest_ReadFile(user + "\\qwilpad.ini"), "Qwil", "タブ幅=3"));

  // Next start from a folder that could be written: the settings found in the
  // user's folder are preferred, and read back.
  std::string program = dir / "prog";
  CreateDirectoryA(program.c_str(), nullptr);
  ASSERT_TRUE(AppData_LocateFilesFor(app, (program + "\\Qwilpad.exe").c_str(), user.c_str()));
  EXPECT_EQ(user + "\\qwilpad.ini", std::string(app->szSettingsPath));
  AppData_Load(app);
  EXPECT_EQ(3, app->editorSettings.nTab);
  KeyAssign_Free(&app->keys, &app->hAccel);

  // Without settings in the user's folder they live beside a writable program.
  WinTestDir::Remove(user);
  ASSERT_TRUE(AppData_LocateFilesFor(app, (program + "\\Qwilpad.exe").c_str(), user.c_str()));
  // Named after the program, the whole path in lower case.
  EXPECT_EQ(Lower(program + "\\qwilpad.ini"), std::string(app->szSettingsPath));
  EXPECT_EQ(Lower(program + "\\qwilpad.key"), std::string(app->szKeyFilePath));
  EXPECT_TRUE(WinTestDir::NamesIn(program).empty()) << "probing the folder leaves nothing behind";
  delete app;
}

std::string& LoggedText() {
  static std::string text;
  return text;
}

void CaptureLog(const char* format, va_list args) {
  char line[kDebugLogBufferSize];
  DebugLog_Format(line, sizeof(line), format, args);
  LoggedText() += line;
}

TEST(Settings, AWriteTheSystemRefusesIsLogged) {
  AppInfo* app = new AppInfo;
  AppInfo_SetDefaults(app);
  std::string path = UnwritableFolder() + "\\qwilpad.ini";
  std::strcpy(app->szSettingsPath, path.c_str());
  LoggedText().clear();
  DebugLogSink previous = DebugLog_SetSink(CaptureLog);
  EXPECT_FALSE(AppData_Save(app));
  DebugLog_SetSink(previous);
  EXPECT_NE(std::string::npos, LoggedText().find("cannot write [Qwil]")) << LoggedText();
  EXPECT_NE(std::string::npos, LoggedText().find(path)) << "the log names the file";
  EXPECT_FALSE(WinTest_Exists(path));
  delete app;
}

}  // namespace
