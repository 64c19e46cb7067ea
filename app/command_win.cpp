#include "app/command_win.h"

#include "app/aboutcmd_win.h"
#include "app/cliphist_win.h"
#include "app/command.h"
#include "app/docfile_win.h"
#include "app/editcmd_win.h"
#include "app/printcmd_win.h"
#include "app/reopen_win.h"
#include "app/searchcmd_win.h"
#include "app/setcmd_win.h"
#include "app/viewcmd_win.h"
#include "editctrl/editctrl.h"
#include "editctrl/prnttext_win.h"
#include "res/resource.h"
#include "tools/toolwind_win.h"

namespace {

// The commands that have a name, a help text and a key binding but nothing
// to do in the main window.
LRESULT DoNothing(AppInfo*, WPARAM, LPARAM) { return 0; }

// One row for every row of the command table (app/command.h), in its order.
constexpr CommandHandlerRow kHandlers[] = {
    {IDM_NEW, FileCommand_New},
    {IDM_OPEN, FileCommand_Open},
    {IDM_SAVE, FileCommand_Save},
    {IDM_SAVEAS, FileCommand_SaveAs},
    {IDM_EXIT, FileCommand_Exit},
    {IDM_SAVEEXIT, FileCommand_SaveAndExit},
    {IDM_UNDO, EditCommand_Undo},
    {IDM_REDO, EditCommand_Redo},
    {IDM_CUT, EditCommand_Cut},
    {IDM_COPY, EditCommand_Copy},
    {IDM_PASTE, EditCommand_Paste},
    {IDM_DELETE, EditCommand_Delete},
    {IDM_SELECTALL, EditCommand_SelectAll},
    {IDM_SELECTLINES, EditCommand_SelectLines},
    {IDM_SELECTWORD, EditCommand_SelectWord},
    {IDM_FIND, SearchCommand_Find},
    {IDM_FINDNEXT, SearchCommand_FindNext},
    {IDM_FINDPREV, SearchCommand_FindPrev},
    {IDM_FINDSELNEXT, SearchCommand_FindSelectedNext},
    {IDM_FINDSELPREV, SearchCommand_FindSelectedPrev},
    {IDM_REPLACE, SearchCommand_Replace},
    {IDM_GOTOLINE, SearchCommand_GoToLine},
    {IDM_STATUSBAR, ViewCommand_StatusBar},
    {IDM_MINIMIZE, ViewCommand_Minimize},
    {IDM_MAXIMIZE, ViewCommand_Maximize},
    {IDM_RESTORE, ViewCommand_Restore},
    {IDM_TOPMOST, ViewCommand_AlwaysOnTop},
    {IDM_SHOWTAB, ViewCommand_Toggle},
    {IDM_SHOWSPACE, ViewCommand_Toggle},
    {IDM_SHOWZENSPACE, ViewCommand_Toggle},
    {IDM_SHOWLINEEND, ViewCommand_Toggle},
    {IDM_SHOWEOF, ViewCommand_Toggle},
    {IDM_ABOUT, HelpCommand_About},
    {IDM_SETTINGS, SettingsCommand_Settings},
    {IDM_DISPLAYSETTINGS, SettingsCommand_Display},
    {IDM_FONT, ViewCommand_Font},
    {IDM_KEYASSIGN, SettingsCommand_KeyAssign},
    {IDM_SAVESETTINGS, DoNothing},
    {IDM_FRAME3D, ViewCommand_Frame3D},
    {IDM_LOWER, EditCommand_Convert},
    {IDM_UPPER, EditCommand_Convert},
    {IDM_SWAPCASE, EditCommand_Convert},
    {IDM_TOFULL, EditCommand_Convert},
    {IDM_TOHALF, EditCommand_Convert},
    {IDM_TOFULLALPHA, EditCommand_Convert},
    {IDM_TOHALFALPHA, EditCommand_Convert},
    {IDM_TOFULLDIGIT, EditCommand_Convert},
    {IDM_TOHALFDIGIT, EditCommand_Convert},
    {IDM_TOFULLSYMBOL, EditCommand_Convert},
    {IDM_TOHALFSYMBOL, EditCommand_Convert},
    {IDM_TOFULLKANA, EditCommand_Convert},
    {IDM_TOHALFKANA, EditCommand_Convert},
    {IDM_NOTHING, DoNothing},
    {IDM_PASTEHISTORY, ClipHistory_ShowAtCaret},
    {IDM_IME, EditCommand_ToggleIme},
    {IDM_INSERTDATE, EditCommand_InsertDate},
    {IDM_WRAP, ViewCommand_Toggle},
    {IDM_LINENUMBER, ViewCommand_Toggle},
    {IDM_REVERT, EditCommand_UndoAll},
    {IDM_PRINT, PrintCommand_Print},
    {IDM_READONLY, EditCommand_ToggleReadOnly},
    {IDM_PAGESETUP, PrintCommand_PageSetup},
    {IDM_ATBACK, ViewCommand_AlwaysAtBack},
    {IDM_INSERTFILE, FileCommand_InsertFile},
    {IDM_COPYNAME, EditCommand_CopyName},
    {IDM_INSERTNAME, EditCommand_InsertName},
    {IDM_INDENT, EditCommand_Indent},
    {IDM_UNINDENT, EditCommand_Unindent},
    {IDM_DOCSTART, EditCommand_DocumentStart},
    {IDM_DOCEND, EditCommand_DocumentEnd},
    {IDM_LINESTART, EditCommand_LineStart},
    {IDM_LINEEND, EditCommand_LineEnd},
    {IDM_RELOAD, FileCommand_Reload},
    {IDM_HISTORYNONE, DoNothing},
    {IDM_OPENFOLDER, EditCommand_OpenFolder},
    {IDM_FULLSCREEN, ViewCommand_FullScreen},
    {IDM_REOPENSJIS, FileCommand_ReopenAsShiftJis},
};

constexpr bool IsSortedById() {
  for (size_t i = 1; i < sizeof(kHandlers) / sizeof(kHandlers[0]); ++i) {
    if (kHandlers[i - 1].id >= kHandlers[i].id) return false;
  }
  return true;
}
static_assert(IsSortedById(), "the handler table is sorted by id");

// The default handlers of ids without a row, tried in this order; each that
// claims the id runs. The conversions have rows of their own.
struct DefaultHandlerRow {
  CommandKind kind;
  CommandHandler pfnHandler;
};
constexpr DefaultHandlerRow kDefaultHandlers[] = {
    {CMDKIND_CLIPBOARD_HISTORY, ClipHistory_PasteEntry},
    {CMDKIND_LOAD_HISTORY, FileCommand_OpenHistoryEntry},
};

CommandState GatherState(const AppInfo* app) {
  CommandState s = {};
  HWND hEditor = app->hEditor;
  s.bCanUndo = TextEditor_CanUndo(hEditor);
  s.bCanRedo = TextEditor_CanRedo(hEditor);
  s.bClipboardText = IsClipboardFormatAvailable(CF_TEXT) != FALSE;
  s.bLastSearch = app->szLastSearch[0] != '\0';
  s.bSelection = TextEditor_HasSelection(hEditor);
  s.bReadOnly = TextEditor_GetReadOnly(hEditor);
  s.bReadOnlyForEncoding = s.bReadOnly && app->encodingGuard.bGuarding;
  s.bConvertible = app->szPath[0] != '\0' && EncGuard_CanConvert(&app->encodingGuard);
  s.bMaximized = IsZoomed(app->hWnd) != FALSE;
  s.bMinimized = IsIconic(app->hWnd) != FALSE;
  EditorSettings settings;
  if (TextEditor_GetSettings(hEditor, &settings)) {
    s.bChecked[CMDCHECK_LINE_NUMBER] = settings.bLineNumber != 0;
    s.bChecked[CMDCHECK_WRAP] = settings.bWrap != 0;
    s.bChecked[CMDCHECK_TAB] = settings.style.bShowTab != 0;
    s.bChecked[CMDCHECK_SPACE] = settings.style.bShowSpace != 0;
    s.bChecked[CMDCHECK_ZEN_SPACE] = settings.style.bShowZenSpace != 0;
    s.bChecked[CMDCHECK_LINE_END] = settings.style.bShowLineEnd != 0;
    s.bChecked[CMDCHECK_EOF] = settings.style.bShowEof != 0;
  }
  s.bChecked[CMDCHECK_FRAME3D] = (GetWindowLongPtrA(hEditor, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0;
  s.bChecked[CMDCHECK_TOPMOST] = (GetWindowLongPtrA(app->hWnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
  s.bChecked[CMDCHECK_AT_BACK] = app->bAlwaysAtBack != 0;
  s.bChecked[CMDCHECK_FULL_SCREEN] = ViewCommand_IsFullScreen(app->hWnd);
  s.bChecked[CMDCHECK_STATUS_BAR] = app->hStatusBar && IsWindowVisible(app->hStatusBar);
  s.bChecked[CMDCHECK_READ_ONLY] = s.bReadOnly;
  return s;
}

// The items after About are reached by keys only.
void CutAfterAbout(HMENU hPopup) {
  int nAbout = Menu_FindPosition(hPopup, IDM_ABOUT);
  if (nAbout < 0) return;
  while (GetMenuItemCount(hPopup) > nAbout + 1) DeleteMenu(hPopup, nAbout + 1, MF_BYPOSITION);
}

// Only items the rules speak of are touched: the system's own items of the
// window menu keep the state the system gave them.
void ApplyRules(HMENU hPopup, int nPos, const CommandState* state) {
  UINT id = GetMenuItemID(hPopup, nPos);
  if (id == static_cast<UINT>(-1) || id == 0) return;  // a submenu or a separator
  const CommandInfo* info = Command_Find(static_cast<int32_t>(id));
  bool ruled = info ? info->nRules != 0 : Command_Classify(static_cast<int32_t>(id)) != CMDKIND_OTHER;
  CommandMenuState ms = Command_MenuState(static_cast<int32_t>(id), state);
  if (ruled) EnableMenuItem(hPopup, nPos, MF_BYPOSITION | (ms.bEnabled ? MF_ENABLED : MF_GRAYED));
  if (info && info->check != CMDCHECK_NONE) {
    CheckMenuItem(hPopup, nPos, MF_BYPOSITION | (ms.bChecked ? MF_CHECKED : MF_UNCHECKED));
  }
}

}  // namespace

const CommandHandlerRow* Command_GetHandlers(int32_t* pnCount) {
  *pnCount = static_cast<int32_t>(sizeof(kHandlers) / sizeof(kHandlers[0]));
  return kHandlers;
}

CommandHandler Command_FindHandler(int32_t id) {
  for (const CommandHandlerRow& row : kHandlers) {
    if (row.id == id) return row.pfnHandler;
  }
  return nullptr;
}

LRESULT Command_Dispatch(AppInfo* app, WPARAM wParam, LPARAM lParam) {
  // While a job prints, no command of a menu or a key runs: any of them could
  // change the document the job reads, or free it. (A control's notices, which
  // carry its window, pass.)
  if (lParam == 0 && PrintCommand_RefuseWhilePrinting()) return 0;
  int32_t id = LOWORD(wParam);
  CommandHandler handler = Command_FindHandler(id);
  if (handler) return handler(app, wParam, lParam);
  HWND hWnd = app->hWnd;
  CommandKind kind = Command_Classify(id);
  bool handled = false;
  LRESULT result = 0;
  for (const DefaultHandlerRow& row : kDefaultHandlers) {
    if (row.kind != kind) continue;
    result = row.pfnHandler(app, wParam, lParam);
    handled = true;
  }
  // A handler may have closed the window.
  LRESULT byDefault = IsWindow(hWnd) ? DefWindowProcA(hWnd, WM_COMMAND, wParam, lParam) : 0;
  return handled ? result : byDefault;
}

void Command_InitMenuPopup(AppInfo* app, HMENU hPopup, bool bSystemMenu) {
  CutAfterAbout(hPopup);
  // The entries first, so that the rules below gray them too while read-only.
  ClipHistory_FillPopup(app, hPopup);
  int n = GetMenuItemCount(hPopup);
  if (!bSystemMenu) {
    for (int i = 0; i < n; ++i) EnableMenuItem(hPopup, i, MF_BYPOSITION | MF_ENABLED);
  }
  CommandState state = GatherState(app);
  for (int i = 0; i < n; ++i) ApplyRules(hPopup, i, &state);
  // Nothing can be chosen while a job prints (the dispatch refuses it).
  if (!bSystemMenu && PrintText_IsPrinting()) {
    for (int i = 0; i < n; ++i) EnableMenuItem(hPopup, i, MF_BYPOSITION | MF_GRAYED);
  }
}
