#include "app/apprun_win.h"

#include <commctrl.h>

#include "app/appdata_win.h"
#include "app/qwilwind_win.h"
#include "dialogs/keyassign_win.h"
#include "tools/debuglog.h"
#include "tools/memory.h"

namespace {

// Exit code 1 has several causes; the debug log names the one that ended this
// run, with the system's error code.
int StartFailed(const char* what) {
  DWORD dwError = GetLastError();
  DebugLog_Printf("%s(%d) : 起動できません: %s (エラー %lu) \r\n", __FILE__, __LINE__, what,
                  static_cast<unsigned long>(dwError));
  return 1;
}

// The record lives for the whole run; it is far too large for a stack frame
// that stays alive under every message handler.
AppInfo* NewAppInfo(HINSTANCE hInstance) {
  AppInfo* app = static_cast<AppInfo*>(Mem_Alloc(sizeof(AppInfo)));
  if (!app) return nullptr;
  AppInfo_SetDefaults(app);
  app->hInstance = hInstance;
  return app;
}

int RunWindow(AppInfo* app, int32_t argc, char** argv) {
  InitCommonControls();
  if (!MainWindow_RegisterClass(app->hInstance)) return StartFailed("ウィンドウ クラスを登録できませんでした。");
  HWND hWnd = App_CreateMainWindow(app);
  if (!hWnd) return StartFailed("メイン ウィンドウを作れませんでした。");
  MainWindow_Start(app, argc, argv);
  return MainWindow_RunMessageLoop(hWnd);
}

}  // namespace

// A window refused once, right after another instance has closed, is most often
// a passing shortage of the system's resources: one more try before giving up,
// and then the user hears why nothing appeared.
HWND App_CreateMainWindow(AppInfo* app) {
  HWND hWnd = MainWindow_Create(app);
  if (hWnd) return hWnd;
  StartFailed("メイン ウィンドウを作れませんでした。もう一度作ります。");
  hWnd = MainWindow_Create(app);
  if (hWnd) return hWnd;
  MessageBeep(MB_ICONERROR);
  MessageBoxA(nullptr, "Qwilpad のウィンドウを作れませんでした。もう一度起動してください。", "Qwilpad",
              MB_OK | MB_ICONERROR);
  return nullptr;
}

int App_Run(HINSTANCE hInstance, int32_t argc, char** argv) {
  AppInfo* app = NewAppInfo(hInstance);
  if (!app) return StartFailed("アプリケーションの記録に使うメモリーがありません。");
  AppData_LocateFiles(app);
  AppData_Load(app);
  int nExitCode = RunWindow(app, argc, argv);
  // The window frees the bindings when it goes; a window never made leaves them here.
  KeyAssign_Free(&app->keys, &app->hAccel);
  Mem_Free(app);
  return nExitCode;
}
