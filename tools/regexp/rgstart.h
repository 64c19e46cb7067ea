// What a compiled pattern tells about where its matches can start: the bytes
// a match can begin with, whether it is anchored at the line start, the
// literal text every match begins with and bytes every match holds. The search
// uses them to pass over start positions at which the walk would fail anyway,
// so results are the same with them as without.
#pragma once

#include <cstdint>

struct table;
struct trans;

// At most this many bytes of literal text that every match starts with.
constexpr int32_t kRegexpMaxPrefix = 16;
// At most this many bytes of which every match must contain one each.
constexpr int32_t kRegexpMaxRequired = 4;

// Where matches can start, found when the pattern is compiled. Each only
// rules out start positions at which the walk would fail anyway.
struct RgStartInfo {
  bool bFirstBytes;                       // every match consumes a first character...
  uint8_t firstBytes[256];                // ...whose first byte is marked here
  bool bAnchored;                         // every match passes "^" before consuming anything
  uint8_t prefix[kRegexpMaxPrefix];       // every match starts with these bytes
  int32_t nPrefix;
  uint8_t required[kRegexpMaxRequired];   // every match holds a character starting with each
  int32_t nRequired;
};

// Fills start (all off before the call) from the pattern's table. When memory
// runs out the fields stay off (no position is ruled out).
void RgStart_Analyse(const table* tab, RgStartInfo* start);

// Marks in set[256] every byte that can begin a character the consuming
// transition accepts.
void RgStart_FirstBytesOf(const trans* t, uint8_t set[256]);
