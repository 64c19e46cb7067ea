// Splitting the program's command line into an argument vector.
//
// Argument 0 is the program: the text between the first pair of double quotes when
// the line begins with one (no escapes), else everything up to the first blank or
// tab. The other arguments follow the usual rules of the platform's C runtime:
// blanks and tabs separate them outside quotes; 2n backslashes before a double
// quote give n backslashes and the quote opens or closes quoted mode, 2n + 1 give n
// and a literal quote; a quote right after the closing one of a quoted part is a
// literal quote; other backslashes are plain characters. A double-byte character
// is copied whole and never taken for a quote, a backslash or a blank.
#pragma once

#include <cstdint>

// The vector in one allocation: argc pointers and a null pointer, followed by the
// strings. Argument 0 is always there (empty for an empty line). Null when memory
// runs out. Free it with CmdLine_Free.
char** CmdLine_Split(const char* line, int32_t* pArgc);
void CmdLine_Free(char** argv);
// Writes "argv[%2d]=%s\r\n" for every argument to the debug log.
void CmdLine_Log(int32_t argc, char** argv);
