#include "app/docfile_win.h"

#include <cstring>

#include "app/appbusy_win.h"
#include "app/encguard_win.h"
#include "app/filehist_win.h"
#include "app/filewatch.h"
#include "app/histmenu.h"
#include "app/statusbar_win.h"
#include "dialogs/filedlg_win.h"
#include "editctrl/editctrl.h"
#include "editctrl/textdata.h"
#include "recovery/recovery_win.h"
#include "tools/fileio.h"
#include "tools/history.h"
#include "tools/memory.h"
#include "tools/safesave.h"
#include "tools/toolsys_win.h"
#include "tools/toolwind_win.h"

namespace {

constexpr char kPathTooLongText[] = "ファイル名が長すぎます。\nファイル名は 259 バイトまでです。";
// New files of the recycle-bin save are named apart from the safe save's own.
constexpr int32_t kStagingFirst = 0x8000;
constexpr int32_t kStagingTries = 64;

bool FitsPath(const char* path) { return std::strlen(path) <= static_cast<size_t>(kPathMax); }

// The loaded file's name as the shell knows it; the full path when the shell
// cannot say, so that a loaded file never becomes untitled.
void SetDocumentPath(AppInfo* app, const char* path) {
  char form[kPathBufferSize];
  if (!path || path[0] == '\0') {
    app->szPath[0] = '\0';
  } else if (Path_GetDocumentForm(form, kPathMax + 1, path)) {
    std::strcpy(app->szPath, form);
  } else {
    std::strcpy(app->szPath, path);
  }
}

void ShowPathTooLong(const AppInfo* app, const char* caption) {
  MessageBox_Beep(app->hWnd, kPathTooLongText, caption, MB_OK | MB_ICONEXCLAMATION);
}

TextFileStatus StatusOfReplace(FileError error) {
  switch (error) {
    case FILEERR_DENIED: return TEXTFILE_DENIED;
    case FILEERR_LOCKED: return TEXTFILE_LOCKED;
    default: return TEXTFILE_WRITE_FAILED;
  }
}

bool FindStagingPath(const FileMethods* m, const char* path, char* staging, int32_t size) {
  for (int32_t n = 0; n < kStagingTries; ++n) {
    FileInfo info;
    if (!SafeSave_TempPath(path, kStagingFirst + n, staging, size)) return false;
    if (m->pfnQuery(m->pContext, staging, &info) == FILEERR_NONE && info.kind == FILEKIND_NONE) return true;
  }
  return false;
}

// The recycle-bin save: the new bytes go safely to a new file beside the old
// one first; only then does the old file go to the recycle bin and the new one
// take its name. Whatever fails, the old file is either in place or in the
// recycle bin, never lost.
TextFileStatus SaveKeepingOld(const AppInfo* app, const char* path, const TextProgress* progress) {
  const FileMethods* m = FileIo_GetMethods();
  FileInfo info;
  TextFileStatus status = TEXTFILE_OK;
  if (m->pfnQuery(m->pContext, path, &info) != FILEERR_NONE || info.kind != FILEKIND_FILE) {
    TextEditor_SaveFile(app->hEditor, path, &status, progress);
    return status;
  }
  if (info.bReadOnly) return TEXTFILE_READ_ONLY;
  char staging[kPathBufferSize + 16];
  if (!FindStagingPath(m, path, staging, sizeof(staging))) return TEXTFILE_WRITE_FAILED;
  if (!TextEditor_SaveFile(app->hEditor, staging, &status, progress)) return status;
  File_MoveOneToRecycleBin(app->hWnd, path);  // the save goes on whatever the shell says
  FileError error = m->pfnReplace(m->pContext, staging, path);
  if (error == FILEERR_NONE) return TEXTFILE_OK;
  m->pfnRemove(m->pContext, staging);
  return StatusOfReplace(error);
}

LoadError ReasonOfFailedLoad(const char* path, TextFileStatus status) {
  return DocFile_LoadErrorOf(status, File_Exists(path), File_IsDirectory(path));
}

// Where the open dialogs start: the document's folder, or the document folder
// setting while untitled.
bool OpenDialogStart(const AppInfo* app, const char* proposedUntitled, DialogStart* start) {
  return DocFile_DialogStart(app->szPath, proposedUntitled, app->szDocumentFolder,
                             File_IsDirectory(app->szDocumentFolder), start);
}

// The open dialog; false when nothing usable was chosen (a name too long has
// been told).
bool ChooseFileToRead(const AppInfo* app, char* chosen) {
  DialogStart start;
  if (!OpenDialogStart(app, "*.txt", &start)) return false;
  FileDialogResult result = ChooseOpenFile(chosen, kPathMax + 1, start.szName, app->hWnd, start.szFolder);
  if (result == FILEDLG_TOO_LONG) ShowPathTooLong(app, kLoadErrorCaption);
  return result == FILEDLG_CHOSEN;
}

// Before a save over the document's own file: when another program changed it
// since it was loaded or saved, the user chooses to overwrite it (IDYES), to save
// under another name (IDNO) or not to save (IDCANCEL). IDYES when nothing changed.
int AskBeforeSavingOver(AppInfo* app) {
  FileWatch* watch = &app->fileWatch;
  // A document kept read-only for its encoding is refused its save anyway.
  if (app->encodingGuard.bGuarding) return IDYES;
  FileStamp now;
  if (!FileStamp_Take(app->szPath, &now) || !FileWatch_MustAskBeforeSave(watch, &now)) return IDYES;
  // Another question of the watch is up: nothing is written meanwhile.
  if (!FileWatch_BeginQuestion(watch, true)) return IDCANCEL;
  char text[kFileMessageSize];
  FileWatch_FormatOverwriteQuestion(text, sizeof(text), app->szPath);
  int answer = MessageBox_Beep(app->hWnd, text, AppInfo_GetDocumentName(app),
                               MB_YESNOCANCEL | MB_ICONWARNING | MB_DEFBUTTON2);
  FileWatch_EndQuestion(watch);
  return answer == IDYES || answer == IDNO ? answer : IDCANCEL;
}

bool InsertBytes(const AppInfo* app, const char* path, const char* bytes, int32_t n) {
  if (n == 0 || TextEditor_ReplaceSelection(app->hEditor, bytes, n, true)) return true;
  if (TextEditor_GetReadOnly(app->hEditor)) return false;
  int64_t total = int64_t(TextEditor_GetTextLength(app->hEditor)) + n;
  Document_ShowLoadError(app, path, total > kTextMaxSize ? LOADERR_TOO_LARGE : LOADERR_NO_MEMORY);
  return false;
}

}  // namespace

