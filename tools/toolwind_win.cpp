#include "tools/toolwind_win.h"

#include <commctrl.h>
#include <shellapi.h>

#include "tools/memory.h"
#include "tools/placement.h"

HICON Module_GetShellIcon(HINSTANCE hInstance, bool bSmall) {
  char path[MAX_PATH + 1] = {};
  DWORD n = GetModuleFileNameA(hInstance, path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return nullptr;
  SHFILEINFOA info = {};
  UINT flags = SHGFI_ICON | (bSmall ? SHGFI_SMALLICON : SHGFI_LARGEICON);
  if (!SHGetFileInfoA(path, 0, &info, sizeof(info), flags)) return nullptr;
  return info.hIcon;
}

namespace {

struct IconRequest {
  int cx, cy;
  HICON hIcon;
};

BOOL CALLBACK LoadFirstIcon(HMODULE hModule, LPCSTR, LPSTR pszName, LONG_PTR lParam) {
  IconRequest* request = reinterpret_cast<IconRequest*>(lParam);
  request->hIcon =
      static_cast<HICON>(LoadImageA(hModule, pszName, IMAGE_ICON, request->cx, request->cy, LR_DEFAULTCOLOR));
  return FALSE;  // the first group is the file's icon
}

}  // namespace

HICON Module_GetOwnIcon(HINSTANCE hInstance, bool bSmall) {
  IconRequest request = {GetSystemMetrics(bSmall ? SM_CXSMICON : SM_CXICON),
                         GetSystemMetrics(bSmall ? SM_CYSMICON : SM_CYICON), nullptr};
  EnumResourceNamesA(hInstance, MAKEINTRESOURCEA(14) /* RT_GROUP_ICON */, LoadFirstIcon,
                     reinterpret_cast<LONG_PTR>(&request));
  return request.hIcon;
}

ATOM Window_RegisterClass(HINSTANCE hInstance, const char* pszClassName, WNDPROC pfnWndProc, UINT nClassStyle,
                          UINT nMenuId, int nStockObject) {
  return Window_RegisterClassExtra(hInstance, pszClassName, pfnWndProc, nClassStyle, nMenuId, nStockObject, 0);
}

ATOM Window_RegisterClassExtra(HINSTANCE hInstance, const char* pszClassName, WNDPROC pfnWndProc, UINT nClassStyle,
                               UINT nMenuId, int nStockObject, int nWndExtra) {
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof(wc);
  wc.style = nClassStyle;
  wc.cbWndExtra = nWndExtra;
  wc.lpfnWndProc = pfnWndProc;
  wc.hInstance = hInstance;
  wc.hIcon = Module_GetOwnIcon(hInstance, false);
  wc.hIconSm = Module_GetOwnIcon(hInstance, true);
  wc.hCursor = nullptr;
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(nStockObject));
  wc.lpszMenuName = nMenuId ? MAKEINTRESOURCEA(nMenuId) : nullptr;
  wc.lpszClassName = pszClassName;
  ATOM atom = RegisterClassExA(&wc);
  // The class keeps its own copies of the icons only as handles: on failure
  // nobody else will free them.
  if (!atom) {
    if (wc.hIcon) DestroyIcon(wc.hIcon);
    if (wc.hIconSm) DestroyIcon(wc.hIconSm);
  }
  return atom;
}

int MessageBox_Beep(HWND hOwner, const char* pszText, const char* pszCaption, UINT nType) {
  MessageBeep(nType & MB_ICONMASK);
  return MessageBoxA(hOwner, pszText, pszCaption, nType);
}

bool Menu_TrackPopupAtCursor(HINSTANCE hInstance, UINT nMenuId, int nIndex, HWND hOwner, UINT nFlags) {
  POINT pt;
  if (!GetCursorPos(&pt)) return false;
  HMENU hMenu = LoadMenuA(hInstance, MAKEINTRESOURCEA(nMenuId));
  if (!hMenu) return false;
  HMENU hPopup = GetSubMenu(hMenu, nIndex);
  if (hPopup) {
    // Without it the menu would stay open when the user clicks elsewhere.
    SetForegroundWindow(hOwner);
    TrackPopupMenuEx(hPopup, nFlags, pt.x, pt.y, hOwner, nullptr);
  }
  DestroyMenu(hMenu);
  return hPopup != nullptr;
}

int Menu_FindPosition(HMENU hMenu, UINT nId) {
  int n = GetMenuItemCount(hMenu);
  for (int i = 0; i < n; ++i) {
    if (GetMenuItemID(hMenu, i) == nId) return i;
  }
  return -1;
}

