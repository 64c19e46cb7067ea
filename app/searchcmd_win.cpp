#include "app/searchcmd_win.h"

#include <cstring>

#include "app/qwilwind_win.h"
#include "dialogs/finddlg_win.h"
#include "dialogs/gotoline.h"
#include "dialogs/gotoline_win.h"
#include "dialogs/searchreq.h"
#include "editctrl/editctrl.h"
#include "tools/toolbase.h"
#include "tools/toolwind_win.h"

const char kSearchCaption[] = "検索";
const char kSearchTooComplexText[] =
    "検索する文字列が複雑すぎるため、検索を最後まで行えませんでした。\n\n"
    "文書は変更されていません。検索する文字列を簡単にしてやり直してください。";
const char kSearchNoMemoryText[] =
    "メモリが足りないか、検索する文字列が長すぎるため、検索できませんでした。\n\n文書は変更されていません。";

int32_t SearchMessage_FormatNotFound(const char* text, char* buffer, int32_t size) {
  TextBuf tb;
  TextBuf_Init(&tb, buffer, size);
  TextBuf_AppendString(&tb, "「");
  // Room is kept for the end of the sentence, however long the text.
  int32_t room = size - 40;
  TextBuf_AppendBytes(&tb, text, String_CutLength(text, static_cast<int32_t>(std::strlen(text)), room));
  TextBuf_AppendString(&tb, "」は見つかりませんでした。");
  return tb.nLength;
}

namespace {

// A request's window is only trusted as the owner of the message when it is
// one of this thread's: anything else gets the main window.
HWND MessageOwner(HWND hWnd, const SearchRequest* request) {
  HWND hDialog = request->hDialog;
  if (hDialog && IsWindow(hDialog) && GetWindowThreadProcessId(hDialog, nullptr) == GetCurrentThreadId()) {
    return hDialog;
  }
  return hWnd;
}

void ReportFailure(HWND hOwner, const char* pattern, int32_t nStatus) {
  switch (nStatus) {
    case SEARCH_NOTFOUND: {
      char text[kSearchRequestTextMax + 64];
      SearchMessage_FormatNotFound(pattern, text, sizeof(text));
      MessageBox_Beep(hOwner, text, kSearchCaption, MB_OK | MB_ICONINFORMATION);
      return;
    }
    case SEARCH_TOO_COMPLEX:
      MessageBox_Beep(hOwner, kSearchTooComplexText, kSearchCaption, MB_OK | MB_ICONEXCLAMATION);
      return;
    case SEARCH_NOMEMORY:
      MessageBox_Beep(hOwner, kSearchNoMemoryText, kSearchCaption, MB_OK | MB_ICONEXCLAMATION);
      return;
    default:
      // Refused (read-only): the editor refuses every edit without a word.
      MessageBeep(MB_OK);
      return;
  }
}

typedef bool (*EditorFind)(HWND, const char*, int32_t, uint32_t, int32_t*);

LRESULT ReceiveFind(HWND hWnd, LPARAM lParam, EditorFind pfnFind) {
  AppInfo* app = MainWindow_GetAppInfo(hWnd);
  const SearchRequest* request = reinterpret_cast<const SearchRequest*>(lParam);
  if (!app || !app->hEditor || !SearchRequest_IsReadable(request, false)) return 0;
  int32_t n = SearchText_Store(app->szLastSearch, sizeof(app->szLastSearch), request->pszFind,
                               request->nFindLength);
  if (n == 0) return 0;
  int32_t status = SEARCH_NOTFOUND;
  if (pfnFind(app->hEditor, app->szLastSearch, n, request->nOptions, &status)) return 1;
  ReportFailure(MessageOwner(hWnd, request), app->szLastSearch, status);
  return 0;
}

bool FindNextAdapter(HWND h, const char* p, int32_t n, uint32_t o, int32_t* s) {
  return TextEditor_FindNext(h, p, n, o, s);
}
bool FindPrevAdapter(HWND h, const char* p, int32_t n, uint32_t o, int32_t* s) {
  return TextEditor_FindPrev(h, p, n, o, s);
}

LRESULT SendFind(AppInfo* app, UINT uMsg, const char* text, int32_t n, uint32_t options) {
  SearchRequest request = {nullptr, options, text, n, nullptr, -1};
  return SendMessageA(app->hWnd, uMsg, static_cast<WPARAM>(options), reinterpret_cast<LPARAM>(&request));
}

LRESULT RepeatSearch(AppInfo* app, UINT uMsg) {
  if (app->szLastSearch[0] == '\0') return 0;
  SendFind(app, uMsg, app->szLastSearch, static_cast<int32_t>(std::strlen(app->szLastSearch)), app->nFindMode);
  return 0;
}

LRESULT SearchSelection(AppInfo* app, UINT uMsg) {
  char text[kSearchRequestTextMax];
  int32_t n = TextEditor_GetSelectedText(app->hEditor, text, sizeof(text));
  // A longer selection is cut where a character would be split.
  n = n > 0 ? String_CutLength(text, n, kSearchRequestTextMax) : 0;
  // Without a selection there is nothing to look for, and the last search
  // string is kept.
  if (n == 0) return 0;
  SendFind(app, uMsg, text, n, app->nFindMode & ~kFindRegExp);
  return 0;
}

}  // namespace

