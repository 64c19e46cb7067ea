#include "app/apptheme_win.h"

#include "editctrl/colorscheme.h"
#include "editctrl/editctrl.h"
#include "tools/systheme_win.h"
#include "tools/toolwind_win.h"

namespace {

void FollowTheme(AppInfo* app) {
  bool bDark = SystemTheme_IsDark();
  // A title bar that changes while the window is shown is drawn anew only with
  // its frame.
  if (SystemTheme_SetDarkTitleBar(app->hWnd, bDark)) Window_ApplyFrameChange(app->hWnd);
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

void AppTheme_OnSettingChange(AppInfo* app, LPARAM lParam) {
  if (SystemTheme_IsChange(lParam)) FollowTheme(app);
}

void AppTheme_TakeDisplayChoice(AppInfo* app, EditorSettings* settings) {
  app->bUserColours = ColorScheme_TakeChoice(&settings->style, SystemTheme_IsDark()) ? 1 : 0;
}
