#include "app/editcmd_win.h"

#include <shellapi.h>

#include <cstring>

#include "app/convert.h"
#include "app/editcmd.h"
#include "app/encguard_win.h"
#include "editctrl/editctrl.h"
#include "tools/clipboard_win.h"
#include "tools/memory.h"
#include "tools/toolbase_win.h"
#include "tools/toolsys_win.h"

namespace {

// The editor clamps a position into the document: the largest column is the
// line's end, the largest line the last one.
constexpr LONG kFar = INT32_MAX;

LRESULT MoveTo(const AppInfo* app, POINT pos) {
  TextEditor_SetCaret(app->hEditor, pos, true);
  return 0;
}

// The selected bytes in a new block (with a zero byte behind them, which is not
// counted), or null when memory runs out. The caller frees it with Mem_Free.
char* CopySelection(HWND hEditor, int32_t* pnLength) {
  int32_t n = TextEditor_GetSelectedLength(hEditor);
  if (n < 0) n = 0;
  char* text = static_cast<char*>(Mem_Alloc(static_cast<size_t>(n) + 1));
  if (!text) return nullptr;
  n = n > 0 ? TextEditor_GetSelectedText(hEditor, text, n) : 0;
  text[n] = '\0';
  *pnLength = n;
  return text;
}

// True only when the clipboard took the selection.
bool PutSelectionOnClipboard(const AppInfo* app) {
  int32_t n = 0;
  char* text = CopySelection(app->hEditor, &n);
  if (!text) return false;
  bool bTaken = Clipboard_SetText(app->hWnd, text, static_cast<size_t>(n));
  Mem_Free(text);
  return bTaken;
}

// The converted text of n source bytes, measured first and then made; null
// when memory runs out.
char* ConvertText(const ConvertCommand* command, const char* source, size_t n, size_t* pnResult) {
  size_t nResult = Convert_Run(command, source, n, nullptr, 0);
  char* result = static_cast<char*>(Mem_Alloc(nResult + 1));
  if (!result) return nullptr;
  *pnResult = Convert_Run(command, source, n, result, nResult);
  return result;
}

}  // namespace

bool EditCommand_ReplaceSelection(const AppInfo* app, const char* text, size_t n) {
  // The editor's lengths are 32-bit: a longer text is refused whole rather
  // than cut anywhere.
  if (n > static_cast<size_t>(INT32_MAX)) return false;
  return TextEditor_ReplaceSelection(app->hEditor, text, static_cast<int32_t>(n), true);
}

LRESULT EditCommand_Undo(AppInfo* app, WPARAM, LPARAM) {
  TextEditor_Undo(app->hEditor);
  return 0;
}

LRESULT EditCommand_Redo(AppInfo* app, WPARAM, LPARAM) {
  TextEditor_Redo(app->hEditor);
  return 0;
}

LRESULT EditCommand_Cut(AppInfo* app, WPARAM, LPARAM) {
  // A read-only document keeps its text, and then the clipboard keeps its own.
  if (TextEditor_GetReadOnly(app->hEditor) || !TextEditor_HasSelection(app->hEditor)) return 0;
  if (PutSelectionOnClipboard(app)) EditCommand_ReplaceSelection(app, "", 0);
  return 0;
}

LRESULT EditCommand_Copy(AppInfo* app, WPARAM, LPARAM) {
  PutSelectionOnClipboard(app);
  return 0;
}

LRESULT EditCommand_Paste(AppInfo* app, WPARAM, LPARAM) {
  size_t size = 0;
  char* block = Clipboard_GetData(app->hWnd, CF_TEXT, &size);
  if (!block) return 0;
  size_t n = Clipboard_TextLength(block, size);
  if (n > 0) EditCommand_ReplaceSelection(app, block, n);
  Mem_Free(block);
  return 0;
}

LRESULT EditCommand_Delete(AppInfo* app, WPARAM, LPARAM) {
  EditCommand_ReplaceSelection(app, "", 0);
  return 0;
}

LRESULT EditCommand_SelectAll(AppInfo* app, WPARAM, LPARAM) {
  TextEditor_SelectAll(app->hEditor);
  return 1;
}

