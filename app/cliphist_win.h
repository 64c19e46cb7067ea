// The clipboard history on the main window: the list of texts that passed
// through the system clipboard while the program ran (AppInfo's
// pClipboardHistory, also kept in the window property "PROP_CLIPBOARDHISTORY";
// at most 36, the newest first), the clipboard viewer chain that collects
// them, the popup menus that offer them and pasting one.
#pragma once

#include "app/appdata.h"
#include "tools/platform.h"

// Makes the empty history, attaches it and joins the clipboard viewer chain
// (the system then reports the clipboard's present text at once). False when
// memory runs out: the program then runs without a history.
bool ClipHistory_Create(AppInfo* app);
// Leaves the viewer chain, frees the history and removes the property.
void ClipHistory_Destroy(AppInfo* app);

// WM_DRAWCLIPBOARD: the clipboard's text, whatever program put it there and
// whatever its block holds, joins the history; the message goes on down the chain.
void ClipHistory_OnDrawClipboard(AppInfo* app, WPARAM wParam, LPARAM lParam);
// WM_CHANGECBCHAIN: the chain mended when the next viewer leaves, passed on.
void ClipHistory_OnChangeChain(AppInfo* app, WPARAM wParam, LPARAM lParam);

// The entries in place of the popup's placeholder item (40147) or of the
// entries an earlier fill put there; with an empty history the grayed
// placeholder stays or comes back. A popup with neither is left alone.
void ClipHistory_FillPopup(const AppInfo* app, HMENU hPopup);

// Command 40114: the history popup beside the caret.
LRESULT ClipHistory_ShowAtCaret(AppInfo* app, WPARAM wParam, LPARAM lParam);
// The history popup at the mouse cursor (the editor's context menu with Shift).
void ClipHistory_ShowAtCursor(AppInfo* app);
// Command 32769 + index: the entry replaces the selection; nothing for an
// entry that is not there.
LRESULT ClipHistory_PasteEntry(AppInfo* app, WPARAM wParam, LPARAM lParam);