namespace {

// The window's rectangle in the coordinates it is moved in: the parent's client
// area for a child, the screen otherwise.
bool GetPlacementRect(HWND hWnd, RECT* rc) {
  if (!GetWindowRect(hWnd, rc)) return false;
  HWND hParent = GetParent(hWnd);
  if (hParent && (GetWindowLongPtrA(hWnd, GWL_STYLE) & WS_CHILD)) {
    MapWindowPoints(nullptr, hParent, reinterpret_cast<POINT*>(rc), 2);
  }
  return true;
}

void PlaceAtCursor(HWND hWnd, bool bCenter) {
  POINT cursor;
  RECT rc;
  if (!GetCursorPos(&cursor) || !GetPlacementRect(hWnd, &rc)) return;
  MONITORINFO mi = {};
  mi.cbSize = sizeof(mi);
  RECT work;
  if (GetMonitorInfoA(MonitorFromPoint(cursor, MONITOR_DEFAULTTONEAREST), &mi)) {
    work = mi.rcWork;
  } else if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0)) {
    return;
  }
  SIZE size = {rc.right - rc.left, rc.bottom - rc.top};
  POINT pt = Placement_AtCursor(size, cursor, GetSystemMetrics(SM_CYCAPTION), work, bCenter);
  HWND hParent = GetParent(hWnd);
  if (hParent && (GetWindowLongPtrA(hWnd, GWL_STYLE) & WS_CHILD)) ScreenToClient(hParent, &pt);
  SetWindowPos(hWnd, nullptr, pt.x, pt.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

void Window_PlaceCaptionAtCursor(HWND hWnd) { PlaceAtCursor(hWnd, false); }

void Window_CenterAtCursor(HWND hWnd) { PlaceAtCursor(hWnd, true); }

LRESULT Window_SurfaceHitTest(HWND hWnd, LPARAM lParam) {
  LRESULT hit = DefWindowProcA(hWnd, WM_NCHITTEST, 0, lParam);
  return hit == HTCLIENT ? HTCAPTION : hit;
}

INT_PTR Dialog_SetResult(HWND hDlg, LRESULT lResult) {
  SetWindowLongPtrA(hDlg, DWLP_MSGRESULT, lResult);
  return TRUE;
}

INT_PTR Dialog_OnSurfaceHitTest(HWND hDlg, WPARAM, LPARAM lParam) {
  return Dialog_SetResult(hDlg, Window_SurfaceHitTest(hDlg, lParam));
}

MessageHandler Message_FindHandler(const MessageRow* table, size_t count, UINT uMsg) {
  for (size_t i = 0; i < count; ++i) {
    if (table[i].uMsg == uMsg) return table[i].pfnHandler;
  }
  return nullptr;
}

LRESULT Window_Dispatch(const MessageRow* table, size_t count, HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  MessageHandler handler = Message_FindHandler(table, count, uMsg);
  return handler ? handler(hWnd, wParam, lParam) : DefWindowProcA(hWnd, uMsg, wParam, lParam);
}

INT_PTR Dialog_Dispatch(const MessageRow* table, size_t count, HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  MessageHandler handler = Message_FindHandler(table, count, uMsg);
  return handler ? handler(hDlg, wParam, lParam) : FALSE;
}

void Window_ApplyFrameChange(HWND hWnd) {
  SetWindowPos(hWnd, nullptr, 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

HWND ToolTip_Create(HWND hOwner) {
  HINSTANCE hInstance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(hOwner, GWLP_HINSTANCE));
  return CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                         CW_USEDEFAULT, hOwner, nullptr, hInstance, nullptr);
}

bool ToolTip_AddTool(HWND hToolTip, HWND hOwner, HWND hControl, const char* pszText) {
  TOOLINFOA ti = {};
  ti.cbSize = sizeof(ti);
  ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  ti.hwnd = hOwner;
  ti.uId = reinterpret_cast<UINT_PTR>(hControl);
  ti.lpszText = const_cast<char*>(pszText);
  return SendMessageA(hToolTip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti)) != 0;
}

namespace {

// The child's rectangle in its parent's client coordinates, as x, y, width, height.
bool GetChildBox(HWND hWnd, RECT* box) {
  RECT rc;
  if (!GetPlacementRect(hWnd, &rc)) return false;
  *box = {rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top};
  return true;
}

constexpr UINT kDeferFlags = SWP_NOZORDER | SWP_NOACTIVATE;

}  // namespace

HDWP Window_DeferMoveBy(HDWP hDwp, HWND hWnd, int dx, int dy) {
  RECT box;
  if (!hDwp || !GetChildBox(hWnd, &box)) return hDwp;
  return DeferWindowPos(hDwp, hWnd, nullptr, box.left + dx, box.top + dy, 0, 0, kDeferFlags | SWP_NOSIZE);
}

HDWP Window_DeferSizeBy(HDWP hDwp, HWND hWnd, int dw, int dh) {
  RECT box;
  if (!hDwp || !GetChildBox(hWnd, &box)) return hDwp;
  return DeferWindowPos(hDwp, hWnd, nullptr, 0, 0, box.right + dw, box.bottom + dh, kDeferFlags | SWP_NOMOVE);
}

bool Window_MoveBy(HWND hWnd, int dx, int dy) {
  RECT box;
  if (!GetChildBox(hWnd, &box)) return false;
  return SetWindowPos(hWnd, nullptr, box.left + dx, box.top + dy, 0, 0, kDeferFlags | SWP_NOSIZE) != FALSE;
}

bool Window_SizeBy(HWND hWnd, int dw, int dh) {
  RECT box;
  if (!GetChildBox(hWnd, &box)) return false;
  return SetWindowPos(hWnd, nullptr, 0, 0, box.right + dw, box.bottom + dh, kDeferFlags | SWP_NOMOVE) != FALSE;
}

char* Window_GetTextCopy(HWND hWnd) {
  int n = GetWindowTextLengthA(hWnd);
  if (n < 0) return nullptr;
  char* text = static_cast<char*>(Mem_Alloc(static_cast<size_t>(n) + 1));
  if (!text) return nullptr;
  int got = GetWindowTextA(hWnd, text, n + 1);
  text[got > 0 && got <= n ? got : 0] = '\0';
  return text;
}