void Document_RefreshTitle(const AppInfo* app) {
  const bool bGone = app->fileWatch.bDeleted && app->szPath[0] != '\0';
  const char* note = bGone ? kFileDeletedTitleNote : nullptr;
  Title_Refresh(app->hWnd, app->hEditor, app->szPath, app->szDefaultDocumentName, note);
}

void Document_ShowLoadError(const AppInfo* app, const char* path, LoadError reason) {
  char text[kFileMessageSize];
  DocFile_FormatLoadError(text, sizeof(text), path, AppInfo_GetDocumentName(app), reason);
  MessageBox_Beep(app->hWnd, text, kLoadErrorCaption, MB_OK | MB_ICONEXCLAMATION);
}

void Document_ShowSaveError(const AppInfo* app, const char* path, TextFileStatus status) {
  char text[kFileMessageSize];
  DocFile_FormatSaveError(text, sizeof(text), path, AppInfo_GetDocumentName(app), status);
  MessageBox_Beep(app->hWnd, text, kSaveErrorCaption, MB_OK | MB_ICONEXCLAMATION);
}

bool Document_Open(AppInfo* app, const char* path) { return Document_OpenAs(app, path, BUSY_OPEN, false); }

bool Document_OpenAs(AppInfo* app, const char* path, BusyWork work, bool bShowNow) {
  if (path && !FitsPath(path)) {
    Document_ShowLoadError(app, path, LOADERR_PATH_TOO_LONG);
    return false;
  }
  TextFileStatus status = TEXTFILE_OK;
  const bool bLifted = EncGuardWin_BeginLoad(app);
  // Work already running (never the case: commands wait for it) loads
  // without showing progress.
  const TextProgress* progress = path ? AppBusy_Begin(app, work, path, bShowNow) : nullptr;
  bool loaded = TextEditor_LoadFile(app->hEditor, path, &status, progress);
  if (progress) AppBusy_End(app);
  if (!loaded) {
    // A read-only editor refuses every load, and a stopped one was the
    // user's wish: neither says anything.
    if (!TextEditor_GetReadOnly(app->hEditor) && status != TEXTFILE_CANCELLED) {
      const char* name = path ? path : app->szDefaultDocumentName;
      Document_ShowLoadError(app, name, path ? ReasonOfFailedLoad(path, status) : LOADERR_NO_MEMORY);
    }
    EncGuardWin_EndLoad(app, path, bLifted, false);
    return false;
  }
  EncGuardWin_EndLoad(app, path, bLifted, true);
  SetDocumentPath(app, path);
  FileWatch_Start(&app->fileWatch, app->szPath);
  RecoveryWin_NoteDocument(app->pRecovery, app->szPath);
  Document_RefreshTitle(app);
  if (path && path[0] != '\0') FileHistory_Add(app, path);
  return true;
}

