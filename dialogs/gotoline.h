// What the go-to-line dialog decides without a window: the number typed (or
// pasted) read as a line, and the application's clamp into the document.
#pragma once

#include <cstdint>

// The line index (from 0) of the text in the dialog's field: a decimal number
// as "%d" reads it (blanks and a sign before it, anything after it ignored,
// values past 32 bits taken as the nearest 32-bit value), less one, without
// overflowing at the smallest value. False when the text holds no number.
bool GoToLine_Parse(const char* text, int32_t* pLine);
// The line clamped to 0 .. nLines - 1 (nLines is at least 1).
int32_t GoToLine_Clamp(int32_t line, int32_t nLines);

// The range hint of the field's tooltip: "1 ～ N". Returns its length.
int32_t GoToLine_FormatRange(int32_t nLines, char* buffer, int32_t size);
