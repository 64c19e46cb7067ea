// Helpers of the search tests: random lines full of the bytes that trip
// double-byte searches, and the plain search written out as the slow,
// position-by-position reference that the fast scans must agree with.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/charfold.h"
#include "tools/charrule.h"

namespace searchtest {

struct Rng {
  uint64_t state;
  uint32_t Next() {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<uint32_t>(state >> 33);
  }
  uint32_t Below(uint32_t n) { return Next() % n; }
};

// Pieces of text: letters that are also trail bytes, backslash and vertical
// bar, characters whose trail byte is one of them (ア 83 41, 表 95 5C, ソ 83 5C,
// ポ 83 7C), full-width letters that fold to half-width ones, kanji made only
// of lead-byte values (東京), lone lead bytes, NUL and spaces.
inline const std::vector<std::string>& Pieces() {
  static const std::vector<std::string> pieces = {
      "a", "A", "b", "\\", "|", " ", "_", "ア", "表", "ソ", "ポ", "ｱ", "Ａ", "ａ", "ｂ", "＼", "￥", "｜", "　",
      "東", "京", "ー", "あ", std::string(1, '\x83'), std::string(1, '\x95'), std::string(1, '\0'), "x", "1", "１",
  };
  return pieces;
}

inline std::string RandomText(Rng* rng, int32_t pieces) {
  std::string s;
  for (int32_t i = 0; i < pieces; ++i) s += Pieces()[rng->Below(static_cast<uint32_t>(Pieces().size()))];
  return s;
}

// Bytes of the character at i of the NUL-terminated data (a lead byte before
// NUL or the end stands alone).
inline int32_t CharLen(const std::string& s, size_t i) {
  const unsigned char* u = reinterpret_cast<const unsigned char*>(s.c_str());
  return Char_IsLeadByte(u[i]) && u[i + 1] != 0 ? 2 : 1;
}

// Every character start of the line, stepping from its start, the end included.
inline std::vector<bool> Starts(const std::string& line) {
  std::vector<bool> starts(line.size() + 1, false);
  for (size_t i = 0; i < line.size(); i += static_cast<size_t>(CharLen(line, i))) starts[i] = true;
  starts[line.size()] = true;
  return starts;
}

// The walk at d: one CharEqual per character pair until the pattern is used up.
inline bool ReferenceMatchAt(const std::string& line, int32_t d, const std::string& pattern, uint32_t options,
                             int32_t* pEnd) {
  int32_t t = d;
  for (size_t i = 0; i < pattern.size(); i += static_cast<size_t>(CharLen(pattern, i))) {
    if (t >= static_cast<int32_t>(line.size())) return false;
    if (!CharEqual(line.c_str() + t, pattern.c_str() + i, options)) return false;
    t += CharLen(line, static_cast<size_t>(t));
  }
  *pEnd = t;
  return true;
}

struct Span {
  int32_t start;
  int32_t end;
  bool operator==(const Span& o) const { return start == o.start && end == o.end; }
};
constexpr Span kNone = {-1, -1};

// The whole-word test with the character before the start found from the line start.
inline bool ReferenceWholeWord(const std::string& line, Span m) {
  const char* s = line.c_str();
  const bool startOk = m.start == 0 || Char_Class(Char_Prev(s, s + m.start)) != Char_Class(s + m.start);
  const bool endOk = m.end == static_cast<int32_t>(line.size()) ||
                     Char_Class(Char_Prev(s + m.start, s + m.end)) != Char_Class(s + m.end);
  return startOk && endOk;
}

// The first match at a character start stepped to from `from`; with words, the
// first that is a whole word, each rejected one sending the next try one
// character past its start.
inline Span ReferenceForward(const std::string& line, int32_t from, const std::string& pattern, uint32_t options,
                             bool words) {
  for (int32_t d = from; d < static_cast<int32_t>(line.size()); d += CharLen(line, static_cast<size_t>(d))) {
    int32_t end = 0;
    if (!ReferenceMatchAt(line, d, pattern, options, &end)) continue;
    if (!words || ReferenceWholeWord(line, {d, end})) return {d, end};
  }
  return kNone;
}

// Repeated forward matches from the line start, each next search one
// character after the last start; the last one ending at or before offset.
inline Span ReferenceBackward(const std::string& line, int32_t offset, const std::string& pattern, uint32_t options,
                              bool words) {
  Span last = kNone;
  int32_t from = 0;
  for (;;) {
    const Span m = ReferenceForward(line, from, pattern, options, words);
    if (m.start < 0) break;
    if (m.end <= offset) last = m;
    from = m.start + CharLen(line, static_cast<size_t>(m.start));
    if (from >= static_cast<int32_t>(line.size())) break;
  }
  return last;
}

}  // namespace searchtest
