#include "app/printcmd.h"

const char kPrintMessageCaption[] = "印刷";

uint32_t PrintFlags_ShownPrintDialog(uint32_t dwPrepared) {
  uint32_t dw = dwPrepared & ~(kPdReturnDefault | kPdSelection | kPdPageNums | kPdPrintToFile);
  return dw | kPdReturnDc | kPdNoSelection | kPdNoPageNums | kPdHidePrintToFile | kPdUseDevModeCopiesAndCollate;
}

uint32_t PrintFlags_PreparedPageSetup(uint32_t dwSaved) {
  return (dwSaved & ~kPsdInThousandthsOfInches) | kPsdInHundredthsOfMillimeters;
}

uint32_t PrintFlags_ShownPageSetup(uint32_t dwPrepared) { return (dwPrepared & ~kPsdReturnDefault) | kPsdMargins; }

bool PrintMargins_FillDefault(RECT* rtMargin) {
  if (rtMargin->left || rtMargin->top || rtMargin->right || rtMargin->bottom) return false;
  *rtMargin = RECT{kPrintDefaultMargin, kPrintDefaultMargin, kPrintDefaultMargin, kPrintDefaultMargin};
  return true;
}

const char* PrintMessage_ForDialogError(uint32_t dwError) {
  switch (dwError) {
    case 0: return nullptr;
    case kPdErrNoDevices:
    case kPdErrNoDefaultPrn:
      return "プリンターがインストールされていません。\r\n"
             "プリンターをインストールしてから、もう一度実行してください。";
    default: return "プリンターの設定を読み込めませんでした。";
  }
}

const char* PrintMessage_ForResult(PrintResult result) {
  switch (result) {
    case kPrintDone:
    case kPrintCancelled: return nullptr;
    case kPrintMarginsTooLarge:
      return "余白が用紙より大きいため、印刷できません。\r\nページ設定で余白を小さくしてください。";
    case kPrintBusy: return "ほかの文書を印刷中です。印刷が終わってから、もう一度実行してください。";
    case kPrintStartDocFailed: return "プリンターが印刷ジョブを受け付けませんでした。";
    case kPrintStartPageFailed:
    case kPrintEndPageFailed: return "ページを印刷できなかったため、印刷を中止しました。";
    case kPrintEndDocFailed: return "印刷ジョブが正常に終了できませんでした。";
  }
  return "印刷できませんでした。";
}
