#include "tools/toolwind_win.h"

#include <shellapi.h>

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