bool Document_AskToSave(AppInfo* app) {
  if (!TextEditor_GetModified(app->hEditor)) return true;
  BringWindowToTop(app->hWnd);
  SetForegroundWindow(app->hWnd);
  int answer = MessageBox_Beep(app->hWnd, kSaveQuestion, AppInfo_GetDocumentName(app),
                               MB_YESNOCANCEL | MB_ICONEXCLAMATION);
  if (answer == IDNO) {
    RecoveryWin_Discard(app->pRecovery);
    return true;
  }
  if (answer != IDYES) return false;
  return FileCommand_Save(app, 0, 0) != 0;
}

bool Document_Save(AppInfo* app, const char* path) {
  if (!EncGuardWin_AllowsSave(app)) return false;
  if (!FitsPath(path)) {
    Document_ShowSaveError(app, path, kSavePathTooLong);
    return false;
  }
  TextFileStatus status = TEXTFILE_OK;
  const TextProgress* progress = AppBusy_Begin(app, BUSY_SAVE, path);
  if (app->bKeepOverwrittenInRecycleBin) {
    status = SaveKeepingOld(app, path, progress);
  } else {
    TextEditor_SaveFile(app->hEditor, path, &status, progress);
  }
  if (progress) AppBusy_End(app);
  if (status != TEXTFILE_OK) {
    Document_ShowSaveError(app, path, status);
    return false;
  }
  TextEditor_SetModified(app->hEditor, false);
  FileWatch_Start(&app->fileWatch, path);
  RecoveryWin_NoteDocument(app->pRecovery, path);
  return true;
}

bool Document_Reload(AppInfo* app) {
  if (app->szPath[0] == '\0') return false;
  char path[kPathBufferSize];
  std::strcpy(path, app->szPath);
  POINT caret = TextEditor_GetCaret(app->hEditor);
  if (!Document_OpenAs(app, path, BUSY_RELOAD, false)) return false;
  TextEditor_SetCaret(app->hEditor, caret, true);
  return true;
}

LRESULT FileCommand_New(AppInfo* app, WPARAM, LPARAM) {
  if (!Document_AskToSave(app)) return 0;
  Document_Open(app, nullptr);
  return 1;
}

LRESULT FileCommand_Open(AppInfo* app, WPARAM, LPARAM) {
  if (!Document_AskToSave(app)) return 0;
  char chosen[kPathBufferSize];
  if (!ChooseFileToRead(app, chosen)) return 0;
  Document_Open(app, chosen);
  return 1;
}

