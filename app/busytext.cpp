#include "app/busytext.h"

#include "tools/toolbase.h"

namespace {

const char* VerbOf(BusyWork work) {
  switch (work) {
    case BUSY_OPEN: return " を開いています... ";
    case BUSY_RELOAD: return " を読み込み直しています... ";
    case BUSY_SAVE: return " を保存しています... ";
    case BUSY_FIND: return " を検索しています... ";
    case BUSY_REPLACE_ALL: return " を置換しています... ";
  }
  return " ... ";
}

void AppendPercent(TextBuf* tb, int32_t nPercent) {
  TextBuf_AppendInt(tb, nPercent < 0 ? 0 : (nPercent > 100 ? 100 : nPercent));
  TextBuf_AppendString(tb, "%");
}

int32_t Finish(TextBuf* tb) {
  TextBuf_DropTrailingLead(tb);
  return tb->nLength;
}

}  // namespace

int32_t BusyText_Title(char* buffer, int32_t size, BusyWork work, const char* name, int32_t nPercent) {
  TextBuf tb;
  TextBuf_Init(&tb, buffer, size);
  TextBuf_AppendString(&tb, Path_GetFileName(name ? name : ""));
  TextBuf_AppendString(&tb, VerbOf(work));
  AppendPercent(&tb, nPercent);
  return Finish(&tb);
}

int32_t BusyText_Status(char* buffer, int32_t size, int32_t nPercent, bool bStoppable) {
  TextBuf tb;
  TextBuf_Init(&tb, buffer, size);
  TextBuf_AppendString(&tb, " ");
  AppendPercent(&tb, nPercent);
  TextBuf_AppendString(&tb, bStoppable ? " 完了  Esc で中止" : " 完了");
  return Finish(&tb);
}
