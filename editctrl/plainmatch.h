// Plain matching of a search string in one line: the character-by-character
// comparison under the ignore-case and ignore-width options, found fast.
//
// A match at a character start d is the walk from d: text and pattern advance
// one character each while CharEqual holds (a full-width text character may
// stand for a half-width pattern character), until the whole pattern has been
// consumed. Trying every character start in turn is slow on long lines, so:
// - With neither option a character equals only itself, and a match is the
//   pattern's very bytes at a character start (unless the pattern ends in a
//   lead byte of its own, which a following trail byte would complete). Such a
//   match is found by scanning for one of its bytes with memchr and comparing
//   the rest with memcmp.
// - With an option, only character starts whose character equals the
//   pattern's first character are walked: their first bytes are few.
//   The candidates are found a vector of bytes at a time, and a walk compares
//   fold keys read from tables made for the options (the pattern's keys
//   computed once), testing that it started at a character start only when
//   it matched.
// Both give exactly the matches of trying every start. As each pattern
// character takes exactly one text character, later matches also end later.
#pragma once

#include <cstdint>

#include "editctrl/charsync.h"

constexpr int32_t kPlainMaxFirstCodes = 8;
constexpr int32_t kPlainMaxScanBytes = 4;
// The double-byte codes that fold to another (the width-folding table's range).
constexpr uint32_t kPlainFoldFirst = 0x8140;
constexpr uint32_t kPlainFoldLast = 0x8393;

struct PlainPattern {
  char* pBytes;      // own copy of the search string, NUL-terminated behind nLength
  int32_t nLength;   // bytes; a pattern of 0 bytes matches the empty text anywhere
  uint32_t nOptions; // the option word; SF_IGNORECASE and SF_IGNOREWIDTH act here
  bool bExact;       // no option is on, so a match is the pattern's bytes
  // With bExact: the byte scanned for (the one that looks rarest in ordinary
  // text) and whether the last character is a lead byte standing alone.
  int32_t nScanIndex;
  bool bLoneLeadTail;
  // Otherwise: the codes equal to the first pattern character and their first bytes.
  uint32_t aFirstCodes[kPlainMaxFirstCodes];
  int32_t nFirstCodes;
  uint8_t aFirstBytes[256];
  // The first bytes of every code equal to the second pattern character (all
  // of them when it has none or too many): the byte behind a candidate's first
  // character must be one, which turns most candidates away at a glance.
  uint8_t aSecondBytes[256];
  // The distinct first bytes when they are few (nScanBytes <= kPlainMaxScanBytes), else 0.
  uint8_t aScanBytes[kPlainMaxScanBytes];
  int32_t nScanBytes;
  // When the first character's codes and the second character's first bytes
  // are few, candidates are found 16 bytes at a time by both: the one-byte
  // codes and the two-byte codes (lead, trail) of the first character, and the
  // first bytes of the second.
  bool bVector;
  uint8_t aSingles[kPlainMaxScanBytes];
  int32_t nSingles;
  uint8_t aLeads[kPlainMaxScanBytes];
  uint8_t aTrails[kPlainMaxScanBytes];
  int32_t nPairs;
  uint8_t aSeconds[kPlainMaxScanBytes];
  int32_t nSeconds;
  // Each byte of the scans above repeated 16 times, so that a scan of a line
  // loads its vectors instead of building them: most lines are short.
  uint8_t aScanSplats[kPlainMaxScanBytes][16];
  uint8_t aSingleSplats[kPlainMaxScanBytes][16];
  uint8_t aLeadSplats[kPlainMaxScanBytes][16];
  uint8_t aTrailSplats[kPlainMaxScanBytes][16];
  uint8_t aSecondSplats[kPlainMaxScanBytes][16];
  // Fold keys (CharFold_Key) of the pattern's characters, and of text codes:
  // every single byte and the double-byte codes of the folding range.
  uint32_t* pKeys;   // owned; one per pattern character
  int32_t nKeys;
  uint32_t aByteKeys[256];
  uint32_t aFoldKeys[kPlainFoldLast - kPlainFoldFirst + 1];
};

bool IsValidPlainPattern(const PlainPattern* pattern);

// Copies the search string (length bytes; a negative length counts as 0).
// False, with nothing to release, when the copy cannot be allocated.
bool PlainPattern_Init(PlainPattern* pattern, const char* bytes, int32_t length, uint32_t options);
void PlainPattern_Release(PlainPattern* pattern);

// The walk at character start `at` of the line: true with *pEnd when the
// whole pattern is consumed before the text would pass `limit` (<= length).
bool PlainPattern_MatchAt(const PlainPattern* pattern, const char* line, int32_t length, int32_t at, int32_t limit,
                          int32_t* pEnd);

// The first match at a character start at or after `from` (sync's floor <= from).
bool PlainPattern_FindForward(const PlainPattern* pattern, CharSync* sync, int32_t from, int32_t* pStart,
                              int32_t* pEnd);

// The match with the greatest character start before `below` among those
// ending at or before `limit`.
bool PlainPattern_FindBackward(const PlainPattern* pattern, CharSync* sync, int32_t below, int32_t limit,
                               int32_t* pStart, int32_t* pEnd);
