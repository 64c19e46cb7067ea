// Searching from the main window: the search requests, which the find and
// replace dialogs send as messages (WM_USER + 5 to + 8) and the search
// commands make themselves, and the commands 40031 to 40036. A search that
// finds nothing says so; one the engine gives up on says that instead, and
// changes nothing.
#pragma once

#include "app/appdata.h"
#include "dialogs/searchreq.h"
#include "tools/platform.h"

// The requests, checked before they are read (a message's lParam may come
// from anyone). Find next and previous make the search string the last one
// and return 1 when a match was selected, else 0. Replace puts the
// replacement over the selection (one undo step); replace all replaces every
// match (each its own undo step). Both return 0.
LRESULT SearchRequest_FindNext(AppInfo* app, const SearchRequest* request);
LRESULT SearchRequest_FindPrev(AppInfo* app, const SearchRequest* request);
LRESULT SearchRequest_Replace(AppInfo* app, const SearchRequest* request);
LRESULT SearchRequest_ReplaceAll(AppInfo* app, const SearchRequest* request);

// 40031 the find dialog, 40036 the replace dialog (both on app->nFindMode,
// which takes the options of their last request, and on the histories of the
// settings file, read before and written after);
// 40032 and 40033 the last search string again, forward and backward (nothing
// before the first search); 40034 and 40035 the selected text (up to 1023
// bytes, cut between characters), searched for literally.
LRESULT SearchCommand_Find(AppInfo* app, WPARAM wParam, LPARAM lParam);
LRESULT SearchCommand_FindNext(AppInfo* app, WPARAM wParam, LPARAM lParam);
LRESULT SearchCommand_FindPrev(AppInfo* app, WPARAM wParam, LPARAM lParam);
LRESULT SearchCommand_FindSelectedNext(AppInfo* app, WPARAM wParam, LPARAM lParam);
LRESULT SearchCommand_FindSelectedPrev(AppInfo* app, WPARAM wParam, LPARAM lParam);
LRESULT SearchCommand_Replace(AppInfo* app, WPARAM wParam, LPARAM lParam);

// The texts of the messages.
extern const char kSearchCaption[];          // "検索"
extern const char kSearchTooComplexText[];
extern const char kSearchNoMemoryText[];
// "「TEXT」は見つかりませんでした。", the text cut between characters.
int32_t SearchMessage_FormatNotFound(const char* text, char* buffer, int32_t size);

// 40041: the go-to-line dialog on the caret's line; the number chosen is
// clamped into the document and the caret goes to the start of that line.
LRESULT SearchCommand_GoToLine(AppInfo* app, WPARAM wParam, LPARAM lParam);
