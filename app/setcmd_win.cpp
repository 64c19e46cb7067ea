#include "app/setcmd_win.h"

#include "app/appdata_win.h"
#include "dialogs/dispset_win.h"
#include "dialogs/setdlg_win.h"
#include "editctrl/editctrl.h"
#include "tools/debuglog.h"

namespace {

void SaveSettings(const AppInfo* app) {
  if (!AppData_Save(app)) QWIL_LOG("the settings file could not be written");
}

}  // namespace

LRESULT SettingsCommand_Display(AppInfo* app, WPARAM, LPARAM) {
  EditorSettings settings;
  if (!TextEditor_GetSettings(app->hEditor, &settings)) settings = app->editorSettings;
  if (!ShowDisplaySettingsDialog(app->hWnd, &settings)) return 0;
  TextEditor_SetSettings(app->hEditor, &settings);
  app->editorSettings = settings;
  SaveSettings(app);
  return 1;
}

LRESULT SettingsCommand_Settings(AppInfo* app, WPARAM, LPARAM) {
  if (!ShowSettingsDialog(app->hWnd, app)) return 0;
  SaveSettings(app);
  return 1;
}
