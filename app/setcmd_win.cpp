#include "app/setcmd_win.h"

#include <cstring>

#include "app/appdata_win.h"
#include "app/apptheme_win.h"
#include "dialogs/dispset_win.h"
#include "dialogs/keyassign_win.h"
#include "dialogs/keydlg_win.h"
#include "dialogs/keylist.h"
#include "dialogs/keyfile.h"
#include "dialogs/setdlg_win.h"
#include "editctrl/editctrl.h"
#include "tools/debuglog.h"
#include "tools/memory.h"
#include "tools/toolwind_win.h"

namespace {

void SaveSettings(const AppInfo* app) {
  if (!AppData_Save(app)) QWIL_LOG("the settings file could not be written");
}

constexpr char kKeyTableFailedText[] =
    "新しいキーの割り当てを反映できませんでした。\n以前の割り当てのまま使います。";

// The new bindings are in force either way; the user must know they will not
// be there at the next start.
void ReportKeyFileNotSaved(const AppInfo* app) {
  QWIL_LOG("the key file could not be written");
  char text[MAX_PATH + 160];
  wsprintfA(text, "キー割り当てファイル「%s」を保存できませんでした。\n新しい割り当ては次に起動したときには使えません。",
            app->szKeyFilePath);
  MessageBox_Beep(app->hWnd, text, kKeyAssignTitle, MB_OK | MB_ICONEXCLAMATION);
}

}  // namespace

LRESULT SettingsCommand_Display(AppInfo* app, WPARAM, LPARAM) {
  EditorSettings settings;
  if (!TextEditor_GetSettings(app->hEditor, &settings)) settings = app->editorSettings;
  if (!ShowDisplaySettingsDialog(app->hWnd, &settings)) return 0;
  AppTheme_TakeDisplayChoice(app, &settings);
  TextEditor_SetSettings(app->hEditor, &settings);
  app->editorSettings = settings;
  SaveSettings(app);
  return 1;
}

LRESULT SettingsCommand_Settings(AppInfo* app, WPARAM, LPARAM) {
  SettingsDialogData data = {app->bConfirmOverwrite, app->bCompleteExtension, app->bKeepOverwrittenInRecycleBin,
                             app->bImeOnAtStart, {}, {}};
  std::strcpy(data.szDocumentFolder, app->szDocumentFolder);
  std::strcpy(data.szDateFormat, app->szDateFormat);
  if (!ShowSettingsDialog(app->hWnd, &data)) return 0;
  app->bConfirmOverwrite = data.bConfirmOverwrite;
  app->bCompleteExtension = data.bCompleteExtension;
  app->bKeepOverwrittenInRecycleBin = data.bKeepOverwrittenInRecycleBin;
  app->bImeOnAtStart = data.bImeOnAtStart;
  std::strcpy(app->szDocumentFolder, data.szDocumentFolder);
  std::strcpy(app->szDateFormat, data.szDateFormat);
  SaveSettings(app);
  return 1;
}

// The new bindings go into force only together with their accelerator table:
// when it cannot be made, the old bindings and table stay and nothing is written.
LRESULT SettingsCommand_KeyAssign(AppInfo* app, WPARAM, LPARAM) {
  KeyAssignItem* items = nullptr;
  int32_t count = 0;
  if (!ShowKeyAssignDialog(app->hWnd, &app->keys, &items, &count)) return 0;
  HACCEL table = KeyAssign_BuildAccelerators(items, count);
  if (!table) {
    Mem_Free(items);
    MessageBox_Beep(app->hWnd, kKeyTableFailedText, kKeyAssignTitle, MB_OK | MB_ICONEXCLAMATION);
    return 0;
  }
  KeyAssign_ReplaceAccelerators(&app->hAccel, table);
  KeyAssignData_SetBindings(&app->keys, items, count);
  if (app->szKeyFilePath[0] == '\0' ||
      !KeyFile_Save(app->szKeyFilePath, app->keys.keyBindings, app->keys.keyBindingCount)) {
    ReportKeyFileNotSaved(app);
  }
  return 1;
}
