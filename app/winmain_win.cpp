// The process entry of Qwilpad.exe: one main window and one message loop.
#include "app/cmdline.h"
#include "app/qwilwind_win.h"
#include "tools/fileio_win.h"

#include <commctrl.h>
#include <objbase.h>

namespace {

// Exit code 1 when the window class or the window cannot be made; otherwise
// the message loop's result.
int RunApplication(HINSTANCE hInstance) {
  if (!MainWindow_RegisterClass(hInstance)) return 1;
  MainWindow main = {};
  HWND hWnd = MainWindow_Create(hInstance, &main);
  if (!hWnd) return 1;
  // Argument 1 is the file to open; a file that cannot be read leaves the
  // empty document.
  int32_t argc = 0;
  char** argv = CmdLine_Split(GetCommandLineA(), &argc);
  if (argv && argc > 1) MainWindow_OpenFile(&main, argv[1]);
  CmdLine_Free(argv);
  // The show command handed to the process is not used: the window opens as
  // it was last closed (normal until there are settings to say otherwise).
  ShowWindow(hWnd, SW_SHOWNORMAL);
  UpdateWindow(hWnd);
  return MainWindow_RunMessageLoop(hWnd);
}

}  // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int) {
  // Every file the core reads or writes goes through the Win32 file API.
  FileIo_SetMethods(FileWin_GetMethods());
  InitCommonControls();
  HRESULT hr = CoInitialize(nullptr);
  int nExitCode = RunApplication(hInstance);
  if (SUCCEEDED(hr)) CoUninitialize();
  return nExitCode;
}