LRESULT SearchRequest_OnFindNext(HWND hWnd, WPARAM, LPARAM lParam) {
  return ReceiveFind(hWnd, lParam, FindNextAdapter);
}

LRESULT SearchRequest_OnFindPrev(HWND hWnd, WPARAM, LPARAM lParam) {
  return ReceiveFind(hWnd, lParam, FindPrevAdapter);
}

LRESULT SearchRequest_OnReplace(HWND hWnd, WPARAM, LPARAM lParam) {
  AppInfo* app = MainWindow_GetAppInfo(hWnd);
  const SearchRequest* request = reinterpret_cast<const SearchRequest*>(lParam);
  if (!app || !app->hEditor || !SearchRequest_IsReadable(request, true)) return 0;
  TextEditor_ReplaceSelection(app->hEditor, request->pszReplace, request->nReplaceLength, true);
  return 0;
}

LRESULT SearchRequest_OnReplaceAll(HWND hWnd, WPARAM, LPARAM lParam) {
  AppInfo* app = MainWindow_GetAppInfo(hWnd);
  const SearchRequest* request = reinterpret_cast<const SearchRequest*>(lParam);
  if (!app || !app->hEditor || !SearchRequest_IsReadable(request, true) || request->nFindLength == 0) return 0;
  int32_t count = 0;
  int32_t status = SEARCH_NOTFOUND;
  bool done = TextEditor_ReplaceAll(app->hEditor, request->pszReplace, request->nReplaceLength, request->pszFind,
                                    request->nFindLength, request->nOptions, &count, &status);
  if (done && count > 0) return 0;
  char pattern[kSearchRequestTextMax + 1];
  SearchText_Store(pattern, sizeof(pattern), request->pszFind, request->nFindLength);
  ReportFailure(MessageOwner(hWnd, request), pattern, done ? SEARCH_NOTFOUND : status);
  return 0;
}

LRESULT SearchCommand_Find(AppInfo* app, WPARAM, LPARAM) {
  FindDialog_Show(&app->nFindMode, app->hWnd);
  return 0;
}

LRESULT SearchCommand_Replace(AppInfo* app, WPARAM, LPARAM) {
  ReplaceDialog_Show(&app->nFindMode, app->hWnd);
  return 0;
}

LRESULT SearchCommand_FindNext(AppInfo* app, WPARAM, LPARAM) { return RepeatSearch(app, kSearchMsgFindNext); }

LRESULT SearchCommand_FindPrev(AppInfo* app, WPARAM, LPARAM) { return RepeatSearch(app, kSearchMsgFindPrev); }

LRESULT SearchCommand_FindSelectedNext(AppInfo* app, WPARAM, LPARAM) {
  return SearchSelection(app, kSearchMsgFindNext);
}

LRESULT SearchCommand_FindSelectedPrev(AppInfo* app, WPARAM, LPARAM) {
  return SearchSelection(app, kSearchMsgFindPrev);
}

LRESULT SearchCommand_GoToLine(AppInfo* app, WPARAM, LPARAM) {
  int32_t nLines = TextEditor_GetLineCount(app->hEditor);
  if (nLines < 1) return 0;
  // The caret's line in the document (its display row differs when wrapping).
  POINT pos = TextEditor_GetCaret(app->hEditor);
  if (!ShowGoToLineDialog(app->hWnd, nLines, &pos)) return 0;
  TextEditor_SetCaret(app->hEditor, POINT{0, GoToLine_Clamp(pos.y, nLines)}, true);
  return 0;
}
