// Window helpers shared by the program's windows and dialogs.
#pragma once

#include "tools/platform.h"

// The icon the shell shows for the program's own file, large or small; null when
// there is none. The caller owns it (DestroyIcon).
HICON Module_GetShellIcon(HINSTANCE hInstance, bool bSmall);

// The module's first icon, large or small: the one the shell shows for the
// program's file, read from the module itself rather than through the shell
// (whose first call costs the start-up tens of milliseconds). Null when the
// module has none; the caller owns it.
HICON Module_GetOwnIcon(HINSTANCE hInstance, bool bSmall);

// Registers a window class with the program file's large and small icons,
// no cursor of its own, the stock object as background brush and the menu
// resource (0 for none) as class menu. Returns the class atom, 0 on failure.
ATOM Window_RegisterClass(HINSTANCE hInstance, const char* pszClassName, WNDPROC pfnWndProc, UINT nClassStyle,
                          UINT nMenuId, int nStockObject);
// The same with nWndExtra bytes of window data.
ATOM Window_RegisterClassExtra(HINSTANCE hInstance, const char* pszClassName, WNDPROC pfnWndProc, UINT nClassStyle,
                               UINT nMenuId, int nStockObject, int nWndExtra);

// Sounds the beep of the type's icon (type & MB_ICONMASK), then shows the message
// box; the button pressed (0 when the box could not be shown).
int MessageBox_Beep(HWND hOwner, const char* pszText, const char* pszCaption, UINT nType);

// Loads menu resource nMenuId, makes the owner the foreground window and tracks
// popup nIndex of it at the mouse pointer with the flags; the menu is destroyed
// afterwards. The chosen command reaches the owner as WM_COMMAND. False when the
// menu or the pointer cannot be had.
bool Menu_TrackPopupAtCursor(HINSTANCE hInstance, UINT nMenuId, int nIndex, HWND hOwner, UINT nFlags);
// The position of the item with command id nId among the menu's own items, -1
// when it has none.
int Menu_FindPosition(HMENU hMenu, UINT nId);

// ---- Dialogs: where they open, dragging by the surface, tooltips ----

// Moves the window (size and z-order kept) so that the middle of its title bar
// is under the mouse pointer, inside the work area of the pointer's monitor; a
// child window is placed in its parent's client coordinates. Nothing happens
// when the pointer or the window's rectangle cannot be had.
void Window_PlaceCaptionAtCursor(HWND hWnd);
// The same with the whole window centred on the pointer (the About box).
void Window_CenterAtCursor(HWND hWnd);

// The answer to WM_NCHITTEST that lets a dialog be dragged by any spot not
// covered by a control: the default hit test, with the client area answered as
// the caption. A dialog procedure stores it as its result:
//   case WM_NCHITTEST: return Dialog_SetResult(hDlg, Window_SurfaceHitTest(hDlg, lParam));
LRESULT Window_SurfaceHitTest(HWND hWnd, LPARAM lParam);
// Stores a dialog procedure's message result (DWLP_MSGRESULT); returns TRUE, the
// value the dialog procedure returns with it.
INT_PTR Dialog_SetResult(HWND hDlg, LRESULT lResult);
// A dialog procedure's WM_NCHITTEST handler that does just that.
INT_PTR Dialog_OnSurfaceHitTest(HWND hDlg, WPARAM wParam, LPARAM lParam);

// ---- Message tables ----
// Every window and dialog procedure of the program is a table from message to
// handler, and one of the dispatches below.

// The handler of one message: what the procedure returns for it (a window
// procedure's result; a dialog procedure's TRUE or FALSE, the result itself
// then in DWLP_MSGRESULT).
typedef LRESULT (*MessageHandler)(HWND hWnd, WPARAM wParam, LPARAM lParam);
struct MessageRow {
  UINT uMsg;
  MessageHandler pfnHandler;
};
// The table's handler of uMsg, or null.
MessageHandler Message_FindHandler(const MessageRow* table, size_t count, UINT uMsg);
// A window procedure's: the handler's result, DefWindowProcA's without a row.
LRESULT Window_Dispatch(const MessageRow* table, size_t count, HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
// A dialog procedure's: the handler's result, FALSE (not handled) without a row.
INT_PTR Dialog_Dispatch(const MessageRow* table, size_t count, HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam);

// A tooltip window that always shows, owned by hOwner and destroyed with it;
// null on failure.
HWND ToolTip_Create(HWND hOwner);
// Registers the control as a tool of the tooltip (identified by its handle, its
// messages subclassed so no relaying is needed); the tooltip copies the text.
bool ToolTip_AddTool(HWND hToolTip, HWND hOwner, HWND hControl, const char* pszText);

// A change of the window's frame styles put in force: the frame is measured and
// drawn anew, the window left where it is (place, size, z-order, activation).
void Window_ApplyFrameChange(HWND hWnd);

// ---- Moving and sizing children by a difference (parent client coordinates) ----

// Adds a move by (dx, dy), size kept, to a batch begun with BeginDeferWindowPos;
// the new batch handle (null when the batch failed and is gone).
HDWP Window_DeferMoveBy(HDWP hDwp, HWND hWnd, int dx, int dy);
HDWP Window_DeferSizeBy(HDWP hDwp, HWND hWnd, int dw, int dh);
bool Window_MoveBy(HWND hWnd, int dx, int dy);
bool Window_SizeBy(HWND hWnd, int dw, int dh);

// A heap copy of the window's text (Mem_Free it), or null.
char* Window_GetTextCopy(HWND hWnd);
