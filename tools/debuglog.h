// The debug log: a replaceable sink for diagnostics. The default sink formats at
// most 1023 bytes and hands them to the platform's debug output (the debugger's
// output window on Windows, stderr elsewhere).
#pragma once

#include <cstdarg>
#include <cstdint>

// A sink takes a printf-style format and its arguments.
typedef void (*DebugLogSink)(const char* format, va_list args);

constexpr int32_t kDebugLogBufferSize = 1024;

// Replaces the sink; null puts the default back. Returns the sink that was set.
DebugLogSink DebugLog_SetSink(DebugLogSink sink);
void DebugLog_Printf(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;
// The default sink's formatting: at most size - 1 bytes, always terminated, cut
// between characters. Returns the length.
int32_t DebugLog_Format(char* buffer, int32_t size, const char* format, va_list args);

// One message in the log's line form: "file(line) : message \r\n".
#define QWIL_LOG(message) DebugLog_Printf("%s(%d) : %s \r\n", __FILE__, __LINE__, (message))
