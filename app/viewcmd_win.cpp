#include "app/viewcmd_win.h"

#include "app/appdata_win.h"
#include "app/statusbar_win.h"
#include "app/viewcmd.h"
#include "dialogs/filedlg_win.h"
#include "editctrl/editctrl.h"
#include "tools/debuglog.h"
#include "tools/toolwind_win.h"

namespace {


bool IsTopmost(HWND hWnd) { return (GetWindowLongPtrA(hWnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

WindowModes ModesOf(const AppInfo* app) {
  WindowModes modes;
  modes.bAlwaysOnTop = app->bAlwaysOnTop != 0;
  modes.bAlwaysAtBack = app->bAlwaysAtBack != 0;
  modes.bTopmost = IsTopmost(app->hWnd);
  return modes;
}

void ApplyModes(AppInfo* app, const WindowModes* modes, uint32_t actions) {
  app->bAlwaysOnTop = modes->bAlwaysOnTop ? 1 : 0;
  app->bAlwaysAtBack = modes->bAlwaysAtBack ? 1 : 0;
  HWND hWnd = app->hWnd;
  if (actions & WMACT_MAKE_NOT_TOPMOST) ViewCommand_SetTopmost(hWnd, false);
  if (actions & WMACT_MAKE_TOPMOST) ViewCommand_SetTopmost(hWnd, true);
  if (actions & WMACT_REDRAW) RedrawWindow(hWnd, nullptr, nullptr, RDW_FRAME | RDW_ALLCHILDREN | RDW_ERASE | RDW_INVALIDATE);
  if (actions & WMACT_BRING_TO_FRONT) {
    BringWindowToTop(hWnd);
    SetForegroundWindow(hWnd);
  }
}

// A maximized window that loses its frame keeps the rectangle that hid the
// frame's borders: full screen is the whole monitor, made so explicitly.
void CoverMonitor(HWND hWnd) {
  MONITORINFO mi = {};
  mi.cbSize = sizeof(mi);
  if (!GetMonitorInfoA(MonitorFromWindow(hWnd, MONITOR_DEFAULTTONEAREST), &mi)) return;
  const RECT& rc = mi.rcMonitor;
  SetWindowPos(hWnd, nullptr, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
               SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_FRAMECHANGED);
}

// Full-screen mode switched, the window's frame changed with it; true when it
// went into the mode.
bool SwitchFullScreen(HWND hWnd) {
  bool bEntering = false;
  uint32_t style = WindowMode_FullScreenStyle(static_cast<uint32_t>(GetWindowLongPtrA(hWnd, GWL_STYLE)), &bEntering);
  SetWindowLongPtrA(hWnd, GWL_STYLE, static_cast<LONG_PTR>(style));
  if (bEntering) ShowWindow(hWnd, SW_SHOWMAXIMIZED);
  Window_ApplyFrameChange(hWnd);
  return bEntering;
}

}  // namespace

LRESULT ViewCommand_StatusBar(AppInfo* app, WPARAM, LPARAM) {
  // The style bit, not IsWindowVisible: the answer must not depend on whether
  // the main window itself is shown yet.
  bool bShown = (GetWindowLongPtrA(app->hStatusBar, GWL_STYLE) & WS_VISIBLE) != 0;
  ShowWindow(app->hStatusBar, bShown ? SW_HIDE : SW_SHOWNA);
  StatusBar_LayoutWithEditor(app->hWnd, app->hStatusBar, app->hEditor);
  return 0;
}

LRESULT ViewCommand_Frame3D(AppInfo* app, WPARAM, LPARAM) {
  LONG_PTR exStyle = GetWindowLongPtrA(app->hEditor, GWL_EXSTYLE) ^ WS_EX_CLIENTEDGE;
  SetWindowLongPtrA(app->hEditor, GWL_EXSTYLE, exStyle);
  Window_ApplyFrameChange(app->hEditor);
  return 0;
}

LRESULT ViewCommand_Toggle(AppInfo* app, WPARAM wParam, LPARAM) {
  int32_t id = LOWORD(wParam);
  EditorSettings settings;
  switch (ViewCommand_Kind(id)) {
    case VIEWTOGGLE_SETTINGS:
      if (!TextEditor_GetSettings(app->hEditor, &settings)) return 0;
      ViewCommand_Toggle(id, &settings);
      if (TextEditor_SetSettings(app->hEditor, &settings)) app->editorSettings = settings;
      return 0;
    case VIEWTOGGLE_STYLE:
      // The marks belong to the process-wide style, which every editor shares.
      TextEditor_GetViewStyle(&settings.style);
      ViewCommand_Toggle(id, &settings);
      if (TextEditor_SetViewStyle(&settings.style, app->hEditor, true)) app->editorSettings.style = settings.style;
      return 0;
    case VIEWTOGGLE_NONE: return 0;
  }
  return 0;
}

void ViewCommand_SetTopmost(HWND hWnd, bool bTopmost) {
  SetWindowPos(hWnd, bTopmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, kQuietZOrderFlags);
}

bool ViewCommand_IsFullScreen(HWND hWnd) {
  return WindowMode_IsFullScreen(static_cast<uint32_t>(GetWindowLongPtrA(hWnd, GWL_STYLE)));
}

void ViewCommand_LeaveFullScreen(HWND hWnd) {
  if (ViewCommand_IsFullScreen(hWnd)) SwitchFullScreen(hWnd);
}

LRESULT ViewCommand_FullScreen(AppInfo* app, WPARAM, LPARAM) {
  if (SwitchFullScreen(app->hWnd)) CoverMonitor(app->hWnd);
  return 0;
}

LRESULT ViewCommand_AlwaysOnTop(AppInfo* app, WPARAM, LPARAM) {
  WindowModes modes = ModesOf(app);
  uint32_t actions = WindowMode_ToggleOnTop(&modes);
  ApplyModes(app, &modes, actions);
  return 0;
}

LRESULT ViewCommand_AlwaysAtBack(AppInfo* app, WPARAM, LPARAM) {
  WindowModes modes = ModesOf(app);
  uint32_t actions = WindowMode_ToggleAtBack(&modes);
  ApplyModes(app, &modes, actions);
  return 0;
}

LRESULT ViewCommand_Minimize(AppInfo* app, WPARAM, LPARAM) {
  ShowWindow(app->hWnd, SW_MINIMIZE);
  return 0;
}

LRESULT ViewCommand_Maximize(AppInfo* app, WPARAM, LPARAM) {
  ShowWindow(app->hWnd, SW_SHOWMAXIMIZED);
  return 0;
}

LRESULT ViewCommand_Restore(AppInfo* app, WPARAM, LPARAM) {
  ShowWindow(app->hWnd, SW_RESTORE);
  return 0;
}

void ViewCommand_KeepAtBack(AppInfo* app, WINDOWPOS* pos) {
  WindowModes modes = ModesOf(app);
  if (!WindowMode_KeepsAtBack(&modes)) return;
  if (modes.bTopmost) ViewCommand_SetTopmost(app->hWnd, false);
  pos->hwndInsertAfter = HWND_BOTTOM;
}

LRESULT ViewCommand_Font(AppInfo* app, WPARAM, LPARAM) {
  ViewStyle style;
  TextEditor_GetViewStyle(&style);
  LOGFONTA lf = style.lfFont;
  int32_t nPointSize = app->nPrintPointSize;
  if (!ChooseDisplayFont(app->hWnd, &lf, &nPointSize)) return 0;
  app->nPrintPointSize = nPointSize;
  if (TextEditor_SetFont(app->hEditor, &lf)) app->editorSettings.style.lfFont = lf;
  if (!AppData_Save(app)) QWIL_LOG("the settings file could not be written");
  return 1;
}
