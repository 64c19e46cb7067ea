#include "dialogs/dispset.h"

#include "editctrl/colorscheme.h"
#include "tools/toolbase.h"

namespace {

const COLORREF kColors[kDisplayColorCount] = {
    RGB(255, 255, 255), RGB(192, 192, 192), RGB(128, 128, 128), RGB(128, 0, 0),
    RGB(255, 0, 0),     RGB(255, 255, 0),   RGB(0, 255, 0),     RGB(0, 128, 0),
    RGB(128, 128, 0),   RGB(0, 128, 128),   RGB(0, 255, 255),   RGB(0, 0, 255),
    RGB(0, 0, 128),     RGB(128, 0, 128),   RGB(255, 0, 255),   RGB(0, 0, 0),
};

const DisplayColorBox kBoxes[kDisplayColorBoxCount] = {
    {1045, "文字色", &ViewStyle::crText},
    {1046, "背景色", &ViewStyle::crBack},
    {1048, "選択文字色", &ViewStyle::crSelText},
    {1047, "選択背景色", &ViewStyle::crSelBack},
    {1049, "改行文字色", &ViewStyle::crLineEnd},
    {1050, "空白色", &ViewStyle::crSpace},
    {1051, "ファイル終端記号", &ViewStyle::crEof},
};

}  // namespace

const COLORREF* DisplayColor_GetList() { return kColors; }

const DisplayColorBox* DisplayColor_GetBoxes() { return kBoxes; }

COLORREF DisplayColor_Default(COLORREF ViewStyle::*pField, bool bDark) {
  ViewStyle scheme = {};
  ColorScheme_Set(&scheme, bDark);
  return scheme.*pField;
}

bool DisplaySettings_ParseNumber(const char* text, int32_t lo, int32_t hi, int32_t* pValue) {
  const char* p = text;
  while (*p == ' ' || *p == '\t') ++p;
  if (*p == '+' || *p == '-') ++p;
  if (*p < '0' || *p > '9') return false;
  while ('0' <= *p && *p <= '9') ++p;
  while (*p == ' ' || *p == '\t') ++p;
  int32_t value = 0;
  if (*p != '\0' || !String_ToInt(text, &value) || value < lo || value > hi) return false;
  *pValue = value;
  return true;
}
