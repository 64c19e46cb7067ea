#include "editctrl/editsettings.h"

#include <cstring>

#include "editctrl/colorscheme.h"

namespace {

bool IsFlag(uint32_t v) { return v == 0 || v == 1; }

// The font fields the settings file does not hold keep these at every start.
void SetDefaultFont(LOGFONTA* lf) {
  std::memset(lf, 0, sizeof(*lf));
  lf->lfHeight = 16;
  lf->lfWeight = 400;
  lf->lfCharSet = 128;        // Shift_JIS
  lf->lfOutPrecision = 4;     // TrueType preferred
  lf->lfQuality = 1;          // draft
  lf->lfPitchAndFamily = 0x31;  // fixed pitch, modern
  std::strcpy(lf->lfFaceName, "FixedSys");
}

}  // namespace

bool IsValidEditorSettings(const EditorSettings* settings) {
  return settings != nullptr && IsFlag(settings->bReadOnly) && IsFlag(settings->bWrap) &&
         kEditorTabMin <= settings->nTab && settings->nTab <= kEditorTabMax &&
         kEditorMarginMin <= settings->nLeftMargin && settings->nLeftMargin <= kEditorMarginMax &&
         IsFlag(static_cast<uint32_t>(settings->bLineNumber));
}

void ViewStyle_SetDefaults(ViewStyle* style) {
  std::memset(style, 0, sizeof(*style));
  ColorScheme_Set(style, false);
  SetDefaultFont(&style->lfFont);
}

void EditorSettings_SetDefaults(EditorSettings* settings) {
  std::memset(settings, 0, sizeof(*settings));
  settings->nTab = 8;
  ViewStyle_SetDefaults(&settings->style);
}

void EditorSettings_ToBodyInfo(const EditorSettings* settings, TextEditorBodyInfo* ebi) {
  ebi->bReadOnly = settings->bReadOnly ? 1 : 0;
  ebi->bWrap = settings->bWrap ? 1 : 0;
  ebi->nTab = settings->nTab;
  ebi->nLeftMargin = settings->nLeftMargin;
  ebi->bLineNumber = (settings->bLineNumber & 0xFF) ? TRUE : FALSE;
}

void EditorSettings_FromBodyInfo(EditorSettings* settings, const TextEditorBodyInfo* ebi) {
  settings->bReadOnly = ebi->bReadOnly ? 1 : 0;
  settings->bWrap = ebi->bWrap ? 1 : 0;
  settings->nTab = ebi->nTab;
  settings->nLeftMargin = ebi->nLeftMargin;
  settings->bLineNumber = (ebi->bLineNumber & 0xFF) ? TRUE : FALSE;
}
