#include "editctrl/linebyte.h"

#include <cstring>

#include "tools/memory.h"
#include "tools/platform.h"

namespace {

void MarkDestroyed(ByteString* byte) {
  byte->string = nullptr;
  byte->length = -1;
  byte->bufsize = -1;
}

void Terminate(ByteString* byte) { byte->string[byte->length] = '\0'; }

}  // namespace

bool IsValidByteStringHandle(const ByteString* byte) {
  return byte != nullptr && 0 <= byte->length && byte->length < byte->bufsize && byte->string != nullptr &&
         '\0' == byte->string[byte->length];
}

bool ByteString_IsValidIndex(const ByteString* byte, int32_t index) { return 0 <= index && index <= byte->length; }

bool ByteString_InitInPlace(ByteString* byte) {
  char* buffer = static_cast<char*>(Mem_Alloc(1));
  if (!buffer) {
    MarkDestroyed(byte);
    return false;
  }
  buffer[0] = '\0';
  byte->string = buffer;
  byte->length = 0;
  byte->bufsize = 1;
  return true;
}

void ByteString_InitBorrowed(ByteString* byte, char* bytes, int32_t n) {
  byte->string = bytes;
  byte->length = n;
  byte->bufsize = n + 1;
  QWIL_ASSERT(IsValidByteStringHandle(byte));
}

void ByteString_Release(ByteString* byte) {
  Mem_Free(byte->string);
  MarkDestroyed(byte);
}

void ByteString_Forget(ByteString* byte) { MarkDestroyed(byte); }

bool ByteString_Adopt(ByteString* byte, int32_t n) {
  QWIL_ASSERT(IsValidByteStringHandle(byte) && n > byte->length);
  char* buffer = static_cast<char*>(Mem_Alloc(static_cast<size_t>(n)));
  if (!buffer) return false;
  std::memcpy(buffer, byte->string, static_cast<size_t>(byte->length) + 1);
  byte->string = buffer;
  byte->bufsize = n;
  return true;
}

ByteString* ByteString_Create() {
  ByteString* byte = static_cast<ByteString*>(Mem_Alloc(sizeof(ByteString)));
  if (!byte) return nullptr;
  if (!ByteString_InitInPlace(byte)) {
    Mem_Free(byte);
    return nullptr;
  }
  return byte;
}

void ByteString_Destroy(ByteString* byte) {
  if (!byte) return;
  ByteString_Release(byte);
  Mem_Free(byte);
}

bool ByteString_Reserve(ByteString* byte, int32_t n) {
  QWIL_ASSERT(IsValidByteStringHandle(byte));
  if (byte->bufsize >= n) return true;
  char* buffer = static_cast<char*>(Mem_Realloc(byte->string, static_cast<size_t>(n)));
  if (!buffer) return false;
  byte->string = buffer;
  byte->bufsize = n;
  return true;
}

int32_t ByteString_CopyPrefix(const ByteString* byte, char* dest, int32_t n) {
  QWIL_ASSERT(IsValidByteStringHandle(byte));
  int32_t count = n < byte->length ? n : byte->length;
  if (count <= 0) return 0;
  std::memcpy(dest, byte->string, static_cast<size_t>(count));
  return count;
}

int32_t ByteString_CopyRange(const ByteString* byte, char* dest, int32_t n, int32_t start, int32_t end) {
  QWIL_ASSERT(IsValidByteStringHandle(byte));
  int32_t count = n;
  if (end - start < count) count = end - start;
  if (byte->length - start < count) count = byte->length - start;
  if (count <= 0) return 0;
  std::memcpy(dest, byte->string + start, static_cast<size_t>(count));
  return count;
}

void ByteString_Erase(ByteString* byte, int32_t start, int32_t end) {
  QWIL_ASSERT(IsValidByteStringHandle(byte));
  QWIL_ASSERT(0 <= start && start <= end && end <= byte->length);
  std::memmove(byte->string + start, byte->string + end, static_cast<size_t>(byte->length - end));
  byte->length -= end - start;
  Terminate(byte);
}

bool ByteString_Insert(ByteString* byte, int32_t pos, const char* src, int32_t n) {
  return ByteString_Replace(byte, pos, pos, src, n);
}

bool ByteString_Replace(ByteString* byte, int32_t start, int32_t end, const char* src, int32_t n) {
  QWIL_ASSERT(IsValidByteStringHandle(byte));
  QWIL_ASSERT(0 <= start && start <= end && end <= byte->length && 0 <= n);
  int64_t newLength = int64_t(byte->length) + n - (end - start);
  if (newLength >= INT32_MAX) return false;
  if (!ByteString_Reserve(byte, static_cast<int32_t>(newLength) + 1)) return false;
  std::memmove(byte->string + start + n, byte->string + end, static_cast<size_t>(byte->length - end));
  if (n > 0) std::memcpy(byte->string + start, src, static_cast<size_t>(n));
  byte->length = static_cast<int32_t>(newLength);
  Terminate(byte);
  return true;
}
