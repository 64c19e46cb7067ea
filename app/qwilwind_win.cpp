#include "app/qwilwind_win.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cstring>

#include "app/appbusy_win.h"
#include "app/appdata_win.h"
#include "app/apptheme_win.h"
#include "app/cliphist_win.h"
#include "app/command_win.h"
#include "app/docfile_win.h"
#include "app/encguard_win.h"
#include "app/filehist_win.h"
#include "app/filewatch_win.h"
#include "app/maindpi_win.h"
#include "app/printcmd_win.h"
#include "app/searchcmd_win.h"
#include "app/statusbar_win.h"
#include "app/viewcmd_win.h"
#include "dialogs/keyassign_win.h"
#include "dialogs/searchreq.h"
#include "editctrl/editctrl.h"
#include "recovery/recovery_win.h"
#include "res/resource.h"
#include "tools/debuglog.h"
#include "tools/toolbase.h"
#include "tools/toolsys_win.h"
#include "tools/toolwind_win.h"

const char kMainWindowClass[] = "Qwil";
const char kMainWindowTitle[] = "Qwilpad";
const char kPropAppInfo[] = "PROP_APPINFO";

namespace {

// The record is attached as the property and, for the handlers, which look it
// up on every message, also kept in GWLP_USERDATA: reading a property is a trip
// to the window server under Wine, reading the window's own data is not.
AppInfo* Find(HWND hWnd) {
  AppInfo* app = reinterpret_cast<AppInfo*>(GetWindowLongPtrA(hWnd, GWLP_USERDATA));
  QWIL_ASSERT(!app || app->hWnd == hWnd);
  return app;
}

HWND CreateEditor(AppInfo* app) {
  DWORD dwExStyle = app->bFrame3D ? WS_EX_CLIENTEDGE : 0;
  return TextEditor_Create(dwExStyle, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, app->hInstance, app->hWnd,
                           kEditorControlId, 640, 480, &app->editorSettings);
}

// The two window modes join the system menu right after its maximize item.
void AddSystemMenuItems(HWND hWnd) {
  HMENU hSystem = GetSystemMenu(hWnd, FALSE);
  if (!hSystem) return;
  int nAt = Menu_FindPosition(hSystem, SC_MAXIMIZE);
  if (nAt < 0) return;
  InsertMenuA(hSystem, nAt + 1, MF_BYPOSITION | MF_STRING, IDM_TOPMOST, "常に手前に表示(&T)");
  nAt = Menu_FindPosition(hSystem, IDM_TOPMOST);
  if (nAt >= 0) InsertMenuA(hSystem, nAt + 1, MF_BYPOSITION | MF_STRING, IDM_ATBACK, "常に後ろに表示(&B)");
}

void LogFailure(const char* what) {
  DebugLog_Printf("%s(%d) : %s (エラー %lu) \r\n", __FILE__, __LINE__, what, static_cast<unsigned long>(GetLastError()));
}

// Lets go of what the window was given, leaving the record as it was before the
// window was made: the key bindings stay, for a window made again.
void Detach(AppInfo* app) {
  RecoveryWin_Detach(app->pRecovery);
  app->pRecovery = nullptr;
  if (app->hEditor) ClipHistory_Destroy(app);
  FileHistory_Destroy(app);
  AppBusy_Destroy(app->pBusy);
  app->pBusy = nullptr;
  RemovePropA(app->hWnd, kPropAppInfo);
  SetWindowLongPtrA(app->hWnd, GWLP_USERDATA, 0);
  app->hWnd = app->hEditor = app->hStatusBar = nullptr;
}

// A child that cannot be made fails the main window's creation; the log says
// which. Not every system sends WM_DESTROY to a window whose WM_CREATE failed,
// so the window lets go of the record here, and the record can make another.
LRESULT CreateFailed(AppInfo* app, const char* what) {
  LogFailure(what);
  if (app->hStatusBar) DestroyWindow(app->hStatusBar);
  Detach(app);
  return -1;
}

LRESULT OnCreate(HWND hWnd, WPARAM, LPARAM lParam) {
  AppInfo* app = static_cast<AppInfo*>(reinterpret_cast<const CREATESTRUCTA*>(lParam)->lpCreateParams);
  if (!app || app->hWnd || !SetPropA(hWnd, kPropAppInfo, app)) return -1;
  SetWindowLongPtrA(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(app));
  app->hWnd = hWnd;
  app->pBusy = AppBusy_Create(hWnd);
  FileHistory_Create(app);
  app->hStatusBar = StatusBar_Create(hWnd, app->hInstance);
  if (!app->hStatusBar) return CreateFailed(app, "ステータス バーを作れませんでした。");
  AppTheme_Attach(app);
  app->hEditor = CreateEditor(app);
  if (!app->hEditor) return CreateFailed(app, "エディター コントロールを作れませんでした。");
  app->pRecovery = RecoveryWin_Attach(hWnd, app->hEditor, app->szSettingsPath);
  ClipHistory_Create(app);
  if (app->bImeOnAtStart) Ime_SetOpen(app->hEditor, true);
  AddSystemMenuItems(hWnd);
  ShowWindow(app->hStatusBar, app->bStatusBarVisible ? SW_SHOWNA : SW_HIDE);
  ViewCommand_SetTopmost(hWnd, app->bAlwaysOnTop != 0);
  return 0;
}

LRESULT OnDestroy(HWND hWnd, WPARAM, LPARAM) {
  AppInfo* app = Find(hWnd);
  if (!app) return 0;
  Detach(app);
  KeyAssign_Free(&app->keys, &app->hAccel);
  ShowCursor(TRUE);
  PostQuitMessage(0);
  return 0;
}

void Layout(const AppInfo* app) {
  if (app->hWnd && app->hEditor) StatusBar_LayoutWithEditor(app->hWnd, app->hStatusBar, app->hEditor);
}

LRESULT OnSize(HWND hWnd, WPARAM wParam, LPARAM lParam) {
  AppInfo* app = Find(hWnd);
  if (!app || wParam == SIZE_MINIMIZED || wParam == SIZE_MAXHIDE) {
    return DefWindowProcA(hWnd, WM_SIZE, wParam, lParam);
  }
  if (wParam == SIZE_RESTORED) ViewCommand_LeaveFullScreen(hWnd);
  Layout(app);
  FileWatchWin_LookIfPending(app);
  return 0;
}

// Back from another program, from minimized, or from one of the window's own
// dialogs: the document's file is looked at once the activation is over.
LRESULT OnActivateApp(HWND hWnd, WPARAM wParam, LPARAM) {
  AppInfo* app = Find(hWnd);
  if (app && wParam) FileWatchWin_Schedule(app);
  return 0;
}

LRESULT OnActivate(HWND hWnd, WPARAM wParam, LPARAM lParam) {
  AppInfo* app = Find(hWnd);
  if (app && LOWORD(wParam) != WA_INACTIVE) FileWatchWin_Schedule(app);
  return DefWindowProcA(hWnd, WM_ACTIVATE, wParam, lParam);
}

LRESULT OnFileWatchLook(HWND hWnd, WPARAM, LPARAM) {
  AppInfo* app = Find(hWnd);
  if (app) FileWatchWin_Look(app);
  return 0;
}

LRESULT OnSetFocus(HWND hWnd, WPARAM, LPARAM) {
  AppInfo* app = Find(hWnd);
  if (app && app->hEditor) SetFocus(app->hEditor);
  return 0;
}

// What the settings file keeps of the window, taken as it is now.
void CaptureWindowState(AppInfo* app) {
  HWND hWnd = app->hWnd;
  app->bMaximized = IsZoomed(hWnd) ? 1 : 0;
  app->bAlwaysOnTop = (GetWindowLongPtrA(hWnd, GWL_EXSTYLE) & WS_EX_TOPMOST) ? 1 : 0;
  if (app->bAlwaysOnTop) app->bAlwaysAtBack = 0;
  WINDOWPLACEMENT wp = {};
  wp.length = sizeof(wp);
  if (GetWindowPlacement(hWnd, &wp)) {
    app->x = wp.rcNormalPosition.left;
    app->y = wp.rcNormalPosition.top;
    app->nWidth = wp.rcNormalPosition.right - wp.rcNormalPosition.left;
    app->nHeight = wp.rcNormalPosition.bottom - wp.rcNormalPosition.top;
  }
  app->bStatusBarVisible = IsWindowVisible(app->hStatusBar) ? 1 : 0;
  app->bFrame3D = (GetWindowLongPtrA(app->hEditor, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) ? 1 : 0;
}

void StoreSettings(AppInfo* app) {
  CaptureWindowState(app);
  if (!AppData_Save(app)) QWIL_LOG("the settings file could not be written");
}

LRESULT OnClose(HWND hWnd, WPARAM, LPARAM) {
  AppInfo* app = Find(hWnd);
  if (!app) {
    DestroyWindow(hWnd);
    return 0;
  }
  // Long work ends first (a load or a search is stopped, a save finishes);
  // the close comes again then.
  if (AppBusy_HoldClose(app)) return 0;
  // The job reads the document until it is over or cancelled.
  if (PrintCommand_RefuseWhilePrinting()) return 0;
  if (!Document_AskToSave(app)) return 0;
  RecoveryWin_Discard(app->pRecovery);
  StoreSettings(app);
  DestroyWindow(hWnd);
  return 0;
}

LRESULT OnQueryEndSession(HWND hWnd, WPARAM, LPARAM) {
  AppInfo* app = Find(hWnd);
  if (!app) return TRUE;
  if (AppBusy_IsBusy(app) || PrintCommand_RefuseWhilePrinting()) return FALSE;
  if (!Document_AskToSave(app)) return FALSE;
  StoreSettings(app);
  return TRUE;
}

LRESULT OnWindowPosChanging(HWND hWnd, WPARAM, LPARAM lParam) {
  AppInfo* app = Find(hWnd);
  if (app) ViewCommand_KeepAtBack(app, reinterpret_cast<WINDOWPOS*>(lParam));
  return 0;
}

// Files dropped on the editor: the first one opened, after the save question.
// The editor finishes the drop handle once this returns, so the name is read
// here, while the handle is still good.
void OnDropFiles(AppInfo* app, HDROP hDrop) {
  if (AppBusy_IsBusy(app) || PrintCommand_RefuseWhilePrinting()) return;
  if (!Document_AskToSave(app)) return;
  UINT n = DragQueryFileA(hDrop, 0, nullptr, 0);
  if (n == 0) return;
  char path[kPathBufferSize];
  if (n > static_cast<UINT>(kPathMax)) {
    // The name is too long for any path buffer; show what fits of it.
    DragQueryFileA(hDrop, 0, path, sizeof(path));
    Document_ShowLoadError(app, path, LOADERR_PATH_TOO_LONG);
    return;
  }
  DragQueryFileA(hDrop, 0, path, sizeof(path));
  Document_Open(app, path);
  SetForegroundWindow(app->hWnd);
}

void OnContextMenu(AppInfo* app) {
  if (GetKeyState(VK_SHIFT) < 0) {
    ClipHistory_ShowAtCursor(app);
    return;
  }
  Menu_TrackPopupAtCursor(app->hInstance, IDM_CONTEXTMENU, IDM_CONTEXT_EDITOR, app->hWnd, TPM_RIGHTBUTTON);
}

LRESULT OnEditorNotify(AppInfo* app, const TextEditorNotify* nm) {
  switch (static_cast<int32_t>(nm->hdr.code)) {
    case TEN_DROPFILES: OnDropFiles(app, reinterpret_cast<HDROP>(nm->lValue1)); return 0;
    case TEN_CONTEXTMENU: OnContextMenu(app); return 0;
    case TEN_UPDATE:
      StatusBar_Refresh(app->hStatusBar, app->hEditor);
      Document_RefreshTitle(app);
      return 0;
    case TEN_KEYDOWN: StatusBar_Refresh(app->hStatusBar, app->hEditor); return 0;
    default: return DefWindowProcA(app->hWnd, WM_NOTIFY, static_cast<WPARAM>(nm->hdr.idFrom),
                                   reinterpret_cast<LPARAM>(nm));
  }
}

LRESULT OnNotify(HWND hWnd, WPARAM wParam, LPARAM lParam) {
  AppInfo* app = Find(hWnd);
  const NMHDR* hdr = reinterpret_cast<const NMHDR*>(lParam);
  if (app && hdr->idFrom == kEditorControlId && hdr->hwndFrom == app->hEditor) {
    return OnEditorNotify(app, reinterpret_cast<const TextEditorNotify*>(lParam));
  }
  if (app && hdr->idFrom == kStatusBarId && hdr->code == kStatusBarMovedCode) Layout(app);
  return DefWindowProcA(hWnd, WM_NOTIFY, wParam, lParam);
}

LRESULT OnCommand(HWND hWnd, WPARAM wParam, LPARAM lParam) {
  AppInfo* app = Find(hWnd);
  if (!app || !app->hEditor) return DefWindowProcA(hWnd, WM_COMMAND, wParam, lParam);
  // Commands wait for long work to end: it holds the document.
  if (AppBusy_IsBusy(app)) return 0;
  LRESULT result = Command_Dispatch(app, wParam, lParam);
  // A command may have closed the window; one that showed a dialog, printed
  // or ran long work may have put a look at the file off.
  if (Find(hWnd) == app) FileWatchWin_LookIfPending(app);
  return result;
}

// The two window modes of the system menu are commands like any other.
LRESULT OnSysCommand(HWND hWnd, WPARAM wParam, LPARAM lParam) {
  if (wParam != IDM_TOPMOST && wParam != IDM_ATBACK) return DefWindowProcA(hWnd, WM_SYSCOMMAND, wParam, lParam);
  return OnCommand(hWnd, wParam, 0);
}

LRESULT OnInitMenu(HWND, WPARAM, LPARAM) { return 0; }

LRESULT OnTimer(HWND hWnd, WPARAM wParam, LPARAM lParam) {
  AppInfo* app = Find(hWnd);
  if (app && wParam == kRecoveryTimerId) {
    RecoveryWin_OnTimer(app->pRecovery);
    return 0;
  }
  return DefWindowProcA(hWnd, WM_TIMER, wParam, lParam);
}

LRESULT OnDrawClipboard(HWND hWnd, WPARAM wParam, LPARAM lParam) {
  AppInfo* app = Find(hWnd);
  if (app) ClipHistory_OnDrawClipboard(app, wParam, lParam);
  return 0;
}

LRESULT OnChangeCbChain(HWND hWnd, WPARAM wParam, LPARAM lParam) {
  AppInfo* app = Find(hWnd);
  if (app) ClipHistory_OnChangeChain(app, wParam, lParam);
  return 0;
}

LRESULT OnInitMenuPopup(HWND hWnd, WPARAM wParam, LPARAM lParam) {
  AppInfo* app = Find(hWnd);
  if (app && app->hEditor) Command_InitMenuPopup(app, reinterpret_cast<HMENU>(wParam), HIWORD(lParam) != 0);
  return 0;
}

LRESULT OnMenuSelect(HWND hWnd, WPARAM wParam, LPARAM lParam) {
  AppInfo* app = Find(hWnd);
  if (!app || !app->hStatusBar) return 0;
  // No popup has a text of its own: the table of popups is empty.
  UINT popups[2] = {0, 0};
  MenuHelp(WM_MENUSELECT, wParam, lParam, GetMenu(hWnd), app->hInstance, app->hStatusBar, popups);
  return 0;
}

LRESULT OnSettingChange(HWND hWnd, WPARAM wParam, LPARAM lParam) {
  AppInfo* app = Find(hWnd);
  if (app) AppTheme_OnSettingChange(app, lParam);
  return DefWindowProcA(hWnd, WM_SETTINGCHANGE, wParam, lParam);
}

LRESULT OnDpiChanged(HWND hWnd, WPARAM wParam, LPARAM lParam) {
  AppInfo* app = Find(hWnd);
  return MainWindow_OnDpiChanged(hWnd, app ? app->hEditor : nullptr, app ? app->hStatusBar : nullptr, wParam, lParam);
}

// The find and replace dialogs' requests; anyone who can send the window a
// message may send one, so the request is checked before it is read.
typedef LRESULT (*SearchReceiver)(AppInfo* app, const SearchRequest* request);
LRESULT Receive(HWND hWnd, LPARAM lParam, SearchReceiver pfnReceive) {
  AppInfo* app = Find(hWnd);
  if (!app || AppBusy_IsBusy(app)) return 0;
  return pfnReceive(app, reinterpret_cast<const SearchRequest*>(lParam));
}
LRESULT OnFindNext(HWND hWnd, WPARAM, LPARAM lParam) { return Receive(hWnd, lParam, SearchRequest_FindNext); }
LRESULT OnFindPrev(HWND hWnd, WPARAM, LPARAM lParam) { return Receive(hWnd, lParam, SearchRequest_FindPrev); }
LRESULT OnReplace(HWND hWnd, WPARAM, LPARAM lParam) { return Receive(hWnd, lParam, SearchRequest_Replace); }
LRESULT OnReplaceAll(HWND hWnd, WPARAM, LPARAM lParam) { return Receive(hWnd, lParam, SearchRequest_ReplaceAll); }

constexpr MessageRow kMessageTable[] = {
    {WM_CREATE, OnCreate},
    {WM_DESTROY, OnDestroy},
    {WM_SIZE, OnSize},
    {WM_SETFOCUS, OnSetFocus},
    {WM_ACTIVATE, OnActivate},
    {WM_ACTIVATEAPP, OnActivateApp},
    {kFileWatchLookMsg, OnFileWatchLook},
    {WM_CLOSE, OnClose},
    {WM_QUERYENDSESSION, OnQueryEndSession},
    {WM_WINDOWPOSCHANGING, OnWindowPosChanging},
    {WM_NOTIFY, OnNotify},
    {WM_COMMAND, OnCommand},
    {WM_SYSCOMMAND, OnSysCommand},
    {WM_INITMENU, OnInitMenu},
    {WM_INITMENUPOPUP, OnInitMenuPopup},
    {WM_MENUSELECT, OnMenuSelect},
    {WM_TIMER, OnTimer},
    {WM_DRAWCLIPBOARD, OnDrawClipboard},
    {WM_CHANGECBCHAIN, OnChangeCbChain},
    {WM_DPICHANGED, OnDpiChanged},
    {WM_SETTINGCHANGE, OnSettingChange},
    {kSearchMsgFindNext, OnFindNext},
    {kSearchMsgFindPrev, OnFindPrev},
    {kSearchMsgReplace, OnReplace},
    {kSearchMsgReplaceAll, OnReplaceAll},
};

LRESULT CALLBACK MainWindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  return Window_Dispatch(kMessageTable, sizeof(kMessageTable) / sizeof(kMessageTable[0]), hWnd, uMsg, wParam,
                         lParam);
}

// The saved rectangle, unless it lies wholly off every monitor (a monitor that
// is gone, a hand-edited file): then the system places the window.
bool IsOnSomeMonitor(const RECT* rc) { return MonitorFromRect(rc, MONITOR_DEFAULTTONULL) != nullptr; }

void PlaceFromSettings(AppInfo* app) {
  if (!AppData_HasWindowRect(app)) return;
  WINDOWPLACEMENT wp = {};
  wp.length = sizeof(wp);
  GetWindowPlacement(app->hWnd, &wp);
  wp.flags = 0;
  wp.showCmd = app->bMaximized ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
  wp.rcNormalPosition = RECT{app->x, app->y, app->x + app->nWidth, app->y + app->nHeight};
  SetWindowPlacement(app->hWnd, &wp);
}

// Argument 1 opened when it names an existing file, under its shell name. A
// name longer than a path may be (which the file functions cannot even look
// up), or whose whole form is, is told rather than left for untitled.
bool OpenCommandLineFile(AppInfo* app, int32_t argc, char** argv) {
  if (argc < 2) return false;
  if (std::strlen(argv[1]) > static_cast<size_t>(kPathMax)) return Document_Open(app, argv[1]);
  if (!File_IsFile(argv[1])) return false;
  char shell[kPathBufferSize];
  if (!Path_GetDocumentForm(shell, kPathMax + 1, argv[1])) {
    Document_ShowLoadError(app, argv[1], LOADERR_PATH_TOO_LONG);
    return false;
  }
  return File_IsFile(shell) && Document_OpenAs(app, shell, BUSY_OPEN, true);
}

// A text that a window which ended without saving left behind, when the user
// takes it back, becomes the document, modified, under the path it kept.
void OfferRecoveredText(AppInfo* app) {
  char path[kPathBufferSize];
  // A restored text is typed text, Shift_JIS: it replaces a file read-only for its encoding.
  const bool bLifted = EncGuardWin_BeginLoad(app);
  const bool bRestored =
      RecoveryWin_OfferLeftovers(app->pRecovery, kMainWindowTitle, app->szDefaultDocumentName, path, sizeof(path));
  EncGuardWin_EndLoad(app, nullptr, bLifted, bRestored);
  if (!bRestored) return;
  std::strcpy(app->szPath, path);
  FileWatch_Start(&app->fileWatch, app->szPath);
  Document_RefreshTitle(app);
  StatusBar_Refresh(app->hStatusBar, app->hEditor);
}

}  // namespace

