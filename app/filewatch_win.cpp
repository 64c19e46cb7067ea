#include "app/filewatch_win.h"

#include "app/appbusy_win.h"
#include "app/docfile_win.h"
#include "app/filewatch.h"
#include "editctrl/editctrl.h"
#include "editctrl/prnttext_win.h"
#include "tools/toolwind_win.h"

namespace {

// A question now would come on top of another window of the program's, or of
// nothing the user sees.
bool CanAskNow(const AppInfo* app) {
  return IsWindowEnabled(app->hWnd) && !IsIconic(app->hWnd) && !PrintText_IsPrinting() && !AppBusy_IsBusy(app);
}

// Reloads even a document the user made read-only: reading the file again
// changes nothing on the disk. (One read-only for its encoding is lifted by the
// load itself, which decides again.)
void Reload(AppInfo* app) {
  const bool bReadOnly = !app->encodingGuard.bGuarding && TextEditor_SetReadOnly(app->hEditor, false);
  Document_Reload(app);
  if (bReadOnly) TextEditor_SetReadOnly(app->hEditor, true);
}

void AskToReload(AppInfo* app) {
  char text[kFileMessageSize];
  FileWatch_FormatReloadQuestion(text, sizeof(text), app->szPath);
  int answer = MessageBox_Beep(app->hWnd, text, AppInfo_GetDocumentName(app), MB_YESNO | MB_ICONQUESTION);
  if (answer == IDYES) Reload(app);
}

void TellChanged(AppInfo* app) {
  char text[kFileMessageSize];
  FileWatch_FormatChangedNotice(text, sizeof(text), app->szPath);
  MessageBox_Beep(app->hWnd, text, AppInfo_GetDocumentName(app), MB_OK | MB_ICONEXCLAMATION);
}

}  // namespace

void FileWatchWin_Schedule(AppInfo* app) {
  FileWatch* watch = &app->fileWatch;
  if (!app->hWnd || !watch->bWatching || watch->bPosted || app->szPath[0] == '\0') return;
  watch->bPosted = PostMessageA(app->hWnd, kFileWatchLookMsg, 0, 0) != FALSE;
}

void FileWatchWin_Look(AppInfo* app) {
  FileWatch* watch = &app->fileWatch;
  watch->bPosted = false;
  if (!app->hEditor || !watch->bWatching) return;
  FileStamp now;
  if (!FileStamp_Take(app->szPath, &now)) return;
  if (!FileWatch_BeginQuestion(watch, CanAskNow(app))) return;
  FileWatchAction action = FileWatch_Look(watch, &now, TextEditor_GetModified(app->hEditor));
  Document_RefreshTitle(app);
  if (action == FILEWATCH_ASK_RELOAD) AskToReload(app);
  if (action == FILEWATCH_TELL_CHANGED) TellChanged(app);
  FileWatch_EndQuestion(watch);
}

void FileWatchWin_LookIfPending(AppInfo* app) {
  if (app->fileWatch.bPending) FileWatchWin_Schedule(app);
}
