#include "app/maindpi_win.h"

#include "app/statusbar_win.h"

#include "editctrl/dpiscale.h"
#include "editctrl/editctrl.h"

LRESULT MainWindow_OnDpiChanged(HWND hWnd, HWND hEditor, HWND hStatusBar, WPARAM wParam, LPARAM lParam) {
  int32_t dpi = Dpi_Sanitize(HIWORD(wParam));
  // A font that cannot be made keeps the old one: the text stays readable.
  if (hEditor) TextEditor_SetDpi(hEditor, dpi);
  if (hStatusBar) StatusBar_SetDpi(hStatusBar, dpi);
  const RECT* rc = reinterpret_cast<const RECT*>(lParam);
  if (rc && rc->right > rc->left && rc->bottom > rc->top) {
    SetWindowPos(hWnd, nullptr, rc->left, rc->top, rc->right - rc->left, rc->bottom - rc->top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
  return 0;
}