bool MainWindow_RegisterClass(HINSTANCE hInstance) {
  if (!TextEditor_RegisterClass(hInstance)) {
    LogFailure("エディター コントロールのクラスを登録できませんでした。");
    return false;
  }
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof(wc);
  if (GetClassInfoExA(hInstance, kMainWindowClass, &wc)) return true;
  if (Window_RegisterClass(hInstance, kMainWindowClass, MainWindowProc, 0, IDM_MAINMENU, NULL_BRUSH)) return true;
  LogFailure("メイン ウィンドウのクラスを登録できませんでした。");
  return false;
}

void MainWindow_UnregisterClass(HINSTANCE hInstance) { UnregisterClassA(kMainWindowClass, hInstance); }

HWND MainWindow_Create(AppInfo* app) {
  QWIL_ASSERT(app && !app->hWnd && app->hInstance);
  // A saved rectangle off every monitor is forgotten before the window is made.
  if (AppData_HasWindowRect(app)) {
    RECT rc = {app->x, app->y, app->x + app->nWidth, app->y + app->nHeight};
    if (!IsOnSomeMonitor(&rc)) app->x = app->y = kWindowUnset;
  }
  HWND hWnd = CreateWindowExA(0, kMainWindowClass, kMainWindowTitle, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, app->x,
                              app->y, app->nWidth, app->nHeight, nullptr, nullptr, app->hInstance, app);
  QWIL_ASSERT(!hWnd || (app->hWnd == hWnd && Find(hWnd) == app));
  return hWnd;
}

