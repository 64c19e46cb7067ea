#include "app/qwilwind_win.h"

#include "editctrl/editctrl.h"
#include "res/resource.h"

const char kMainWindowClass[] = "Qwil";
const char kMainWindowTitle[] = "Qwilpad";

namespace {

const char kPropMainWindow[] = "PROP_MAINWINDOW";

HICON LoadProgramIcon(HINSTANCE hInstance, int nWidthMetric, int nHeightMetric) {
  return static_cast<HICON>(LoadImageA(hInstance, MAKEINTRESOURCEA(IDI_QWILPAD), IMAGE_ICON,
                                       GetSystemMetrics(nWidthMetric),
                                       GetSystemMetrics(nHeightMetric), LR_DEFAULTCOLOR));
}

// windres writes a popup without items as a plain item of id 0, so a popup that
// has nothing in it yet would act as a command. Each such item becomes an empty
// popup again; a popup with items is left as it is.
bool RestoreEmptyPopups(HMENU hMenuBar) {
  int nCount = GetMenuItemCount(hMenuBar);
  for (int i = 0; i < nCount; ++i) {
    if (GetSubMenu(hMenuBar, i) || GetMenuItemID(hMenuBar, i) != 0) continue;
    char text[64] = {};
    if (GetMenuStringA(hMenuBar, i, text, sizeof(text), MF_BYPOSITION) <= 0) continue;
    HMENU hPopup = CreatePopupMenu();
    if (!hPopup) return false;
    if (!ModifyMenuA(hMenuBar, i, MF_BYPOSITION | MF_POPUP | MF_STRING,
                     reinterpret_cast<UINT_PTR>(hPopup), text)) {
      DestroyMenu(hPopup);
      return false;
    }
  }
  return true;
}

// The editor over the whole client area. Until the settings file is read it
// starts with the settings of a first start.
HWND CreateEditor(HWND hWnd, HINSTANCE hInstance) {
  if (!TextEditor_RegisterClass(hInstance)) return nullptr;
  EditorSettings settings;
  EditorSettings_SetDefaults(&settings);
  RECT rc;
  GetClientRect(hWnd, &rc);
  return TextEditor_Create(0, WS_CHILD | WS_VISIBLE, hInstance, hWnd, kEditorControlId, rc.right - rc.left,
                           rc.bottom - rc.top, &settings);
}

LRESULT OnCreate(HWND hWnd, const CREATESTRUCTA* pCreate) {
  MainWindow* pMain = static_cast<MainWindow*>(pCreate->lpCreateParams);
  if (!pMain || pMain->hWnd) return -1;
  if (!RestoreEmptyPopups(GetMenu(hWnd))) return -1;
  if (!SetPropA(hWnd, kPropMainWindow, pMain)) return -1;
  pMain->hWnd = hWnd;
  pMain->hEditor = CreateEditor(hWnd, pMain->hInstance);
  // A frame without its editor is of no use; the failed creation ends in WM_DESTROY.
  if (!pMain->hEditor) return -1;
  QWIL_ASSERT(IsValidMainWindow(pMain));
  return 0;
}

// Closing will first ask to save a modified document and store the settings;
// until there is a document the window goes at once.
LRESULT OnClose(HWND hWnd) {
  DestroyWindow(hWnd);
  return 0;
}

LRESULT OnDestroy(HWND hWnd) {
  MainWindow* pMain = static_cast<MainWindow*>(RemovePropA(hWnd, kPropMainWindow));
  if (!pMain) return 0;
  bool bRan = pMain->hEditor != nullptr;
  pMain->hWnd = nullptr;
  pMain->hEditor = nullptr;
  // A window whose creation failed never ran a loop: nothing to end.
  if (bRan) PostQuitMessage(0);
  return 0;
}

// The editor covers the whole client area (the null class brush keeps the
// frame from flickering behind it).
LRESULT OnSize(HWND hWnd, WPARAM wParam) {
  MainWindow* pMain = MainWindow_FromHandle(hWnd);
  if (!pMain || !pMain->hEditor || wParam == SIZE_MINIMIZED) return 0;
  RECT rc;
  GetClientRect(hWnd, &rc);
  MoveWindow(pMain->hEditor, 0, 0, rc.right - rc.left, rc.bottom - rc.top, TRUE);
  return 0;
}

LRESULT OnSetFocus(HWND hWnd) {
  MainWindow* pMain = MainWindow_FromHandle(hWnd);
  if (pMain && pMain->hEditor) SetFocus(pMain->hEditor);
  return 0;
}

LRESULT OnCommand(HWND hWnd, WPARAM wParam, LPARAM lParam) {
  switch (LOWORD(wParam)) {
    case IDM_EXIT:
      SendMessageA(hWnd, WM_CLOSE, 0, 0);
      return 0;
    default:
      return DefWindowProcA(hWnd, WM_COMMAND, wParam, lParam);
  }
}

LRESULT CALLBACK MainWindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  switch (uMsg) {
    case WM_CREATE:
      return OnCreate(hWnd, reinterpret_cast<const CREATESTRUCTA*>(lParam));
    case WM_DESTROY:
      return OnDestroy(hWnd);
    case WM_CLOSE:
      return OnClose(hWnd);
    case WM_SIZE:
      return OnSize(hWnd, wParam);
    case WM_SETFOCUS:
      return OnSetFocus(hWnd);
    case WM_COMMAND:
      return OnCommand(hWnd, wParam, lParam);
    case WM_INITMENU:
      return 0;
    default:
      return DefWindowProcA(hWnd, uMsg, wParam, lParam);
  }
}

}  // namespace

