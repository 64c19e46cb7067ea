#include "app/docfile.h"

#include <cstring>

#include "editctrl/textdata.h"
#include "tools/fileio.h"
#include "tools/memory.h"
#include "tools/toolbase.h"

namespace {

const char* LoadReason(LoadError reason) {
  switch (reason) {
    case LOADERR_NOT_FOUND: return "ファイルが見つかりません。";
    case LOADERR_FOLDER: return "フォルダは読み込めません。";
    case LOADERR_OPEN_FAILED: return "ファイルを開けません。アクセスが拒否されたか、他のプログラムが使用中です。";
    case LOADERR_READ_FAILED: return "ファイルの読み込み中にエラーが発生しました。";
    case LOADERR_TOO_LARGE: return "ファイルが大きすぎます。2 GB 以上のファイルは読み込めません。";
    case LOADERR_NO_MEMORY: return "メモリが足りません。";
    case LOADERR_PATH_TOO_LONG: return "ファイル名が長すぎます。";
    default: return nullptr;
  }
}

const char* SaveReason(TextFileStatus status) {
  switch (status) {
    case TEXTFILE_OK: return nullptr;
    case TEXTFILE_READ_ONLY: return "ファイルが読み取り専用です。";
    case TEXTFILE_LOCKED: return "ファイルが他のプログラムで使用中です。";
    case TEXTFILE_FOLDER_DENIED: return "このフォルダにはファイルを作成できません。";
    case TEXTFILE_DENIED: return "ファイルへのアクセスが拒否されました。";
    case TEXTFILE_OPEN_FAILED: return "フォルダが存在しないか、その名前はフォルダです。";
    case TEXTFILE_WRITE_FAILED: return "書き込みに失敗しました (ディスクの空き容量が足りないか、装置のエラーです)。";
    case TEXTFILE_TOO_LARGE: return "文書が大きすぎます。";
    case TEXTFILE_NO_MEMORY: return "メモリが足りません。";
    default: break;
  }
  if (status == kSavePathTooLong) return "ファイル名が長すぎます。";
  return "保存できませんでした。";
}

void AppendReason(TextBuf* tb, const char* reason) {
  if (!reason) return;
  TextBuf_AppendString(tb, "\n\n");
  TextBuf_AppendString(tb, reason);
}

LoadError ReadOpened(const FileMethods* m, FileHandle* file, char** ppBytes, int32_t* pnBytes) {
  int64_t size = 0;
  if (!m->pfnSize(m->pContext, file, &size)) return LOADERR_READ_FAILED;
  if (size > kTextMaxSize) return LOADERR_TOO_LARGE;
  if (size == 0) return LOADERR_NONE;
  char* bytes = static_cast<char*>(Mem_Alloc(static_cast<size_t>(size)));
  if (!bytes) return LOADERR_NO_MEMORY;
  int32_t got = 0;
  while (got < size) {
    int32_t n = m->pfnRead(m->pContext, file, bytes + got, static_cast<int32_t>(size - got));
    if (n < 0) {
      Mem_Free(bytes);
      return LOADERR_READ_FAILED;
    }
    if (n == 0) break;  // the file became shorter while being read
    got += n;
  }
  *ppBytes = bytes;
  *pnBytes = got;
  return LOADERR_NONE;
}

LoadError ErrorOfOpen(FileError error) {
  switch (error) {
    case FILEERR_NOT_FOUND: return LOADERR_NOT_FOUND;
    case FILEERR_IS_FOLDER: return LOADERR_FOLDER;
    case FILEERR_IO: return LOADERR_READ_FAILED;
    default: return LOADERR_OPEN_FAILED;
  }
}

}  // namespace

LoadError DocFile_LoadErrorOf(TextFileStatus status, bool bExists, bool bFolder) {
  switch (status) {
    case TEXTFILE_OK: return LOADERR_NONE;
    case TEXTFILE_OPEN_FAILED:
      if (!bExists) return LOADERR_NOT_FOUND;
      return bFolder ? LOADERR_FOLDER : LOADERR_OPEN_FAILED;
    case TEXTFILE_TOO_LARGE: return LOADERR_TOO_LARGE;
    case TEXTFILE_NO_MEMORY: return LOADERR_NO_MEMORY;
    default: return LOADERR_READ_FAILED;
  }
}

int32_t DocFile_FormatLoadError(char* buffer, int32_t size, const char* path, const char* document,
                                LoadError reason) {
  TextBuf tb;
  TextBuf_Init(&tb, buffer, size);
  // A dropped name too long for a path arrives cut, perhaps inside a character.
  TextBuf_AppendName(&tb, path);
  TextBuf_AppendString(&tb, "\nの読み込みに失敗しました。\n\n編集中のファイルは ");
  TextBuf_AppendName(&tb, document);
  TextBuf_AppendString(&tb, " のままです。");
  AppendReason(&tb, LoadReason(reason));
  return tb.nLength;
}

int32_t DocFile_FormatSaveError(char* buffer, int32_t size, const char* path, const char* document,
                                TextFileStatus status) {
  TextBuf tb;
  TextBuf_Init(&tb, buffer, size);
  TextBuf_AppendName(&tb, path);
  TextBuf_AppendString(&tb, "\nの保存に失敗しました。\n\n編集中のファイルは\n");
  TextBuf_AppendName(&tb, document);
  TextBuf_AppendString(&tb, "\nのままです。");
  AppendReason(&tb, SaveReason(status));
  return tb.nLength;
}

bool DocFile_DialogStart(const char* from, const char* fallbackName, const char* documentFolder,
                         bool bDocumentFolderExists, DialogStart* start) {
  start->szName[0] = start->szFolder[0] = '\0';
  const char* name = from[0] != '\0' ? Path_GetFileName(from) : fallbackName;
  if (std::strlen(name) + 1 > sizeof(start->szName)) return false;
  std::strcpy(start->szName, name);
  if (Path_FindLastSeparator(from)) {
    // The folder has room for the backslash a drive's root needs ("C:" alone
    // names the drive's current folder).
    if (!Path_GetFolder(from, start->szFolder, sizeof(start->szFolder) - 1)) return false;
    size_t n = std::strlen(start->szFolder);
    if (n > 0 && start->szFolder[n - 1] == ':') std::strcpy(start->szFolder + n, "\\");
    return true;
  }
  if (!bDocumentFolderExists || documentFolder[0] == '\0') return true;
  if (std::strlen(documentFolder) + 1 > sizeof(start->szFolder)) return false;
  std::strcpy(start->szFolder, documentFolder);
  return true;
}

LoadError DocFile_ReadAll(const char* path, char** ppBytes, int32_t* pnBytes) {
  *ppBytes = nullptr;
  *pnBytes = 0;
  const FileMethods* m = FileIo_GetMethods();
  // Asked first: opening a folder fails differently from one system to the next.
  FileInfo info;
  FileError error = m->pfnQuery(m->pContext, path, &info);
  if (error != FILEERR_NONE) return ErrorOfOpen(error);
  if (info.kind == FILEKIND_NONE) return LOADERR_NOT_FOUND;
  if (info.kind == FILEKIND_FOLDER) return LOADERR_FOLDER;
  FileHandle* file = nullptr;
  error = m->pfnOpen(m->pContext, path, FILEOPEN_READ, &file);
  if (error != FILEERR_NONE) return ErrorOfOpen(error);
  LoadError result = ReadOpened(m, file, ppBytes, pnBytes);
  m->pfnClose(m->pContext, file);
  return result;
}
