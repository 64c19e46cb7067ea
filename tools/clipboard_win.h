// The system clipboard as plain text (CF_TEXT). Every call of the clipboard and
// of global memory is checked: a clipboard held open by another program, a
// block the system will not lock or data of any size and content give a false
// or null result, never a crash, and never a read past the block's end.
#pragma once

#include <cstddef>

#include "tools/platform.h"

// A copy of the clipboard's data in format (the whole global block, as many
// bytes as its size says) with one zero byte added behind it, so that the copy
// is always a terminated text; *pnSize (optional) gets the block's size, the
// added zero not counted. Null when the clipboard cannot be opened, the format
// is absent, its block is empty or cannot be locked, or memory runs out. The
// caller frees the copy with Mem_Free.
char* Clipboard_GetData(HWND hOwner, UINT nFormat, size_t* pnSize);

// n bytes of text and a terminating zero put on the clipboard as CF_TEXT, in
// place of whatever it held. True only when the system took the block; on any
// failure the block is freed and the clipboard's content is whatever the
// system left (it is emptied only once it is open).
bool Clipboard_SetText(HWND hOwner, const char* text, size_t n);

// The length of the text in a block of size bytes: up to its first zero byte,
// or the whole block when it has none.
size_t Clipboard_TextLength(const char* block, size_t size);
