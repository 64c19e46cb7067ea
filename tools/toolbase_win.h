// The date format over the platform's clock.
#pragma once

#include "tools/toolbase.h"

// Expands format for the current local time (GetLocalTime).
int32_t DateFormat_ExpandNow(const char* format, char* out, int32_t capacity);
