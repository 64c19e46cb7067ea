// Decisions of the editing commands that need no window: where the clipboard
// history's popup opens beside the caret, and which folder a selected text names.
#pragma once

#include <cstdint>

#include "tools/platform.h"

// The history popup opens 16 pixels right of the caret, the caret first kept
// inside the editor's client rectangle (a caret scrolled out of view would put
// the popup anywhere on the screen). Client coordinates in and out.
POINT ClipboardHistory_PopupPoint(POINT caret, RECT client);

// The selected text as a path to explore, copied terminated into out (size
// bytes): false for an empty text, one longer than a path, or one holding a
// zero byte (which would cut it short and name another folder than the one
// selected).
bool EditCommand_FolderPath(const char* text, int32_t n, char* out, int32_t size);
