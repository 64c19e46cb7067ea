#include "app/cliphist_win.h"

#include <cstring>

#include "app/editcmd.h"
#include "app/editcmd_win.h"
#include "app/histmenu.h"
#include "editctrl/editctrl.h"
#include "res/resource.h"
#include "tools/clipboard_win.h"
#include "tools/history.h"
#include "tools/memory.h"
#include "tools/toolwind_win.h"

namespace {

const char kPropClipboardHistory[] = "PROP_CLIPBOARDHISTORY";

bool IsHistoryItem(UINT id) {
  return id == static_cast<UINT>(IDM_HISTORYNONE) || ClipboardHistory_IndexFromId(static_cast<int32_t>(id)) >= 0;
}

// Where the entries go: the first placeholder or entry of the popup, all of
// them deleted; -1 when the popup has none.
int TakeOutHistoryItems(HMENU hPopup) {
  int nAt = -1;
  for (int i = GetMenuItemCount(hPopup) - 1; i >= 0; --i) {
    if (!IsHistoryItem(GetMenuItemID(hPopup, i))) continue;
    DeleteMenu(hPopup, static_cast<UINT>(i), MF_BYPOSITION);
    nAt = i;
  }
  return nAt;
}

void PassOn(const AppInfo* app, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  if (app->hNextViewer && app->hNextViewer != app->hWnd) SendMessageA(app->hNextViewer, uMsg, wParam, lParam);
}

// Menu resource 141's history popup at a screen point; the chosen entry
// arrives as WM_COMMAND.
void ShowAt(AppInfo* app, POINT pt) {
  HMENU hMenu = LoadMenuA(app->hInstance, MAKEINTRESOURCEA(IDM_CONTEXTMENU));
  if (!hMenu) return;
  HMENU hPopup = GetSubMenu(hMenu, IDM_CONTEXT_CLIPBOARD);
  if (hPopup) {
    ClipHistory_FillPopup(app, hPopup);
    SetForegroundWindow(app->hWnd);
    TrackPopupMenuEx(hPopup, TPM_RIGHTBUTTON, pt.x, pt.y, app->hWnd, nullptr);
  }
  DestroyMenu(hMenu);
}

}  // namespace

bool ClipHistory_Create(AppInfo* app) {
  QWIL_ASSERT(!app->pClipboardHistory);
  History* history = History_Create(kClipboardHistoryMax);
  if (history && !SetPropA(app->hWnd, kPropClipboardHistory, history)) {
    History_Destroy(history);
    history = nullptr;
  }
  app->pClipboardHistory = history;
  // Joining sends WM_DRAWCLIPBOARD before it returns; the next viewer is not
  // known yet then, and that first message is not passed on.
  app->hNextViewer = nullptr;
  HWND hNext = SetClipboardViewer(app->hWnd);
  app->hNextViewer = hNext == app->hWnd ? nullptr : hNext;
  return history != nullptr;
}

void ClipHistory_Destroy(AppInfo* app) {
  ChangeClipboardChain(app->hWnd, app->hNextViewer);
  app->hNextViewer = nullptr;
  RemovePropA(app->hWnd, kPropClipboardHistory);
  History_Destroy(app->pClipboardHistory);
  app->pClipboardHistory = nullptr;
}

void ClipHistory_OnDrawClipboard(AppInfo* app, WPARAM wParam, LPARAM lParam) {
  History* history = app->pClipboardHistory;
  if (history) {
    // The copy ends with a zero byte of its own: the text is what stands
    // before the first one, within the block whatever it holds.
    char* text = Clipboard_GetData(app->hWnd, CF_TEXT, nullptr);
    if (text && text[0] != '\0') History_Add(history, text);
    Mem_Free(text);
  }
  PassOn(app, WM_DRAWCLIPBOARD, wParam, lParam);
}

void ClipHistory_OnChangeChain(AppInfo* app, WPARAM wParam, LPARAM lParam) {
  HWND hLeaving = reinterpret_cast<HWND>(wParam);
  HWND hAfter = reinterpret_cast<HWND>(lParam);
  if (hLeaving == app->hNextViewer) {
    app->hNextViewer = hAfter == app->hWnd ? nullptr : hAfter;
    return;
  }
  PassOn(app, WM_CHANGECBCHAIN, wParam, lParam);
}

void ClipHistory_FillPopup(const AppInfo* app, HMENU hPopup) {
  int nAt = TakeOutHistoryItems(hPopup);
  if (nAt < 0) return;
  const History* history = app->pClipboardHistory;
  int32_t n = history ? History_GetCount(history) : 0;
  if (n == 0) {
    InsertMenuA(hPopup, static_cast<UINT>(nAt), MF_BYPOSITION | MF_STRING | MF_GRAYED, IDM_HISTORYNONE, "(なし)");
    return;
  }
  for (int32_t i = 0; i < n; ++i) {
    char text[kClipboardMenuTextSize];
    ClipboardHistory_FormatMenuText(History_GetEntry(history, i), i, text, sizeof(text));
    InsertMenuA(hPopup, static_cast<UINT>(nAt + i), MF_BYPOSITION | MF_STRING,
                static_cast<UINT_PTR>(kClipboardHistoryFirstId + i), text);
  }
}

LRESULT ClipHistory_ShowAtCaret(AppInfo* app, WPARAM, LPARAM) {
  POINT caret = {0, 0};
  GetCaretPos(&caret);
  RECT client;
  GetClientRect(app->hEditor, &client);
  POINT pt = ClipboardHistory_PopupPoint(caret, client);
  ClientToScreen(app->hEditor, &pt);
  ShowAt(app, pt);
  return 0;
}

void ClipHistory_ShowAtCursor(AppInfo* app) {
  POINT pt;
  if (GetCursorPos(&pt)) ShowAt(app, pt);
}

LRESULT ClipHistory_PasteEntry(AppInfo* app, WPARAM wParam, LPARAM) {
  const History* history = app->pClipboardHistory;
  int32_t index = ClipboardHistory_IndexFromId(LOWORD(wParam));
  const char* entry = history && index >= 0 ? History_GetEntry(history, index) : nullptr;
  if (entry) EditCommand_ReplaceSelection(app, entry, std::strlen(entry));
  return 0;
}