LRESULT EditCommand_SelectLines(AppInfo* app, WPARAM, LPARAM) {
  TextEditor_SelectLines(app->hEditor);
  return 1;
}

LRESULT EditCommand_SelectWord(AppInfo* app, WPARAM, LPARAM) {
  TextEditor_SelectWord(app->hEditor);
  return 1;
}

LRESULT EditCommand_ToggleIme(AppInfo* app, WPARAM, LPARAM) {
  Ime_SetOpen(app->hEditor, !Ime_IsOpen(app->hEditor));
  return 0;
}

LRESULT EditCommand_Convert(AppInfo* app, WPARAM wParam, LPARAM) {
  const ConvertCommand* command = Convert_FindCommand(LOWORD(wParam));
  if (!command || TextEditor_GetReadOnly(app->hEditor)) return 0;
  int32_t n = 0;
  char* source = CopySelection(app->hEditor, &n);
  if (!source) return 0;
  size_t nResult = 0;
  char* result = ConvertText(command, source, static_cast<size_t>(n), &nResult);
  Mem_Free(source);
  if (!result) return 0;
  EditCommand_ReplaceSelection(app, result, nResult);
  Mem_Free(result);
  return 0;
}

LRESULT EditCommand_InsertDate(AppInfo* app, WPARAM, LPARAM) {
  char text[kDateFormatCapacity];
  int32_t n = DateFormat_ExpandNow(app->szDateFormat, text, sizeof(text));
  if (n > 0) EditCommand_ReplaceSelection(app, text, static_cast<size_t>(n));
  return 0;
}

LRESULT EditCommand_CopyName(AppInfo* app, WPARAM, LPARAM) {
  const char* name = AppInfo_GetDocumentName(app);
  Clipboard_SetText(app->hWnd, name, std::strlen(name));
  return 0;
}

LRESULT EditCommand_InsertName(AppInfo* app, WPARAM, LPARAM) {
  const char* name = AppInfo_GetDocumentName(app);
  EditCommand_ReplaceSelection(app, name, std::strlen(name));
  return 0;
}

LRESULT EditCommand_Indent(AppInfo* app, WPARAM, LPARAM) {
  TextEditor_SelectLines(app->hEditor);
  TextEditor_Indent(app->hEditor);
  return 0;
}

LRESULT EditCommand_Unindent(AppInfo* app, WPARAM, LPARAM) {
  TextEditor_SelectLines(app->hEditor);
  TextEditor_Unindent(app->hEditor);
  return 0;
}

LRESULT EditCommand_ToggleReadOnly(AppInfo* app, WPARAM, LPARAM) {
  const bool bReadOnly = TextEditor_GetReadOnly(app->hEditor);
  if (bReadOnly && !EncGuardWin_AllowsWriting(app)) return 0;
  TextEditor_SetReadOnly(app->hEditor, !bReadOnly);
  return 0;
}

LRESULT EditCommand_UndoAll(AppInfo* app, WPARAM, LPARAM) {
  TextEditor_UndoAll(app->hEditor);
  return 0;
}

LRESULT EditCommand_OpenFolder(AppInfo* app, WPARAM, LPARAM) {
  int32_t n = 0;
  char* text = CopySelection(app->hEditor, &n);
  if (!text) return 0;
  char path[kPathBufferSize];
  bool bFolder = EditCommand_FolderPath(text, n, path, sizeof(path)) && File_IsDirectory(path);
  Mem_Free(text);
  if (bFolder) ShellExecuteA(app->hWnd, "explore", path, nullptr, nullptr, SW_SHOW);
  return 0;
}

LRESULT EditCommand_DocumentStart(AppInfo* app, WPARAM, LPARAM) { return MoveTo(app, POINT{0, 0}); }

LRESULT EditCommand_DocumentEnd(AppInfo* app, WPARAM, LPARAM) { return MoveTo(app, POINT{kFar, kFar}); }

LRESULT EditCommand_LineStart(AppInfo* app, WPARAM, LPARAM) {
  return MoveTo(app, POINT{0, TextEditor_GetCaret(app->hEditor).y});
}

LRESULT EditCommand_LineEnd(AppInfo* app, WPARAM, LPARAM) {
  return MoveTo(app, POINT{kFar, TextEditor_GetCaret(app->hEditor).y});
}
