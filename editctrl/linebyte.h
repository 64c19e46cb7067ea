// ByteString: the growable byte buffer holding one line's bytes.
//
// The buffer always has room for, and holds, a NUL behind the counted bytes. It
// grows to exactly the size its new contents need and never shrinks.
//
// A string may also be placed in memory someone else owns (a line record of a
// document's pool, ByteString_InitInPlace); its first buffer may then sit directly
// behind the record (ByteString_InitInline), where it is never freed or resized:
// growing moves the bytes to a buffer of its own, as std::string does with its
// local buffer.
#pragma once

#include <cstdint>

struct ByteString {
  char* string;     // heap buffer (or the inline bytes behind the record)
  int32_t length;   // bytes in use, terminator not counted; invariant: 0 <= length < bufsize
  int32_t bufsize;  // bytes allocated for string
};

// New empty string with a 1-byte buffer; null when either allocation fails.
ByteString* ByteString_Create();
// Releases the buffer and the record; a stale handle then fails the validity check.
void ByteString_Destroy(ByteString* byte);

// In-place forms for a record owned by someone else. Init allocates the 1-byte
// buffer (false when it cannot); InitInline takes the n bytes already copied,
// NUL-terminated, directly behind the record. Release frees only what the string
// allocated itself and marks the record destroyed.
bool ByteString_InitInPlace(ByteString* byte);
void ByteString_InitInline(ByteString* byte, int32_t n);
void ByteString_Release(ByteString* byte);

bool IsValidByteStringHandle(const ByteString* byte);
bool ByteString_IsValidIndex(const ByteString* byte, int32_t index);

inline const char* ByteString_GetString(const ByteString* byte) { return byte->string; }
inline int32_t ByteString_GetLength(const ByteString* byte) { return byte->length; }

// Ensures bufsize >= n (exactly n when it grows); false leaves the string as it was.
bool ByteString_Reserve(ByteString* byte, int32_t n);
// Copies min(n, length) bytes to dest; returns the count; writes no terminator.
int32_t ByteString_CopyPrefix(const ByteString* byte, char* dest, int32_t n);
// Copies min(n, end - start, length - start) bytes from start; returns the count.
int32_t ByteString_CopyRange(const ByteString* byte, char* dest, int32_t n, int32_t start, int32_t end);
// Removes [start, end); never reallocates.
void ByteString_Erase(ByteString* byte, int32_t start, int32_t end);
// Inserts n bytes of src at pos; false (nothing changed) when the buffer cannot grow.
bool ByteString_Insert(ByteString* byte, int32_t pos, const char* src, int32_t n);
// Replaces [start, end) by n bytes of src; false (nothing changed) when it cannot grow.
bool ByteString_Replace(ByteString* byte, int32_t start, int32_t end, const char* src, int32_t n);
