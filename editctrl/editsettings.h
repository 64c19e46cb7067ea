// The editor control's settings record: what a control is created with and what
// its settings calls read and write. Window-independent, so that the settings
// file and the dialogs can work on it without a control.
#pragma once

#include <cstdint>

#include "editctrl/editbody.h"
#include "editctrl/viewstyle.h"
#include "tools/platform.h"

// The tab widths and left margins a setting may have: the settings file's
// values are clamped to them, the display settings dialog refuses others and
// so does the control.
constexpr int32_t kEditorTabMin = 1;
constexpr int32_t kEditorTabMax = 127;
constexpr int32_t kEditorMarginMin = 0;
constexpr int32_t kEditorMarginMax = 127;

struct EditorSettings {
  BYTE bReadOnly;       // the document refuses edits; 0 or 1
  BYTE bWrap;           // lines wrap at the right edge of the text area; 0 or 1
  int32_t nTab;         // tab width in columns, kEditorTabMin .. kEditorTabMax
  int32_t nLeftMargin;  // blank pixels left of the text, kEditorMarginMin .. kEditorMarginMax
  BOOL bLineNumber;     // line numbers shown; 0 or 1
  ViewStyle style;      // marks, colours and the font
};

// Flags are 0 or 1, the tab width and the margin within their ranges.
bool IsValidEditorSettings(const EditorSettings* settings);

// The settings of a first start: nothing read-only, no wrapping, tabs of 8, no
// margin, no line numbers, no marks; black on white, selection white on black;
// the font "FixedSys" 16 high in the Shift_JIS character set.
void EditorSettings_SetDefaults(EditorSettings* settings);
void ViewStyle_SetDefaults(ViewStyle* style);

// The five flags and numbers into body metrics (the rectangle and the font
// metrics are left as they are), and back.
void EditorSettings_ToBodyInfo(const EditorSettings* settings, TextEditorBodyInfo* ebi);
void EditorSettings_FromBodyInfo(EditorSettings* settings, const TextEditorBodyInfo* ebi);
