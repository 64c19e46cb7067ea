// Helpers of the recovery tests: a clock the test moves, records replayed
// straight from a queue, and random documents and edits.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "recovery/recoveryformat.h"
#include "recovery/recoveryqueue.h"
#include "editctrl/bodyfixture.h"
#include "editctrl/searchtest.h"
#include "editctrl/textdata.h"
#include "editctrl/textmodel.h"

struct TestClock {
  int64_t now = 1000000;
  static int64_t Read(void* context) { return static_cast<TestClock*>(context)->now; }
};

inline TextDataProperty PlainProp() { return TextDataProperty{0, 80, 8}; }

inline TextData* NewText(const std::string& bytes) {
  const TextDataProperty prop = PlainProp();
  TextData* text = TextData_Create(&prop);
  if (text && !bytes.empty()) TextData_Append(text, bytes.data(), static_cast<int32_t>(bytes.size()), nullptr);
  return text;
}

// Replays the queue's records (taking them off it) on text, as a reader would,
// without a file: EDIT with its MORE records, DONE and STATE checked against
// the text. False at the first record that does not fit.
struct QueueReplay {
  std::string pending;
  RecoveryEdit edit = {};
  bool bActive = false;
  bool bDone = false;
  uint32_t nSeq = 0;
};

inline bool ReplayRecord(QueueReplay* r, TextData* text, const RecoveryRecord& record) {
  if (record.nSeq != r->nSeq++) return false;
  if (record.type == RECOVERYREC_EDIT) {
    if (r->bActive || !RecoveryFormat_DecodeEdit(&record, &r->edit)) return false;
    r->pending.assign(record.pPayload + kEditFixed, static_cast<size_t>(record.nPayload - kEditFixed));
    r->bActive = true;
  } else if (record.type == RECOVERYREC_MORE) {
    if (!r->bActive) return false;
    r->pending.append(record.pPayload, static_cast<size_t>(record.nPayload));
  } else if (record.type == RECOVERYREC_DONE) {
    int32_t length = -1, count = -1;
    r->bDone = true;
    return RecoveryFormat_DecodeDone(&record, &length, &count) && length == text->length && count == text->count;
  } else {
    RecoveryState state;
    return RecoveryFormat_DecodeState(&record, &state) && state.nLength == text->length &&
           state.nCount == text->count;
  }
  if (static_cast<int32_t>(r->pending.size()) < r->edit.nText) return true;
  r->bActive = false;
  const TextRange g = r->edit.range;
  if (g.end.y >= text->count || !TextData_RowsValid(text, g)) return false;
  POINT end;
  return TextData_Replace(text, g, r->pending.data(), static_cast<int32_t>(r->pending.size()), &end);
}

inline bool ReplayQueue(QueueReplay* r, RecoveryQueue* q, TextData* text) {
  const char* data = nullptr;
  const size_t n = RecoveryQueue_Peek(q, SIZE_MAX, &data);
  size_t at = 0;
  while (at < n) {
    RecoveryRecord record;
    int32_t size = 0;
    if (RecoveryFormat_ParseRecord(data + at, static_cast<int64_t>(n - at), &record, &size) != RECOVERYPARSE_OK) {
      return false;
    }
    if (!ReplayRecord(r, text, record)) return false;
    at += static_cast<size_t>(size);
  }
  RecoveryQueue_Drop(q, n);
  return true;
}

inline std::string TextBefore(TextData* text, POINT p) {
  const TextRange r = {{0, 0}, p};
  const int32_t n = TextData_GetText(text, nullptr, r, 0);
  std::string bytes(static_cast<size_t>(n), '\0');
  TextData_GetText(text, &bytes[0], r, n);
  return bytes;
}

inline const std::vector<std::string>& TestInserts() {
  static const std::vector<std::string> inserts = {
      "a", "\r\n", "\n", "\r", "表\r\nソ", "", "x\n\ry", std::string(1, '\0'), "東京", "\x83", "abc\r\n\r\ndef",
  };
  return inserts;
}

inline POINT RandomPos(searchtest::Rng* rng, TextData* text) {
  const int32_t y = static_cast<int32_t>(rng->Below(static_cast<uint32_t>(text->count)));
  const LineData* line = TextData_Lookup(text, y, nullptr);
  int32_t x = static_cast<int32_t>(rng->Below(static_cast<uint32_t>(Line_GetLength(line) + 1)));
  while (!TextData_IsPosition(text, {x, y})) --x;
  return {x, y};
}

inline std::string RandomDocument(searchtest::Rng* rng, int lines) {
  const char* ends[] = {"\r\n", "\n", "\r", "\r\n"};
  std::string s;
  for (int i = 0; i < lines; ++i) {
    s += searchtest::RandomText(rng, static_cast<int32_t>(rng->Below(12)));
    if (i + 1 < lines) s += ends[rng->Below(4)];
  }
  return s;
}
