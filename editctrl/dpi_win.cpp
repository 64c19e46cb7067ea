#include "editctrl/dpi_win.h"

#include "editctrl/dpiscale.h"

namespace {

typedef UINT(WINAPI* GetDpiForWindowProc)(HWND);

GetDpiForWindowProc FindGetDpiForWindow() {
  HMODULE hUser = GetModuleHandleA("user32.dll");
  if (!hUser) return nullptr;
  return reinterpret_cast<GetDpiForWindowProc>(reinterpret_cast<void*>(GetProcAddress(hUser, "GetDpiForWindow")));
}

int32_t ScreenDpi() {
  HDC hdc = GetDC(nullptr);
  if (!hdc) return kBaseDpi;
  int dpi = GetDeviceCaps(hdc, LOGPIXELSY);
  ReleaseDC(nullptr, hdc);
  return Dpi_Sanitize(dpi);
}

}  // namespace

int32_t Dpi_ForWindow(HWND hWnd) {
  static const GetDpiForWindowProc pfnGetDpiForWindow = FindGetDpiForWindow();
  if (pfnGetDpiForWindow && hWnd) {
    UINT dpi = pfnGetDpiForWindow(hWnd);
    if (dpi != 0) return Dpi_Sanitize(static_cast<int32_t>(dpi));
  }
  return ScreenDpi();
}
