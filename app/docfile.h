// What the file commands decide without a window: the names and folders the open
// and save dialogs start with, the texts of the load and save errors, and the
// bytes of a file inserted into the document.
#pragma once

#include <cstdint>

#include "editctrl/textfile.h"

// Why a file could not be loaded, as the load error names it.
enum LoadError : int32_t {
  LOADERR_NONE = 0,
  LOADERR_NOT_FOUND,     // nothing of that name
  LOADERR_FOLDER,        // the name is a folder's
  LOADERR_OPEN_FAILED,   // no access, or another program holds it
  LOADERR_READ_FAILED,   // an error while reading
  LOADERR_TOO_LARGE,     // 2 GiB or more: the document cannot hold it
  LOADERR_NO_MEMORY,
  LOADERR_PATH_TOO_LONG, // the name is longer than a path may be
};

// Bytes of a message's text.
constexpr int32_t kFileMessageSize = 2048;
constexpr char kSaveErrorCaption[] = "ファイル保存エラー";
constexpr char kLoadErrorCaption[] = "ファイル読込エラー";
constexpr char kSaveQuestion[] = "この文書は変更されていますが、まだ保存されていません。\n変更を保存しますか？";

// The load error's reason for a loader's status, told apart further by what
// the path names (bExists, bFolder) when the file could not be opened.
LoadError DocFile_LoadErrorOf(TextFileStatus status, bool bExists, bool bFolder);

// "<path>\nの読み込みに失敗しました。\n\n編集中のファイルは <document> のままです。"
// and, for a reason other than LOADERR_NONE, an empty line and the reason.
// Cut between characters to size bytes; returns the length.
int32_t DocFile_FormatLoadError(char* buffer, int32_t size, const char* path, const char* document, LoadError reason);
// "<path>\nの保存に失敗しました。\n\n編集中のファイルは\n<document>\nのままです。",
// an empty line and what the status says went wrong (nothing for TEXTFILE_OK).
int32_t DocFile_FormatSaveError(char* buffer, int32_t size, const char* path, const char* document,
                                TextFileStatus status);
// The save error's reason for a path that is longer than a path may be.
constexpr TextFileStatus kSavePathTooLong = static_cast<TextFileStatus>(1000);

// Where a dialog starts: the proposed file name and the folder (empty: the
// system's choice). The name is the part of `from` after its last separator,
// or fallbackName when `from` is empty; the folder is the part of `from` before
// it, or documentFolder when `from` has no separator and documentFolder names an
// existing folder (bDocumentFolderExists). False when a part does not fit.
struct DialogStart {
  char szName[261];
  char szFolder[261];
};
bool DocFile_DialogStart(const char* from, const char* fallbackName, const char* documentFolder,
                         bool bDocumentFolderExists, DialogStart* start);

// The whole file through the file seam, for inserting it: a new heap block
// (Mem_Free; null for an empty file) of *pnBytes bytes. LOADERR_TOO_LARGE for a
// file the document could never hold, the other reasons as loading gives them.
LoadError DocFile_ReadAll(const char* path, char** ppBytes, int32_t* pnBytes);