void MainWindow_Start(AppInfo* app, int32_t argc, char** argv) {
  // The window shows at once; a file named on the command line is loaded
  // after it, its progress in view.
  bool file = argc >= 2;
  if (!file) Document_Open(app, nullptr);
  PlaceFromSettings(app);
  ShowWindow(app->hWnd, app->bMaximized ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
  UpdateWindow(app->hWnd);
  if (file && !OpenCommandLineFile(app, argc, argv)) Document_Open(app, nullptr);
  OfferRecoveredText(app);
}

AppInfo* MainWindow_GetAppInfo(HWND hWnd) {
  if (!hWnd || !IsWindow(hWnd)) return nullptr;
  return Find(hWnd);
}

int MainWindow_RunMessageLoop(HWND hWnd) {
  MSG msg;
  for (;;) {
    BOOL bGot = GetMessageA(&msg, nullptr, 0, 0);
    if (bGot == 0) return static_cast<int>(msg.wParam);
    // A broken queue keeps failing: looping on it would hang the process.
    if (bGot == -1) {
      QWIL_LOG("メッセージ キューが壊れたため終了します。");
      return 1;
    }
    // The record is gone once the window is destroyed, and the table with it;
    // a table replaced by the key assignment is in force from the next message.
    AppInfo* app = MainWindow_GetAppInfo(hWnd);
    if (app && app->hAccel && TranslateAcceleratorA(hWnd, app->hAccel, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

uint32_t GetFindMode(HWND hWnd) {
  AppInfo* app = MainWindow_GetAppInfo(hWnd);
  return app ? app->nFindMode : 0;
}

bool GetDefaultDocumentName(HWND hWnd, char* buffer, int32_t size) {
  AppInfo* app = MainWindow_GetAppInfo(hWnd);
  if (!app || size < 1) return false;
  String_CopyCut(buffer, size, app->szDefaultDocumentName);
  return true;
}
