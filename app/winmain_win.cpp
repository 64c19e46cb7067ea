// The process entry of Qwilpad.exe: one main window and one message loop.
#include "app/apprun_win.h"
#include "app/cmdline.h"
#include "tools/debuglog.h"
#include "tools/fileio_win.h"
#include "tools/toolsys_win.h"

#include <commctrl.h>
#include <objbase.h>

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int) {
  // Before anything can load a library by its name.
  if (!Module_LoadLibrariesFromSystemOnly()) QWIL_LOG("ライブラリの検索先をシステム フォルダーに限れませんでした。");
  // Every file the core reads or writes goes through the Win32 file API.
  FileIo_SetMethods(FileWin_GetMethods());
  int32_t argc = 0;
  char** argv = CmdLine_Split(GetCommandLineA(), &argc);
  if (!argv) {
    QWIL_LOG("起動できません: コマンドラインを分けるメモリーがありません。");
    return 1;
  }
  CmdLine_Log(argc, argv);
  InitCommonControls();
  HRESULT hr = CoInitialize(nullptr);
  int nExitCode = App_Run(hInstance, argc, argv);
  if (SUCCEEDED(hr)) CoUninitialize();
  CmdLine_Free(argv);
  return nExitCode;
}
