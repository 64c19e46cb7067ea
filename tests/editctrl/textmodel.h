// A plain model of a document for tests: lines with their line ends, edited the
// way the document is, and compared with it line by line.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editctrl/bytescan.h"
#include "editctrl/textdata.h"
#include "tools/charrule.h"

struct ModelLine {
  std::string bytes;
  std::string crlf;
};

struct TextModel {
  std::vector<ModelLine> lines = {ModelLine{}};
};

// Splits bytes at CR, LF and CR LF the way insertion does.
inline std::vector<ModelLine> ModelSplit(const std::string& text) {
  std::vector<ModelLine> runs(1);
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\r' || c == '\n') {
      std::string end(1, c);
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') end = "\r\n", ++i;
      runs.back().crlf = end;
      runs.emplace_back();
    } else {
      runs.back().bytes += c;
    }
  }
  return runs;
}

// Replaces the ordered range; the end line's tail keeps the line end that
// followed it, on the last new line (the start line's own when the range is
// on one line), so that the text's own line ends come in between.
inline void ModelReplace(TextModel* m, POINT s, POINT e, const std::string& text) {
  std::string head = m->lines[s.y].bytes.substr(0, s.x);
  std::string tail = m->lines[e.y].bytes.substr(e.x);
  std::string crlf = m->lines[e.y].crlf;
  std::vector<ModelLine> runs = ModelSplit(text);
  runs.front().bytes = head + runs.front().bytes;
  runs.back().bytes += tail;
  runs.back().crlf = crlf;
  m->lines.erase(m->lines.begin() + s.y, m->lines.begin() + e.y + 1);
  m->lines.insert(m->lines.begin() + s.y, runs.begin(), runs.end());
}

inline std::string ModelText(const TextModel& m) {
  std::string all;
  for (size_t i = 0; i < m.lines.size(); ++i) {
    if (i) all += "\r\n";
    all += m.lines[i].bytes;
  }
  return all;
}

inline std::string DocumentText(TextData* text) {
  POINT end = TextData_EndOfDocument(text);
  TextRange all = {{0, 0}, end};
  int32_t size = TextData_GetText(text, nullptr, all, 0);
  std::string bytes(static_cast<size_t>(size), '\0');
  int32_t got = TextData_GetText(text, &bytes[0], all, size);
  bytes.resize(static_cast<size_t>(got));
  return bytes;
}

// Rows of a line by walking it with a ByteScan: the reference for stored layouts.
inline int32_t RowsByScan(const TextData* text, const LineData* line) {
  ByteScan scan;
  ByteScan_Reset(&scan, text, line);
  while (ByteScan_Next(&scan)) {
  }
  return scan.pt.y + 1;
}

inline ::testing::AssertionResult SameAsModel(TextData* text, const TextModel& m) {
  if (!TextData_CheckDeep(text)) return ::testing::AssertionFailure() << "document fails its deep check";
  if (TextData_GetCount(text) != static_cast<int32_t>(m.lines.size()))
    return ::testing::AssertionFailure() << "count " << TextData_GetCount(text) << " vs " << m.lines.size();
  int64_t rows = 0;
  LineCursor c = TextData_CursorAt(text, 0);
  for (int32_t y = 0;; ++y) {
    const LineData* line = LineCursor_Line(&c);
    const ModelLine& ml = m.lines[static_cast<size_t>(y)];
    if (std::string(Line_GetString(line), static_cast<size_t>(Line_GetLength(line))) != ml.bytes)
      return ::testing::AssertionFailure() << "bytes of line " << y;
    if (std::string(Line_GetCrlf(line)) != ml.crlf) return ::testing::AssertionFailure() << "line end of line " << y;
    rows += text->prop.wrap ? RowsByScan(text, line) : 1;
    if (!LineCursor_Next(&c)) break;
  }
  if (rows != TextData_GetHeight(text)) return ::testing::AssertionFailure() << "height " << TextData_GetHeight(text);
  if (DocumentText(text) != ModelText(m)) return ::testing::AssertionFailure() << "extracted text differs";
  return ::testing::AssertionSuccess();
}
