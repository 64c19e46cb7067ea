#include "editctrl/charsync.h"

#include "tools/charrule.h"
#include "tools/platform.h"

namespace {

// A character start r <= pos with every byte of [r, pos) a lead-byte value.
// The walk back stops at a byte that is not a lead byte (it ends a character),
// at the floor, or where it meets the run remembered last.
int32_t RunStartBefore(CharSync* sync, int32_t pos) {
  if (sync->nRunStart <= pos && pos <= sync->nRunEnd) return sync->nRunStart;
  int32_t k = pos;
  while (k > sync->nFloor && Char_IsLeadByte(sync->pLine[k - 1])) {
    --k;
    if (k == sync->nRunEnd) {
      k = sync->nRunStart;
      break;
    }
  }
  sync->nRunStart = k;
  sync->nRunEnd = pos;
  return k;
}

}  // namespace

bool IsValidCharSync(const CharSync* sync) {
  return sync && sync->pLine && sync->nLength >= 0 && 0 <= sync->nFloor && sync->nFloor <= sync->nLength &&
         sync->nFloor <= sync->nRunStart && sync->nRunStart <= sync->nRunEnd && sync->nRunEnd <= sync->nLength;
}

void CharSync_Init(CharSync* sync, const char* line, int32_t length, int32_t floor) {
  sync->pLine = reinterpret_cast<const unsigned char*>(line);
  sync->nLength = length;
  sync->nFloor = floor;
  sync->nRunStart = floor;
  sync->nRunEnd = floor;
  QWIL_ASSERT(IsValidCharSync(sync));
}

// The lead-byte values of the run pair up from its start; an odd one out just
// before pos stands alone only when the byte at pos cannot be its trail byte.
bool CharSync_IsStart(CharSync* sync, int32_t pos) {
  if (pos <= sync->nFloor) return pos == sync->nFloor;
  if (pos >= sync->nLength) return true;
  const int32_t r = RunStartBefore(sync, pos);
  return (pos - r) % 2 == 0 || sync->pLine[pos] == 0;
}

int32_t CharSync_Prev(CharSync* sync, int32_t pos) {
  if (pos <= sync->nFloor) return sync->nFloor;
  const int32_t e = pos - 1;
  const int32_t r = RunStartBefore(sync, e);
  return ((e - r) % 2 == 0 || sync->pLine[e] == 0) ? e : e - 1;
}
