// An editor body with a fixed font (cell 8 x 16 pixels unless changed) for tests,
// recording what its change callback was told.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editctrl/editbody.h"
#include "editctrl/editselect.h"
#include "editctrl/editundo.h"
#include "editctrl/textmodel.h"

struct ChangeLog {
  int calls = 0;
  DisplayRange after = {};
  DisplayRange before = {};
};

inline void RecordChange(void* param, const DisplayRange* after, const DisplayRange* before) {
  ChangeLog* log = static_cast<ChangeLog*>(param);
  ++log->calls;
  log->after = *after;
  log->before = *before;
}

inline TEXTMETRICA TestFont(int32_t width = 8, int32_t height = 16) {
  TEXTMETRICA tm = {};
  tm.tmHeight = height;
  tm.tmAscent = height * 3 / 4;
  tm.tmDescent = height - tm.tmAscent;
  tm.tmAveCharWidth = width;
  tm.tmMaxCharWidth = width * 2;
  tm.tmWeight = 400;
  tm.tmCharSet = 128;
  return tm;
}

// Wrapping at `columns` columns (the rectangle is exactly that many cells wide)
// when wrap is set.
inline TextEditorBodyInfo TestInfo(bool wrap = false, int32_t columns = 80, int32_t tab = 8) {
  TextEditorBodyInfo ebi = {};
  ebi.bWrap = wrap ? 1 : 0;
  ebi.nTab = tab;
  ebi.tm = TestFont();
  ebi.rcEditor = {0, 0, columns * 8, 400};
  return ebi;
}

struct Body {
  ChangeLog log;
  TextEditorBody* body;
  explicit Body(const TextEditorBodyInfo& ebi = TestInfo()) : body(EditBody_Create(&ebi, RecordChange, &log)) {}
  ~Body() { EditBody_Destroy(body); }
  Body(const Body&) = delete;
  Body& operator=(const Body&) = delete;

  // Types the bytes as one edit at the caret (or over the selection).
  void Type(const std::string& s) {
    ASSERT_TRUE(EditBody_ReplaceSelection(body, s.data(), static_cast<int32_t>(s.size()), true));
  }
  void Select(POINT anchor, POINT caret) { EditBody_SetSelection(body, anchor, caret); }
  std::string Text() { return DocumentText(body->text); }
  std::string Line(int32_t y) {
    LineData* l = TextData_Lookup(body->text, y, nullptr);
    return std::string(Line_GetString(l), static_cast<size_t>(Line_GetLength(l)));
  }
};

inline bool operator==(POINT a, POINT b) { return a.x == b.x && a.y == b.y; }
inline std::ostream& operator<<(std::ostream& os, POINT p) { return os << "(" << p.x << ", " << p.y << ")"; }
inline POINT Pt(int32_t x, int32_t y) { return POINT{x, y}; }
