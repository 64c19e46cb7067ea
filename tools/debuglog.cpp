#include "tools/debuglog.h"

#include <cstdio>
#include <cstring>

#include "tools/platform.h"
#include "tools/toolbase.h"

namespace {

void PlatformOutput(const char* text) {
#ifdef _WIN32
  OutputDebugStringA(text);
#else
  std::fputs(text, stderr);
#endif
}

void DefaultSink(const char* format, va_list args) {
  char buffer[kDebugLogBufferSize];
  DebugLog_Format(buffer, kDebugLogBufferSize, format, args);
  PlatformOutput(buffer);
}

DebugLogSink g_sink = DefaultSink;

}  // namespace

DebugLogSink DebugLog_SetSink(DebugLogSink sink) {
  DebugLogSink old = g_sink;
  g_sink = sink ? sink : DefaultSink;
  return old;
}

void DebugLog_Printf(const char* format, ...) {
  va_list args;
  va_start(args, format);
  g_sink(format, args);
  va_end(args);
}

int32_t DebugLog_Format(char* buffer, int32_t size, const char* format, va_list args) {
  int written = std::vsnprintf(buffer, static_cast<size_t>(size), format, args);
  if (written < 0) {
    buffer[0] = '\0';
    return 0;
  }
  int32_t length = written < size ? written : size - 1;
  // vsnprintf cuts at a byte; the log must not end in half a character.
  if (written >= size) length = String_CutLength(buffer, length, length);
  buffer[length] = '\0';
  return length;
}
