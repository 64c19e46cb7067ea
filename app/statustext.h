// The texts of the status bar's five fields and of the main window's title, as pure
// functions of what the editor control reports. The window layer sets them.
//
// Each function writes a terminated text of at most size - 1 bytes, cut between
// characters and never on a lone lead byte, and returns its length. The status
// bar uses buffers of kStatusTextSize bytes, the title one of kTitleTextSize.
#pragma once

#include <cstdint>

#include "tools/platform.h"

constexpr int32_t kStatusTextSize = 100;
constexpr int32_t kTitleTextSize = 32768;

// Field 0: the selection's length in bytes and its two ends (document positions,
// x the byte column, y the line, both from 0, in either order); empty without
// a selection.
int32_t StatusText_Selection(char* buffer, int32_t size, bool bHasSelection, int32_t nLength, POINT ptFrom,
                             POINT ptTo);
// Field 1: the document's line count and its size in bytes.
int32_t StatusText_Document(char* buffer, int32_t size, int32_t nLines, int32_t nBytes);
// Field 2: the caret's display point (x column, y row, from 0) and, when nothing
// is selected and there is a character to show, that character and its code.
int32_t StatusText_Caret(char* buffer, int32_t size, bool bHasSelection, POINT ptDisplay, uint32_t code);
// Fields 3 and 4: "CAPS" and "NUM" while the lock is on, else empty.
int32_t StatusText_CapsLock(char* buffer, int32_t size, bool bOn);
int32_t StatusText_NumLock(char* buffer, int32_t size, bool bOn);

// The title: the document's file name, " *" when modified, and its whole path; an
// untitled document (empty path) shows the default document name instead. A
// note (the file is missing) follows the path.
int32_t Title_Format(char* buffer, int32_t size, const char* path, const char* defaultName, bool bModified,
                     const char* note = nullptr);
