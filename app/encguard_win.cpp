#include "app/encguard_win.h"

#include "app/statusbar_win.h"
#include "editctrl/editctrl.h"
#include "tools/textenc.h"
#include "tools/toolwind_win.h"

namespace {

constexpr int32_t kQuestionSize = 2048;

void SetGuard(AppInfo* app, EncodingGuard guard) {
  app->encodingGuard = guard;
  if (guard.bGuarding) TextEditor_SetReadOnly(app->hEditor, true);
  StatusBar_SetEncoding(app->hStatusBar, EncGuard_StatusText(&guard));
}

// A file that cannot be looked at now is taken as Shift_JIS, as every file was
// before: the load read it, so this is a race with another program at most.
TextEncoding DetectedEncoding(const char* path) {
  TextEncDetection detection;
  return TextEnc_DetectFile(path, &detection) ? detection.encoding : TEXTENC_SHIFT_JIS;
}

}  // namespace

bool EncGuardWin_BeginLoad(AppInfo* app) {
  if (!app->encodingGuard.bGuarding) return false;
  TextEditor_SetReadOnly(app->hEditor, false);
  return true;
}

void EncGuardWin_EndLoad(AppInfo* app, const char* path, bool bLifted, bool bLoaded) {
  if (!bLoaded) {
    if (bLifted) TextEditor_SetReadOnly(app->hEditor, true);
    return;
  }
  SetGuard(app, EncGuard_AtLoad(path && path[0] ? DetectedEncoding(path) : TEXTENC_SHIFT_JIS));
}

bool EncGuardWin_AllowsSave(const AppInfo* app) {
  if (!app->encodingGuard.bGuarding) return true;
  char text[kQuestionSize];
  EncGuard_FormatSaveRefusal(text, sizeof(text), &app->encodingGuard);
  MessageBox_Beep(app->hWnd, text, kEncGuardCaption, MB_OK | MB_ICONEXCLAMATION);
  return false;
}

bool EncGuardWin_AllowsWriting(AppInfo* app) {
  if (!app->encodingGuard.bGuarding) return true;
  char text[kQuestionSize];
  EncGuard_FormatEditQuestion(text, sizeof(text), &app->encodingGuard);
  if (MessageBox_Beep(app->hWnd, text, kEncGuardCaption, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES) {
    return false;
  }
  app->encodingGuard.bGuarding = false;
  return true;
}
