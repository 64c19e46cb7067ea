// Character starts inside a line without stepping from the line start.
//
// A byte that is not a lead byte always ends a character, and from any known
// character start the bytes of a run of lead-byte values pair up (none of them
// is NUL). So whether a position starts a character, and where the character
// before it starts, follows from the run of lead-byte values just before it
// and the parity of its length. The run last looked at is remembered: a scan
// that asks about positions in one direction, forward or backward, reads each
// byte of the line at most once, also in a line made only of lead-byte values.
#pragma once

#include <cstdint>

struct CharSync {
  const unsigned char* pLine;  // the line's bytes, NUL-terminated behind nLength
  int32_t nLength;
  int32_t nFloor;     // a known character start; no position below it is asked about
  int32_t nRunStart;  // a character start at or above nFloor...
  int32_t nRunEnd;    // ...such that every byte of [nRunStart, nRunEnd) is a lead-byte value
};

bool IsValidCharSync(const CharSync* sync);

// floor must be a character start of the line (0 always is).
void CharSync_Init(CharSync* sync, const char* line, int32_t length, int32_t floor);

// Whether pos (nFloor <= pos <= nLength) is a character start; the line end is one.
bool CharSync_IsStart(CharSync* sync, int32_t pos);

// The start of the character that ends at pos, a character start; nFloor when
// pos is at or below nFloor.
int32_t CharSync_Prev(CharSync* sync, int32_t pos);