bool IsValidMainWindow(const MainWindow* pMain) {
  if (!pMain || !pMain->hInstance) return false;
  if (!pMain->hWnd) return !pMain->hEditor;
  if (pMain->hEditor && GetParent(pMain->hEditor) != pMain->hWnd) return false;
  return IsWindow(pMain->hWnd) && GetPropA(pMain->hWnd, kPropMainWindow) == pMain;
}

bool MainWindow_OpenFile(MainWindow* pMain, const char* path) {
  QWIL_ASSERT(IsValidMainWindow(pMain));
  return pMain->hEditor && TextEditor_LoadFile(pMain->hEditor, path);
}

bool MainWindow_RegisterClass(HINSTANCE hInstance) {
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof(wc);
  if (GetClassInfoExA(hInstance, kMainWindowClass, &wc)) return true;
  wc.style = 0;
  wc.lpfnWndProc = MainWindowProc;
  wc.hInstance = hInstance;
  wc.hIcon = LoadProgramIcon(hInstance, SM_CXICON, SM_CYICON);
  wc.hIconSm = LoadProgramIcon(hInstance, SM_CXSMICON, SM_CYSMICON);
  wc.hCursor = nullptr;  // the editor control sets its own
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
  wc.lpszMenuName = MAKEINTRESOURCEA(IDM_MAINMENU);
  wc.lpszClassName = kMainWindowClass;
  return RegisterClassExA(&wc) != 0;
}

void MainWindow_UnregisterClass(HINSTANCE hInstance) {
  UnregisterClassA(kMainWindowClass, hInstance);
}

HWND MainWindow_Create(HINSTANCE hInstance, MainWindow* pMain) {
  QWIL_ASSERT(pMain && !pMain->hWnd);
  pMain->hInstance = hInstance;
  HWND hWnd = CreateWindowExA(0, kMainWindowClass, kMainWindowTitle,
                              WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                              hInstance, pMain);
  QWIL_ASSERT(!hWnd || (pMain->hWnd == hWnd && IsValidMainWindow(pMain)));
  return hWnd;
}

MainWindow* MainWindow_FromHandle(HWND hWnd) {
  if (!hWnd || !IsWindow(hWnd)) return nullptr;
  MainWindow* pMain = static_cast<MainWindow*>(GetPropA(hWnd, kPropMainWindow));
  QWIL_ASSERT(!pMain || IsValidMainWindow(pMain));
  return pMain;
}

int MainWindow_RunMessageLoop(HWND hWnd) {
  MSG msg;
  for (;;) {
    BOOL bGot = GetMessageA(&msg, nullptr, 0, 0);
    if (bGot == 0) return static_cast<int>(msg.wParam);
    // A broken queue keeps failing: looping on it would hang the process.
    if (bGot == -1) return 1;
    // The property is gone once the window is destroyed, and the table with it.
    MainWindow* pMain = MainWindow_FromHandle(hWnd);
    if (pMain && pMain->hAccel && TranslateAcceleratorA(hWnd, pMain->hAccel, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}
