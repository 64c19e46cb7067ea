// ByteString: the growable byte buffer holding one line's bytes.
//
// The buffer always has room for, and holds, a NUL behind the counted bytes. It
// grows to exactly the size its new contents need and never shrinks.
//
// A record may live in memory someone else owns (a document's line pool,
// ByteString_InitInPlace), and its bytes may be borrowed from such memory too
// (ByteString_InitBorrowed: a loaded line's bytes in the pool's byte slabs). The
// string cannot tell borrowed bytes from its own, so whoever lends them moves
// them to a heap buffer with ByteString_Adopt before they grow and ends the string
// with ByteString_Forget instead of ByteString_Release.
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

// In-place forms for a record owned by someone else. InitInPlace allocates the
// 1-byte buffer (false when it cannot); InitBorrowed takes n bytes, NUL-terminated
// behind them, that stay someone else's. Release frees the buffer, Forget does
// not; both mark the record destroyed.
bool ByteString_InitInPlace(ByteString* byte);
void ByteString_InitBorrowed(ByteString* byte, char* bytes, int32_t n);
void ByteString_Release(ByteString* byte);
void ByteString_Forget(ByteString* byte);
// Copies borrowed bytes into a heap buffer of n bytes (n > length) of the string's
// own; the borrowed ones are left alone. False, nothing changed, when out of memory.
bool ByteString_Adopt(ByteString* byte, int32_t n);

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
