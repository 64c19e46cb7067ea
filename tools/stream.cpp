#include "tools/stream.h"

#include <cstring>

#include "tools/memory.h"
#include "tools/platform.h"

namespace {

int32_t MemRead(void* context, char* buffer, int32_t size) {
  MemReader* mem = static_cast<MemReader*>(context);
  int32_t n = mem->nLength - mem->nPos;
  if (n > size) n = size;
  if (mem->nChunk > 0 && n > mem->nChunk) n = mem->nChunk;
  std::memcpy(buffer, mem->pData + mem->nPos, static_cast<size_t>(n));
  mem->nPos += n;
  return n;
}

bool MemGrow(MemWriter* mem, int32_t needed) {
  if (needed <= mem->nSize) return true;
  int64_t size = mem->nSize < 64 ? 64 : int64_t(mem->nSize) * 2;
  while (size < needed) size *= 2;
  if (size > 0x7FFFFFFF) size = 0x7FFFFFFF;
  char* data = static_cast<char*>(Mem_Realloc(mem->pData, static_cast<size_t>(size)));
  if (!data) return false;
  mem->pData = data;
  mem->nSize = static_cast<int32_t>(size);
  return true;
}

bool MemWrite(void* context, const char* data, int32_t size) {
  MemWriter* mem = static_cast<MemWriter*>(context);
  if (mem->bFailed) return false;
  if (size > 0x7FFFFFFE - mem->nLength || !MemGrow(mem, mem->nLength + size + 1)) {
    mem->bFailed = true;
    return false;
  }
  std::memcpy(mem->pData + mem->nLength, data, static_cast<size_t>(size));
  mem->nLength += size;
  mem->pData[mem->nLength] = '\0';
  return true;
}

// Refills the chunk once it is used up; false when the source has nothing more.
bool Refill(LineReader* lines) {
  if (lines->nChunkPos < lines->nChunkLength) return true;
  if (lines->bEnd || lines->bError) return false;
  int32_t n = lines->source.pfnRead(lines->source.pContext, lines->chunk, kLineReaderChunk);
  lines->nChunkPos = 0;
  lines->nChunkLength = n > 0 ? n : 0;
  if (n < 0) lines->bError = true;
  if (n == 0) lines->bEnd = true;
  return n > 0;
}

}  // namespace

bool Stream_Write(const ByteWriter* writer, const char* data, int32_t n) {
  return n == 0 || writer->pfnWrite(writer->pContext, data, n);
}

bool Stream_WriteString(const ByteWriter* writer, const char* text) {
  return Stream_Write(writer, text, static_cast<int32_t>(std::strlen(text)));
}

ByteReader MemReader_Init(MemReader* mem, const char* data, int32_t length, int32_t chunk) {
  mem->pData = data;
  mem->nLength = length;
  mem->nPos = 0;
  mem->nChunk = chunk;
  return ByteReader{MemRead, mem};
}

ByteWriter MemWriter_Init(MemWriter* mem) {
  mem->pData = nullptr;
  mem->nLength = 0;
  mem->nSize = 0;
  mem->bFailed = false;
  return ByteWriter{MemWrite, mem};
}

void MemWriter_Free(MemWriter* mem) {
  Mem_Free(mem->pData);
  MemWriter_Init(mem);
}

void LineReader_Init(LineReader* lines, ByteReader source) {
  lines->source = source;
  lines->nChunkLength = 0;
  lines->nChunkPos = 0;
  lines->bEnd = false;
  lines->bError = false;
}

bool LineReader_Read(LineReader* lines, char* line, int32_t size, int32_t* pnLength) {
  QWIL_ASSERT(size >= 2);
  int32_t n = 0;
  bool ended = false;
  while (!ended && n < size - 1 && Refill(lines)) {
    const char* start = lines->chunk + lines->nChunkPos;
    int32_t available = lines->nChunkLength - lines->nChunkPos;
    int32_t take = available < size - 1 - n ? available : size - 1 - n;
    const void* lf = std::memchr(start, '\n', static_cast<size_t>(take));
    if (lf) {
      take = static_cast<int32_t>(static_cast<const char*>(lf) - start) + 1;
      ended = true;
    }
    std::memcpy(line + n, start, static_cast<size_t>(take));
    n += take;
    lines->nChunkPos += take;
  }
  line[n] = '\0';
  if (pnLength) *pnLength = n;
  return n > 0;
}
