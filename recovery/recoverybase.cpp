#include "recovery/recoverybase.h"

namespace {

constexpr int32_t kSampleLines = 64;
constexpr int32_t kSampleEnds = 1024;

constexpr uint64_t kFnvOffset = 0xCBF29CE484222325ULL;
constexpr uint64_t kFnvPrime = 0x100000001B3ULL;

uint64_t HashBytes(uint64_t h, const char* p, int32_t n) {
  for (int32_t i = 0; i < n; ++i) h = (h ^ static_cast<unsigned char>(p[i])) * kFnvPrime;
  return h;
}

uint64_t HashNumber(uint64_t h, int64_t v) {
  for (int i = 0; i < 8; ++i) h = (h ^ ((static_cast<uint64_t>(v) >> (8 * i)) & 0xFF)) * kFnvPrime;
  return h;
}

uint64_t HashLine(uint64_t h, const LineData* line) {
  const int32_t n = Line_GetLength(line);
  const char* s = Line_GetString(line);
  h = HashNumber(h, n);
  if (n <= 2 * kSampleEnds) return HashBytes(h, s, n);
  h = HashBytes(h, s, kSampleEnds);
  return HashBytes(h, s + n - kSampleEnds, kSampleEnds);
}

// The k-th sampled line index of count lines: the first, the last and the
// ones evenly between.
int32_t SampleIndex(int32_t k, int32_t count) {
  return static_cast<int32_t>(int64_t(k) * (count - 1) / (kSampleLines - 1));
}

}  // namespace

uint64_t RecoveryBase_Sample(const TextData* text) {
  QWIL_ASSERT(IsValidTextDataHandle(text));
  uint64_t h = HashNumber(HashNumber(kFnvOffset, text->count), text->length);
  for (int32_t k = 0; k < kSampleLines;) {
    const int32_t index = SampleIndex(k, text->count);
    h = HashLine(h, TextData_PeekLine(text, index));
    while (k < kSampleLines && SampleIndex(k, text->count) == index) ++k;
  }
  return h;
}

RecoveryBase RecoveryBase_OfFile(const TextData* text, const FileInfo* info) {
  RecoveryBase base;
  base.kind = RECOVERYBASE_FILE;
  base.nSize = info->nSize;
  base.nWriteTime = info->nWriteTime;
  base.nCount = text->count;
  base.nLength = text->length;
  base.nSample = RecoveryBase_Sample(text);
  return base;
}

RecoveryBase RecoveryBase_Empty() { return RecoveryBase{RECOVERYBASE_EMPTY, 0, 0, 1, 0, 0}; }

bool RecoveryBase_FileUnchanged(const RecoveryBase* base, const FileInfo* info) {
  return info->kind == FILEKIND_FILE && info->nSize == base->nSize && info->nWriteTime == base->nWriteTime;
}

bool RecoveryBase_TextMatches(const RecoveryBase* base, const TextData* text) {
  return text->count == base->nCount && text->length == base->nLength && RecoveryBase_Sample(text) == base->nSample;
}
