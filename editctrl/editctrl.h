// The editor control's interface: how a host window creates a TextEditorControl
// and drives it. Every function takes the control's window handle first; the
// control reports back to its parent with WM_NOTIFY (the TEN_ codes below, each
// with a TextEditorNotify record) and with WM_COMMAND of code 0x300 after every
// change of the caret, the selection or the text.
//
// Calls that change the caret, the selection or the text repaint what changed,
// scroll the caret into view and notify the parent. Editing calls are refused
// while the control is read-only (false, nothing changed, the parent still told).
#pragma once

#include <cstdint>

#include "editctrl/editbody.h"
#include "editctrl/editselect.h"
#include "editctrl/editsettings.h"
#include "editctrl/searcher.h"
#include "editctrl/textfile.h"
#include "editctrl/viewstyle.h"
#include "tools/platform.h"

extern const char kTextEditorClass[];  // "TextEditorControl"

// Notification codes of WM_NOTIFY (signed 32-bit, as NMHDR's code holds them).
constexpr int32_t TEN_DROPFILES = -65534;    // value 1: the drop handle
constexpr int32_t TEN_CONTEXTMENU = -65533;  // values: WM_CONTEXTMENU's wParam and lParam
constexpr int32_t TEN_UPDATE = -65531;       // the caret, selection, text or settings changed
constexpr int32_t TEN_KEYDOWN = -65528;      // values: the virtual key and WM_KEYDOWN's lParam
constexpr int32_t TEN_SIZE = -65526;         // values: WM_SIZE's wParam and lParam
// The notification code of the WM_COMMAND that precedes TEN_UPDATE.
constexpr UINT kTextEditorChangeCode = 0x300;

// What WM_NOTIFY's lParam points at. The values are pointer-sized, so that a drop
// handle or a window handle travels whole.
struct TextEditorNotify {
  NMHDR hdr;
  LPARAM lValue1;
  LPARAM lValue2;
};

// ---- Class and creation ----

// Registers "TextEditorControl" (double clicks, the program's icons, the null
// brush); the class atom, 0 on failure. Registering again gives the same atom.
ATOM TextEditor_RegisterClass(HINSTANCE hInstance);
void TextEditor_UnregisterClass(HINSTANCE hInstance);
// A control at (0, 0) of the given size, with WS_EX_ACCEPTFILES, WS_HSCROLL and
// WS_VSCROLL added; null when the settings are invalid or the font, the brushes
// or the editor cannot be made.
HWND TextEditor_Create(DWORD dwExStyle, DWORD dwStyle, HINSTANCE hInstance, HWND hParent, int nId, int nWidth,
                       int nHeight, const EditorSettings* settings);

// ---- Settings ----

bool TextEditor_GetSettings(HWND hWnd, EditorSettings* settings);
// Applies the flags and numbers and the view style; false (nothing changed) for
// invalid settings or when the style's brushes cannot be made.
bool TextEditor_SetSettings(HWND hWnd, const EditorSettings* settings);
void TextEditor_GetViewStyle(ViewStyle* style);
// Replaces the process-wide view style (its brushes, and its font when the
// LOGFONT changed); with redraw the control is repainted.
bool TextEditor_SetViewStyle(const ViewStyle* style, HWND hWnd, bool bRedraw);
// A new font: measured, laid out, the caret made anew. False (old font kept) when
// it cannot be made or measured.
bool TextEditor_SetFont(HWND hWnd, const LOGFONTA* logfont);
// The control is drawn at another DPI (the window moved to another display): the
// font, whose height the style gives for 96 DPI, is made anew for it and measured,
// the text laid out and the caret made anew in its scaled width. False (old font
// kept) when the font cannot be made or measured.
bool TextEditor_SetDpi(HWND hWnd, int32_t nDpi);
bool TextEditor_SetReadOnly(HWND hWnd, bool bReadOnly);  // the previous value
bool TextEditor_GetReadOnly(HWND hWnd);

// ---- Text and state ----

int32_t TextEditor_GetLineCount(HWND hWnd);
// Bytes of all lines plus 2 for every line end.
int32_t TextEditor_GetTextLength(HWND hWnd);
int32_t TextEditor_GetSelectedLength(HWND hWnd);
// Copies at most size bytes of the selected text (lines joined by CR LF); no
// terminator is written. Returns the bytes copied.
int32_t TextEditor_GetSelectedText(HWND hWnd, char* buffer, int32_t size);
void TextEditor_GetSelection(HWND hWnd, POINT* pStart, POINT* pEnd);  // ordered
bool TextEditor_HasSelection(HWND hWnd);
// The caret (anchor stays apart): the moving end of the selection.
POINT TextEditor_GetCaret(HWND hWnd);
bool TextEditor_GetCaretInfo(HWND hWnd, EditCaretInfo* info);
bool TextEditor_CanUndo(HWND hWnd);
bool TextEditor_CanRedo(HWND hWnd);
bool TextEditor_GetModified(HWND hWnd);
void TextEditor_SetModified(HWND hWnd, bool bModified);
// The document itself, for a reader that walks its lines (the crash recovery's
// snapshots) between two changes: its lookups may move the document's cache,
// nothing else of it may change. It stays the control's and is valid until
// the control's next change of the text; null for a window that is no control.
TextData* TextEditor_GetDocument(HWND hWnd);

