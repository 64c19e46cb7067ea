#include "tools/toolbase_win.h"

int32_t DateFormat_ExpandNow(const char* format, char* out, int32_t capacity) {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return DateFormat_Expand(format, out, capacity, &now);
}