LRESULT FileCommand_Save(AppInfo* app, WPARAM, LPARAM) {
  if (app->szPath[0] == '\0') return FileCommand_SaveAs(app, 0, 0);
  int choice = AskBeforeSavingOver(app);
  if (choice == IDNO) return FileCommand_SaveAs(app, 0, 0);
  if (choice != IDYES) return 0;
  char path[kPathBufferSize];
  std::strcpy(path, app->szPath);
  bool saved = Document_Save(app, path);
  Document_RefreshTitle(app);
  return saved ? 1 : 0;
}

LRESULT FileCommand_SaveAs(AppInfo* app, WPARAM, LPARAM) {
  if (!EncGuardWin_AllowsSave(app)) return 0;  // before the dialog, which would be for nothing
  DialogStart start;
  if (!DocFile_DialogStart(AppInfo_GetDocumentName(app), app->szDefaultDocumentName, app->szDocumentFolder,
                           File_IsDirectory(app->szDocumentFolder), &start)) {
    return 0;
  }
  char chosen[kPathBufferSize];
  FileDialogResult result = ChooseSaveFile(chosen, kPathMax + 1, start.szName, app->hWnd, start.szFolder,
                                           app->bCompleteExtension != 0, app->bConfirmOverwrite != 0);
  if (result == FILEDLG_TOO_LONG) ShowPathTooLong(app, kSaveErrorCaption);
  if (result != FILEDLG_CHOSEN || !Document_Save(app, chosen)) return 0;
  std::strcpy(app->szPath, chosen);
  FileHistory_Add(app, chosen);
  Document_RefreshTitle(app);
  return 1;
}

// The window's own way to close, which the system's close box and Alt+F4 take too.
LRESULT FileCommand_Exit(AppInfo* app, WPARAM, LPARAM) {
  SendMessageA(app->hWnd, WM_CLOSE, 0, 0);
  return 0;
}

LRESULT FileCommand_SaveAndExit(AppInfo* app, WPARAM, LPARAM) {
  if (!TextEditor_GetModified(app->hEditor) || FileCommand_Save(app, 0, 0) != 0) FileCommand_Exit(app, 0, 0);
  return 0;
}

// The chosen file at the caret, in place of the selection, as one undo step.
LRESULT FileCommand_InsertFile(AppInfo* app, WPARAM, LPARAM) {
  if (TextEditor_GetReadOnly(app->hEditor)) return 0;
  char chosen[kPathBufferSize];
  if (!ChooseFileToRead(app, chosen)) return 0;
  char* bytes = nullptr;
  int32_t n = 0;
  LoadError error = DocFile_ReadAll(chosen, &bytes, &n);
  if (error != LOADERR_NONE) {
    Document_ShowLoadError(app, chosen, error);
    return 0;
  }
  bool inserted = InsertBytes(app, chosen, bytes, n);
  Mem_Free(bytes);
  return inserted ? 1 : 0;
}

// The file as it is on the disk now, after the save question; the caret stays
// where it was as far as the new text has room for it.
LRESULT FileCommand_Reload(AppInfo* app, WPARAM, LPARAM) {
  if (app->szPath[0] == '\0' || !Document_AskToSave(app)) return 0;
  return Document_Reload(app) ? 1 : 0;
}

LRESULT FileCommand_OpenHistoryEntry(AppInfo* app, WPARAM wParam, LPARAM) {
  // An id without an entry (from a key binding) opens nothing: no question.
  const History* history = app->pLoadHistory;
  const int32_t index = LoadHistory_IndexFromId(LOWORD(wParam));
  const char* entry = history ? History_GetEntry(history, index) : nullptr;
  if (!entry) return 0;
  // The question may save the document under a new name, which moves the
  // entries; so may opening.
  char path[kPathBufferSize];
  std::strcpy(path, entry);
  if (!Document_AskToSave(app)) return 0;
  if (File_IsFile(path)) return Document_Open(app, path) ? 1 : 0;
  Document_ShowLoadError(app, path, File_Exists(path) ? LOADERR_FOLDER : LOADERR_NOT_FOUND);
  return 0;
}