// ---- Watching the document ----

// A watcher (editctrl/editbody.h, EditWatcher) is told of every change of the
// document after it is made: each edit, undo and redo step and replacement,
// and a new document loaded or adopted. Up to kEditWatcherMax watch at once,
// each told in the order it came. The control keeps a copy of the record; its
// context must live until the watcher is removed or the control destroyed.
// False when the watcher is there already, the list is full, or hWnd is no
// control.
bool TextEditor_AddWatcher(HWND hWnd, const EditWatcher* watcher);
// The watcher with the same function and context stops watching; false when
// it was not watching.
bool TextEditor_RemoveWatcher(HWND hWnd, const EditWatcher* watcher);

// ---- Editing ----

// The file's text (or an empty document for a null path) replaces the document;
// false when read-only or when the file cannot be read, the old document then
// kept. *pStatus (optional) tells why. progress (optional; tools/progress.h)
// hears of every slice read and may stop the load (TEXTFILE_CANCELLED), which
// keeps the old document as it was.
bool TextEditor_LoadFile(HWND hWnd, const char* path, TextFileStatus* pStatus = nullptr,
                         const TextProgress* progress = nullptr);
// text (the control then owns it) replaces the document as loading does:
// caret, view, undo and the modified flag reset. False when read-only, text
// then still the caller's.
bool TextEditor_AdoptText(HWND hWnd, TextData* text);
// Writes every line, CR LF between them; false unless every byte was written.
// progress (optional) hears of the bytes written.
bool TextEditor_SaveFile(HWND hWnd, const char* path, TextFileStatus* pStatus = nullptr,
                         const TextProgress* progress = nullptr);
// The selection replaced by length bytes as one undoable edit; the caret ends
// behind the new text, and with collapse the anchor too (else it stays, keeping
// the new text selected). False when refused (read-only, out of memory, a
// document that would grow too large) or when nothing was to change.
bool TextEditor_ReplaceSelection(HWND hWnd, const char* text, int32_t length, bool bCollapse);
// Each collapses the selection first. False when there was nothing to do or it
// was refused.
bool TextEditor_Undo(HWND hWnd);
bool TextEditor_Redo(HWND hWnd);
bool TextEditor_UndoAll(HWND hWnd);
void TextEditor_SelectAll(HWND hWnd);
void TextEditor_SelectLines(HWND hWnd);
// With an empty selection, the word around the caret; otherwise nothing.
void TextEditor_SelectWord(HWND hWnd);
void TextEditor_SetCaret(HWND hWnd, POINT pos, bool bCollapse);
// Sets anchor and caret (clamped into the document) as one selection change.
void TextEditor_SetSelection(HWND hWnd, POINT anchor, POINT caret);
// The selected lines indented by a tab, or unindented; they stay selected. False
// when read-only, out of memory or (unindent) nothing was to take.
bool TextEditor_Indent(HWND hWnd);
bool TextEditor_Unindent(HWND hWnd);
// The next or previous match selected (anchor at its start); false, selection
// left, when there is none. *pStatus (optional) gets the search status;
// progress (optional) hears of the lines searched and may stop the search
// (SEARCH_STOPPED, selection left).
bool TextEditor_FindNext(HWND hWnd, const char* pattern, int32_t length, uint32_t options, int32_t* pStatus = nullptr,
                         const TextProgress* progress = nullptr);
bool TextEditor_FindPrev(HWND hWnd, const char* pattern, int32_t length, uint32_t options, int32_t* pStatus = nullptr,
                         const TextProgress* progress = nullptr);
// Every match replaced, each its own undo step; false when refused or when a
// search could not be answered (everything then taken back). *pCount and
// *pStatus (optional) as the core's replace all gives them.
bool TextEditor_ReplaceAll(HWND hWnd, const char* replacement, int32_t length, const char* pattern,
                           int32_t patternLength, uint32_t options, int32_t* pCount = nullptr,
                           int32_t* pStatus = nullptr, const TextProgress* progress = nullptr);
