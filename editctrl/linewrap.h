// Row breaking of one line under the wrap rule, row by row: a character moves to
// the next row when it would end at or beyond the wrap width (the line end
// counting one cell), the first character of a row always stays, and tab stops
// count from the start of the row. So where a row goes on depends only on where
// it starts: a row start is a byte index, and the rows of a line are the list of
// their starts (the first is 0). ByteScan_Next is the rule stepped character by
// character; these functions give the same rows without stepping through them.
#pragma once

#include <cstdint>

// The start of the row that follows the one starting at byte k (column 0), or -1
// when the line's last row starts at k; *pTailX then gets the column behind the
// line's last character. A row that ends at the wrap width's last free column at
// the end of the line is followed by an empty row starting at `length`.
// *pTab keeps the next tab found between calls over the same bytes, so that a
// line without tabs is searched for them once: -1 before the first call.
int32_t Wrap_NextRow(const char* s, int32_t length, int32_t k, int32_t width, int32_t tabsize, int32_t* pTailX,
                     int32_t* pTab);

// The column behind the last character of a line laid out as one row from k on
// (its width from k, a tab reaching the next stop counted from k), saturated.
int32_t Wrap_RowWidth(const char* s, int32_t length, int32_t k, int32_t tabsize);
