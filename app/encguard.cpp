#include "app/encguard.h"

#include "tools/toolbase.h"

namespace {

constexpr char kConvertHint[] = "変換するには [ﾌｧｲﾙ] の「Shift_JIS に変換して開き直す」を使ってください。";

void AppendProblem(TextBuf* tb, const SjisProblem* problem) {
  char code[24];
  SjisConv_FormatProblem(problem, code, sizeof(code));
  TextBuf_AppendString(tb, "\n    ");
  TextBuf_AppendInt(tb, problem->nLine);
  TextBuf_AppendString(tb, " 行目: ");
  TextBuf_AppendString(tb, code);
  if (problem->kind == SJISCONV_MALFORMED) TextBuf_AppendString(tb, " (文字として読めないバイト)");
}

// "N 個の文字" / "M 個のバイト列" and how they join.
void AppendCounts(TextBuf* tb, const SjisReport* r) {
  if (r->nUnmappable > 0) {
    TextBuf_AppendString(tb, " Shift_JIS で表せない文字が ");
    TextBuf_AppendInt(tb, r->nUnmappable);
    TextBuf_AppendString(tb, r->nMalformed > 0 ? " 個、" : " 個");
  }
  if (r->nMalformed > 0) {
    TextBuf_AppendString(tb, "文字として読めないバイトが ");
    TextBuf_AppendInt(tb, r->nMalformed);
    TextBuf_AppendString(tb, " 箇所");
  }
  TextBuf_AppendString(tb, "あります。");
}

}  // namespace

EncodingGuard EncGuard_AtLoad(TextEncoding detected) {
  EncodingGuard g = {detected, detected != TEXTENC_SHIFT_JIS};
  return g;
}

int32_t EncGuard_FormatSaveRefusal(char* buffer, int32_t size, const EncodingGuard* g) {
  TextBuf tb;
  TextBuf_Init(&tb, buffer, size);
  TextBuf_AppendString(&tb, "この文書は ");
  TextBuf_AppendString(&tb, EncGuard_StatusText(g));
  TextBuf_AppendString(&tb, " のファイルなので、書込禁止のまま保存はできません。\nファイルは読み込んだときのままです。\n\n");
  TextBuf_AppendString(&tb, kConvertHint);
  return tb.nLength;
}

int32_t EncGuard_FormatEditQuestion(char* buffer, int32_t size, const EncodingGuard* g) {
  TextBuf tb;
  TextBuf_Init(&tb, buffer, size);
  TextBuf_AppendString(&tb, "この文書は ");
  TextBuf_AppendString(&tb, EncGuard_StatusText(g));
  TextBuf_AppendString(&tb, " のファイルです。\nバイトをそのまま Shift_JIS として編集しますか？\n\n");
  TextBuf_AppendString(&tb, "入力した文字は Shift_JIS で書き込まれるので、保存したファイルは ");
  TextBuf_AppendString(&tb, EncGuard_StatusText(g));
  TextBuf_AppendString(&tb, " として正しく読めなくなることがあります。\n");
  TextBuf_AppendString(&tb, kConvertHint);
  return tb.nLength;
}

int32_t EncGuard_FormatReport(char* buffer, int32_t size, const SjisReport* report) {
  TextBuf tb;
  TextBuf_Init(&tb, buffer, size);
  TextBuf_AppendString(&tb, "このファイルには");
  AppendCounts(&tb, report);
  for (int32_t i = 0; i < report->nListed; ++i) AppendProblem(&tb, &report->problems[i]);
  const int64_t rest = report->nUnmappable + report->nMalformed - report->nListed;
  if (rest > 0) {
    TextBuf_AppendString(&tb, "\n    ほか ");
    TextBuf_AppendInt(&tb, rest);
    TextBuf_AppendString(&tb, " 箇所");
  }
  TextBuf_AppendString(&tb, "\n\nこれらを「?」に置き換えて変換しますか？\n\n[はい] 「?」に置き換えて変換する\n[いいえ] 変換をやめる");
  return tb.nLength;
}

int32_t EncGuard_FormatNameQuestion(char* buffer, int32_t size, const char* path) {
  TextBuf tb;
  TextBuf_Init(&tb, buffer, size);
  TextBuf_AppendString(&tb, "変換した文書を元のファイル名で編集しますか？\n");
  TextBuf_AppendName(&tb, path);
  TextBuf_AppendString(&tb, "\n\n[はい] 元のファイル名で (上書き保存するまでファイルは変わりません)\n"
                            "[いいえ] 無題の文書として\n[ｷｬﾝｾﾙ] 変換をやめる");
  return tb.nLength;
}
