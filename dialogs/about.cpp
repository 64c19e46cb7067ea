#include "dialogs/about.h"

#include "tools/toolbase.h"

const char* About_ChooseName(const char* productName, const char* fileDescription) {
  if (productName && productName[0] != '\0') return productName;
  return fileDescription ? fileDescription : "";
}

int32_t About_FormatVersionText(const char* name, const char* version, char* buffer, int32_t size) {
  TextBuf tb;
  TextBuf_Init(&tb, buffer, size);
  TextBuf_AppendString(&tb, name ? name : "");
  TextBuf_AppendString(&tb, " ver. ");
  TextBuf_AppendString(&tb, version ? version : "");
  return tb.nLength;
}

int32_t About_FormatTitle(const char* name, char* buffer, int32_t size) {
  TextBuf tb;
  TextBuf_Init(&tb, buffer, size);
  TextBuf_AppendString(&tb, name ? name : "");
  TextBuf_AppendString(&tb, " について");
  return tb.nLength;
}

int32_t About_FormatResources(int32_t percent, char* buffer, int32_t size) {
  TextBuf tb;
  TextBuf_Init(&tb, buffer, size);
  TextBuf_AppendString(&tb, "システムリソース： ");
  TextBuf_AppendInt(&tb, percent);
  TextBuf_AppendString(&tb, " ％使用可能");
  return tb.nLength;
}

AboutFit About_Fit(const int32_t textWidths[3], const int32_t staticWidths[3], int32_t nWindowWidth,
                   int32_t nButtonWidth) {
  AboutFit fit = {0, 0};
  for (int i = 0; i < 3; ++i) {
    int32_t ask = textWidths[i] - staticWidths[i];
    if (ask > fit.nGrow) fit.nGrow = ask;
  }
  if (fit.nGrow > 0) fit.nButtonX = (nWindowWidth + fit.nGrow - nButtonWidth) / 2;
  return fit;
}

const char kAboutSupportAddress[] = "https://qwilpad.example.com/support/";
