// Code page 932 as Windows converts it, for the conversion of UTF-8 and UTF-16
// text (tools/sjisconv.h).
#pragma once

#include "tools/codepage.h"

// The system's conversion without best-fit look-alikes: a character the code
// page does not hold is reported as such, never turned into a similar one.
const CodePageMethods* CodePageWin_Methods();
