// The editing commands of the main window: undo and redo, the clipboard (copy,
// cut, paste through the system clipboard as CF_TEXT), selecting, the
// conversions of the selection, inserting the date or the document's name,
// indenting, the read-only switch, the input method switch, opening the
// selected folder, and the caret moves to the ends of the document and the line.
//
// Every handler has the command table's signature; each edits only through the
// editor control's interface, which refuses edits while read-only.
#pragma once

#include "app/appdata.h"
#include "tools/platform.h"

LRESULT EditCommand_Undo(AppInfo* app, WPARAM wParam, LPARAM lParam);
LRESULT EditCommand_Redo(AppInfo* app, WPARAM wParam, LPARAM lParam);
// The selection is deleted only once the system clipboard took its copy: a
// clipboard another program holds open never costs the user the text.
LRESULT EditCommand_Cut(AppInfo* app, WPARAM wParam, LPARAM lParam);
// The selection (an empty one too) replaces the clipboard's content.
LRESULT EditCommand_Copy(AppInfo* app, WPARAM wParam, LPARAM lParam);
// The clipboard's text up to its first zero byte replaces the selection.
LRESULT EditCommand_Paste(AppInfo* app, WPARAM wParam, LPARAM lParam);
LRESULT EditCommand_Delete(AppInfo* app, WPARAM wParam, LPARAM lParam);
LRESULT EditCommand_SelectAll(AppInfo* app, WPARAM wParam, LPARAM lParam);    // 1
LRESULT EditCommand_SelectLines(AppInfo* app, WPARAM wParam, LPARAM lParam);  // 1
LRESULT EditCommand_SelectWord(AppInfo* app, WPARAM wParam, LPARAM lParam);   // 1
LRESULT EditCommand_ToggleIme(AppInfo* app, WPARAM wParam, LPARAM lParam);
// Any id of the conversion table: the whole selection, its zero bytes kept,
// converted and put back as one undoable edit.
LRESULT EditCommand_Convert(AppInfo* app, WPARAM wParam, LPARAM lParam);
// The local time in the settings' date format.
LRESULT EditCommand_InsertDate(AppInfo* app, WPARAM wParam, LPARAM lParam);
// The document's name: its path, or the default name while untitled.
LRESULT EditCommand_CopyName(AppInfo* app, WPARAM wParam, LPARAM lParam);
LRESULT EditCommand_InsertName(AppInfo* app, WPARAM wParam, LPARAM lParam);
LRESULT EditCommand_Indent(AppInfo* app, WPARAM wParam, LPARAM lParam);
LRESULT EditCommand_Unindent(AppInfo* app, WPARAM wParam, LPARAM lParam);
// The editor's read-only flag flipped; the settings keep theirs.
LRESULT EditCommand_ToggleReadOnly(AppInfo* app, WPARAM wParam, LPARAM lParam);
LRESULT EditCommand_UndoAll(AppInfo* app, WPARAM wParam, LPARAM lParam);
// The selected text, when it names an existing folder, shown by the shell.
LRESULT EditCommand_OpenFolder(AppInfo* app, WPARAM wParam, LPARAM lParam);

LRESULT EditCommand_DocumentStart(AppInfo* app, WPARAM wParam, LPARAM lParam);
LRESULT EditCommand_DocumentEnd(AppInfo* app, WPARAM wParam, LPARAM lParam);
LRESULT EditCommand_LineStart(AppInfo* app, WPARAM wParam, LPARAM lParam);
LRESULT EditCommand_LineEnd(AppInfo* app, WPARAM wParam, LPARAM lParam);

// Replaces the selection with n bytes of text, the caret and anchor after them;
// false when the editor refused (read-only, out of memory).
bool EditCommand_ReplaceSelection(const AppInfo* app, const char* text, size_t n);
