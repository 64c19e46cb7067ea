#include "app/searchcmd_win.h"

#include <cstring>

#include "app/appbusy_win.h"
#include "app/appdata_win.h"
#include "app/findhist.h"
#include "dialogs/finddlg_win.h"
#include "dialogs/gotoline.h"
#include "dialogs/gotoline_win.h"
#include "editctrl/editctrl.h"
#include "tools/debuglog.h"
#include "tools/history.h"
#include "tools/memory.h"
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
    case SEARCH_STOPPED: return;  // the user pressed Escape: nothing to tell
    default:
      // Refused (read-only): the editor refuses every edit without a word.
      MessageBeep(MB_OK);
      return;
  }
}

typedef bool (*EditorFind)(HWND, const char*, int32_t, uint32_t, int32_t*, const TextProgress*);

LRESULT ReceiveFind(AppInfo* app, const SearchRequest* request, EditorFind pfnFind) {
  if (!app->hEditor || !SearchRequest_IsReadable(request, false)) return 0;
  int32_t n = SearchText_Store(app->szLastSearch, sizeof(app->szLastSearch), request->pszFind,
                               request->nFindLength);
  if (n == 0) return 0;
  int32_t status = SEARCH_NOTFOUND;
  const TextProgress* progress = AppBusy_Begin(app, BUSY_FIND, AppInfo_GetDocumentName(app));
  bool found = pfnFind(app->hEditor, app->szLastSearch, n, request->nOptions, &status, progress);
  if (progress) AppBusy_End(app);
  if (found) return 1;
  ReportFailure(MessageOwner(app->hWnd, request), app->szLastSearch, status);
  return 0;
}

bool FindNextAdapter(HWND h, const char* p, int32_t n, uint32_t o, int32_t* s, const TextProgress* progress) {
  return TextEditor_FindNext(h, p, n, o, s, progress);
}
bool FindPrevAdapter(HWND h, const char* p, int32_t n, uint32_t o, int32_t* s, const TextProgress* progress) {
  return TextEditor_FindPrev(h, p, n, o, s, progress);
}

typedef LRESULT (*SearchReceiver)(AppInfo* app, const SearchRequest* request);

LRESULT Search(AppInfo* app, SearchReceiver pfnReceive, const char* text, int32_t n, uint32_t options) {
  SearchRequest request = {nullptr, options, text, n, nullptr, -1};
  return pfnReceive(app, &request);
}

LRESULT RepeatSearch(AppInfo* app, SearchReceiver pfnReceive) {
  if (app->szLastSearch[0] == '\0') return 0;
  Search(app, pfnReceive, app->szLastSearch, static_cast<int32_t>(std::strlen(app->szLastSearch)), app->nFindMode);
  return 0;
}

LRESULT SearchSelection(AppInfo* app, SearchReceiver pfnReceive) {
  char text[kSearchRequestTextMax];
  int32_t n = TextEditor_GetSelectedText(app->hEditor, text, sizeof(text));
  // A longer selection is cut where a character would be split.
  n = n > 0 ? String_CutLength(text, n, kSearchRequestTextMax) : 0;
  // Without a selection there is nothing to look for, and the last search
  // string is kept.
  if (n == 0) return 0;
  Search(app, pfnReceive, text, n, app->nFindMode & ~SF_REGEXP);
  return 0;
}

// The first line of the selection, or null.
char* ProposedText(HWND hEditor) {
  if (!hEditor || !TextEditor_HasSelection(hEditor)) return nullptr;
  char selected[kSearchRequestTextMax];
  int32_t n = TextEditor_GetSelectedText(hEditor, selected, sizeof(selected));
  n = SearchText_ProposedLength(selected, n);
  if (n == 0) return nullptr;
  char* text = static_cast<char*>(Mem_Alloc(static_cast<size_t>(n) + 1));
  if (!text) return nullptr;
  SearchText_Store(text, n + 1, selected, n);
  return text;
}

