#include "app/apptheme_win.h"

#include "app/qwilwind_win.h"
#include "editctrl/colorscheme.h"
#include "editctrl/editctrl.h"
#include "tools/systheme_win.h"

namespace {

// A title bar that changes while the window is shown is drawn anew only with
// its frame.
constexpr UINT kFrameChangedFlags =
    SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_FRAMECHANGED;

void FollowTheme(AppInfo* app) {
  bool bDark = SystemTheme_IsDark();
  if (SystemTheme_SetDarkTitleBar(app->hWnd, bDark)) SetWindowPos(app->hWnd, nullptr, 0, 0, 0, 0, kFrameChangedFlags);
  if (app->bUserColours || !app->hEditor) return;
  // The marks and the font stay as they are in the process-wide style.
  ViewStyle style;
  TextEditor_GetViewStyle(&style);
  ColorScheme_Set(&style, bDark);
  if (TextEditor_SetViewStyle(&style, app->hEditor, true)) ColorScheme_Set(&app->editorSettings.style, bDark);
}

}  // namespace

void AppTheme_Attach(AppInfo* app) {
  bool bDark = SystemTheme_IsDark();
  SystemTheme_SetDarkTitleBar(app->hWnd, bDark);
  ColorScheme_Follow(&app->editorSettings.style, app->bUserColours != 0, bDark);
}

LRESULT AppTheme_OnSettingChange(HWND hWnd, WPARAM wParam, LPARAM lParam) {
  AppInfo* app = MainWindow_GetAppInfo(hWnd);
  if (app && SystemTheme_IsChange(lParam)) FollowTheme(app);
  return DefWindowProcA(hWnd, WM_SETTINGCHANGE, wParam, lParam);
}

void AppTheme_TakeDisplayChoice(AppInfo* app, EditorSettings* settings) {
  app->bUserColours = ColorScheme_TakeChoice(&settings->style, SystemTheme_IsDark()) ? 1 : 0;
}
