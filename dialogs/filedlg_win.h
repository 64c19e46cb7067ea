// The open, save and font dialogs: the system's common dialogs with the
// program's titles, file-type filters and options. The caller gives the proposed
// name and the folder to start in (app/docfile.h decides them).
#pragma once

#include <cstdint>

#include "tools/platform.h"

enum FileDialogResult : int32_t {
  FILEDLG_CHOSEN,    // the buffer holds the chosen path
  FILEDLG_CANCELLED, // or the system could not show the dialog; the buffer holds the proposed name
  FILEDLG_TOO_LONG,  // the chosen path did not fit the buffer; the buffer holds the proposed name
};

// "ファイルを開く": the path must exist, the file too; read-only box hidden.
// buffer (size bytes, the system's limit of MAX_PATH at most counts) starts
// with the proposed name; folder empty: the system's choice.
FileDialogResult ChooseOpenFile(char* buffer, int32_t size, const char* proposed, HWND hOwner, const char* folder);
// "名前を付けて保存": with bCompleteExtension a name without an extension gets
// ".txt" (".ini" while the settings file type is chosen, none after the type is
// changed back); with bConfirmOverwrite the dialog asks before replacing a file.
FileDialogResult ChooseSaveFile(char* buffer, int32_t size, const char* proposed, HWND hOwner, const char* folder,
                                bool bCompleteExtension, bool bConfirmOverwrite);
// The font dialog on *lf (in and out): screen fonts of fixed pitch, no symbol
// and no vertical fonts. On OK *lf is the choice and *pPointSize its size in
// tenths of a point; false (both unchanged) when cancelled. Heights in *lf
// are meant at 96 DPI whatever the screen's density.
bool ChooseDisplayFont(HWND hOwner, LOGFONTA* lf, int32_t* pPointSize);

// The filters, as the dialogs get them (pairs of texts, ended by an empty one).
extern const char kOpenFilter[];
extern const char kSaveFilter[];