void SaveHistories(const FindDialogData* data, const ProfileMethods* methods) {
  if (!FindHistory_Write(data->findHistory, methods, kFindHistorySection)) {
    QWIL_LOG("the find history could not be written");
  }
  if (!FindHistory_Write(data->replaceHistory, methods, kReplaceHistorySection)) {
    QWIL_LOG("the replace history could not be written");
  }
}

// The dialog on the histories of the settings file and the option word; the
// options of its last request are the ones F3 and the settings file see.
void RunFindDialog(AppInfo* app, bool (*pfnShow)(HINSTANCE, FindDialogData*)) {
  ProfileFile file;
  AppData_OpenProfile(app, &file);
  char* initial = ProposedText(app->hEditor);
  FindDialogData data = {app->hWnd, app->nFindMode, initial,
                         FindHistory_Read(&file.methods, kFindHistorySection),
                         FindHistory_Read(&file.methods, kReplaceHistorySection)};
  if (data.findHistory && data.replaceHistory) {
    pfnShow(app->hInstance, &data);
    app->nFindMode = data.nOptions;
    SaveHistories(&data, &file.methods);
  }
  History_Destroy(data.findHistory);
  History_Destroy(data.replaceHistory);
  Mem_Free(initial);
}

}  // namespace

LRESULT SearchRequest_FindNext(AppInfo* app, const SearchRequest* request) {
  return ReceiveFind(app, request, FindNextAdapter);
}

LRESULT SearchRequest_FindPrev(AppInfo* app, const SearchRequest* request) {
  return ReceiveFind(app, request, FindPrevAdapter);
}

LRESULT SearchRequest_Replace(AppInfo* app, const SearchRequest* request) {
  if (!app->hEditor || !SearchRequest_IsReadable(request, true)) return 0;
  TextEditor_ReplaceSelection(app->hEditor, request->pszReplace, request->nReplaceLength, true);
  return 0;
}

LRESULT SearchRequest_ReplaceAll(AppInfo* app, const SearchRequest* request) {
  if (!app->hEditor || !SearchRequest_IsReadable(request, true) || request->nFindLength == 0) return 0;
  int32_t count = 0;
  int32_t status = SEARCH_NOTFOUND;
  const TextProgress* progress = AppBusy_Begin(app, BUSY_REPLACE_ALL, AppInfo_GetDocumentName(app));
  bool done = TextEditor_ReplaceAll(app->hEditor, request->pszReplace, request->nReplaceLength, request->pszFind,
                                    request->nFindLength, request->nOptions, &count, &status, progress);
  if (progress) AppBusy_End(app);
  if (done && count > 0) return 0;
  char pattern[kSearchRequestTextMax + 1];
  SearchText_Store(pattern, sizeof(pattern), request->pszFind, request->nFindLength);
  ReportFailure(MessageOwner(app->hWnd, request), pattern, done ? SEARCH_NOTFOUND : status);
  return 0;
}

LRESULT SearchCommand_Find(AppInfo* app, WPARAM, LPARAM) {
  RunFindDialog(app, FindDialog_Show);
  return 0;
}

LRESULT SearchCommand_Replace(AppInfo* app, WPARAM, LPARAM) {
  RunFindDialog(app, ReplaceDialog_Show);
  return 0;
}

LRESULT SearchCommand_FindNext(AppInfo* app, WPARAM, LPARAM) { return RepeatSearch(app, SearchRequest_FindNext); }

LRESULT SearchCommand_FindPrev(AppInfo* app, WPARAM, LPARAM) { return RepeatSearch(app, SearchRequest_FindPrev); }

LRESULT SearchCommand_FindSelectedNext(AppInfo* app, WPARAM, LPARAM) {
  return SearchSelection(app, SearchRequest_FindNext);
}

LRESULT SearchCommand_FindSelectedPrev(AppInfo* app, WPARAM, LPARAM) {
  return SearchSelection(app, SearchRequest_FindPrev);
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
