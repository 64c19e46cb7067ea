// The key file: the user's key bindings as text beside the program.
//
// Written form: the line "[キー割り当て]", then one line "%08x=%s" per binding in
// item order (the key code in lower-case hexadecimal, the command's name or
// "UNKNOWN"), every line ending in CR LF. No bindings give an empty file, not even
// the first line. Reading is forgiving: the header is never checked, and lines that
// are no binding are skipped.
#pragma once

#include <cstdint>

#include "dialogs/keyassign.h"
#include "tools/stream.h"

// A line is read in pieces of at most kKeyFileLineSize - 1 bytes; each piece counts
// as a line of its own.
constexpr int32_t kKeyFileLineSize = 1023;

// Reads the bindings of a stream. Returns a heap array (Mem_Free) sorted in item
// order with *pnCount entries, duplicate key codes kept; null and 0 when the
// stream holds no binding or memory runs out (then no binding at all is loaded).
KeyAssignItem* KeyFile_Read(const ByteReader* reader, int32_t* pnCount);
// Writes count bindings (sorted in item order); false when the writer fails.
bool KeyFile_Write(const ByteWriter* writer, const KeyAssignItem* items, int32_t count);

// The same on a file, through the file seam. Load gives null and 0 when the
// file cannot be opened (a read error ends the bindings where it happened).
// Save writes it safely (tools/safesave.h): the file holds the new bindings,
// or, when anything fails (false), what it held before.
KeyAssignItem* KeyFile_Load(const char* path, int32_t* pnCount);
bool KeyFile_Save(const char* path, const KeyAssignItem* items, int32_t count);
