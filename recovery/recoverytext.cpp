#include "recovery/recoverytext.h"

#include <cstring>

#include "tools/fileio.h"
#include "tools/toolbase.h"

namespace {

constexpr char kAskRestore[] = "前回、保存されずに終了した文書があります。復元しますか？";
constexpr char kCutOff[] =
    "復元用のファイルの終わりが壊れていたため、終了する直前の変更の一部は戻りません。";
constexpr char kDiskChanged[] =
    "この文書のファイルは、前回読み込むか保存した後に変更されたか、削除されています。"
    "復元した文書は、保存するまでそのファイルを変えません。";
constexpr char kDamaged[] =
    "前回、保存されずに終了した文書がありましたが、復元用のファイルが壊れているため復元できません。";
constexpr char kBaseChanged[] =
    "前回、保存されずに終了した文書がありましたが、元のファイルがその後変更されたため、"
    "編集した内容を復元できません。";
constexpr char kUnreadable[] =
    "前回、保存されずに終了した文書がありますが、復元用のファイルを読み込めませんでした。"
    "次回の起動時にもう一度確かめます。";
constexpr char kRestoredUntitled[] =
    "この文書のファイル名は長すぎるため、無題の文書として復元します。";
constexpr char kParagraph[] = "\r\n\r\n";

const char* HeadlineOf(RecoverStatus status) {
  switch (status) {
    case RECOVER_WHOLE:
    case RECOVER_PARTIAL: return kAskRestore;
    case RECOVER_DAMAGED: return kDamaged;
    case RECOVER_BASE_CHANGED: return kBaseChanged;
    default: return kUnreadable;
  }
}

}  // namespace

const char* RecoveryText_KeptPath(const RecoveredDocument* doc) {
  if (!doc->pPath || std::strlen(doc->pPath) > static_cast<size_t>(kPathMax)) return nullptr;
  return doc->pPath;
}

RecoveryQuestion RecoveryText_Question(const RecoveredDocument* doc, const char* untitledName, char* buffer,
                                       int32_t size, bool* pRemove) {
  TextBuf tb;
  TextBuf_Init(&tb, buffer, size);
  *pRemove = false;
  if (doc->status == RECOVER_NOT_OURS) return RECOVERYQ_NONE;
  TextBuf_AppendString(&tb, HeadlineOf(doc->status));
  TextBuf_AppendString(&tb, kParagraph);
  // A path read back from a file may end on a lone lead byte.
  TextBuf_AppendName(&tb, doc->pPath ? doc->pPath : untitledName);
  const bool restorable = doc->status == RECOVER_WHOLE || doc->status == RECOVER_PARTIAL;
  if (!restorable) {
    *pRemove = doc->status == RECOVER_DAMAGED || doc->status == RECOVER_BASE_CHANGED;
    return RECOVERYQ_TELL;
  }
  if (doc->status == RECOVER_PARTIAL) {
    TextBuf_AppendString(&tb, kParagraph);
    TextBuf_AppendString(&tb, kCutOff);
  }
  if (doc->pPath && !RecoveryText_KeptPath(doc)) {
    TextBuf_AppendString(&tb, kParagraph);
    TextBuf_AppendString(&tb, kRestoredUntitled);
  } else if (doc->pPath && doc->bDiskChanged) {
    TextBuf_AppendString(&tb, kParagraph);
    TextBuf_AppendString(&tb, kDiskChanged);
  }
  *pRemove = true;
  return RECOVERYQ_RESTORE;
}
