#include "app/filewatch.h"

#include "tools/fileio.h"
#include "tools/toolbase.h"

namespace {

bool SameStamp(const FileStamp* a, const FileStamp* b) {
  if (a->bExists != b->bExists) return false;
  return !a->bExists || (a->nSize == b->nSize && a->nWriteTime == b->nWriteTime);
}

int32_t FormatAboutFile(char* buffer, int32_t size, const char* path, const char* text) {
  TextBuf tb;
  TextBuf_Init(&tb, buffer, size);
  TextBuf_AppendName(&tb, path);
  TextBuf_AppendString(&tb, text);
  return tb.nLength;
}

}  // namespace

bool FileStamp_Take(const char* path, FileStamp* stamp) {
  *stamp = FileStamp{};
  const FileMethods* m = FileIo_GetMethods();
  FileInfo info;
  if (m->pfnQuery(m->pContext, path, &info) != FILEERR_NONE) return false;
  if (info.kind != FILEKIND_FILE) return true;
  stamp->bExists = true;
  stamp->nSize = info.nSize;
  stamp->nWriteTime = info.nWriteTime;
  return true;
}

void FileWatch_Start(FileWatch* watch, const char* path) {
  // A question or a look on its way stays what it is: only the file is new.
  watch->bWatching = false;
  watch->bTold = false;
  watch->bDeleted = false;
  watch->bPending = false;
  if (!path || path[0] == '\0') return;
  // A file that cannot be looked at now is taken as it is at the next look.
  FileStamp now;
  if (!FileStamp_Take(path, &now)) now = FileStamp{};
  watch->known = now;
  watch->bWatching = true;
  watch->bDeleted = !now.bExists;
}

FileChange FileWatch_Compare(const FileWatch* watch, const FileStamp* now) {
  if (!watch->bWatching) return FILECHANGE_SAME;
  if (!now->bExists) return FILECHANGE_DELETED;
  return SameStamp(&watch->known, now) ? FILECHANGE_SAME : FILECHANGE_CHANGED;
}

FileWatchAction FileWatch_Look(FileWatch* watch, const FileStamp* now, bool bModified) {
  const FileChange change = FileWatch_Compare(watch, now);
  watch->bDeleted = change == FILECHANGE_DELETED;
  if (change != FILECHANGE_CHANGED) return FILEWATCH_NONE;
  if (watch->bTold && SameStamp(&watch->told, now)) return FILEWATCH_NONE;
  watch->bTold = true;
  watch->told = *now;
  return bModified ? FILEWATCH_TELL_CHANGED : FILEWATCH_ASK_RELOAD;
}

bool FileWatch_MustAskBeforeSave(FileWatch* watch, const FileStamp* now) {
  // A file that is gone is simply written again.
  if (FileWatch_Compare(watch, now) != FILECHANGE_CHANGED) return false;
  watch->bTold = true;
  watch->told = *now;
  return true;
}

bool FileWatch_BeginQuestion(FileWatch* watch, bool bCanAsk) {
  if (watch->bAsking || !bCanAsk) {
    watch->bPending = true;
    return false;
  }
  watch->bAsking = true;
  watch->bPending = false;
  return true;
}

void FileWatch_EndQuestion(FileWatch* watch) { watch->bAsking = false; }

int32_t FileWatch_FormatReloadQuestion(char* buffer, int32_t size, const char* path) {
  return FormatAboutFile(buffer, size, path, "\nは他のプログラムによって変更されました。再読み込みしますか？");
}

int32_t FileWatch_FormatChangedNotice(char* buffer, int32_t size, const char* path) {
  return FormatAboutFile(buffer, size, path,
                         "\nは他のプログラムによって変更されました。\n\n"
                         "編集中の文書にも変更があります。上書き保存する前に、上書きするかどうかを確認します。");
}

int32_t FileWatch_FormatOverwriteQuestion(char* buffer, int32_t size, const char* path) {
  return FormatAboutFile(buffer, size, path,
                         "\nは他のプログラムによって変更されています。\n"
                         "上書きすると、他のプログラムによる変更は失われます。\n\n"
                         "[はい] 上書き保存します。\n"
                         "[いいえ] 名前を付けて保存します。\n"
                         "[キャンセル] 保存しません。");
}
