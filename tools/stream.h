// Byte streams: a reader and a writer as a function plus its context, so that the
// same parsing and formatting code runs over a memory buffer in the tests and over
// a file (through the file seam, tools/fileio.h) in the program.
#pragma once

#include <cstdint>

// Reads up to nSize bytes into pBuffer; returns the count, 0 at the end, -1 on an
// error.
struct ByteReader {
  int32_t (*pfnRead)(void* pContext, char* pBuffer, int32_t nSize);
  void* pContext;
};

// Writes all nSize bytes or reports false.
struct ByteWriter {
  bool (*pfnWrite)(void* pContext, const char* pData, int32_t nSize);
  void* pContext;
};

bool Stream_Write(const ByteWriter* writer, const char* data, int32_t n);
bool Stream_WriteString(const ByteWriter* writer, const char* text);

// A reader over bytes someone else owns. nChunk (when > 0) caps each read, so
// tests can feed a stream in small pieces.
struct MemReader {
  const char* pData;
  int32_t nLength;
  int32_t nPos;  // invariant: 0 <= nPos <= nLength
  int32_t nChunk;
};
ByteReader MemReader_Init(MemReader* mem, const char* data, int32_t length, int32_t chunk);

// A writer into a growing heap buffer (Mem_Realloc). A failed growth makes this and
// every later write false; the bytes written before stay.
struct MemWriter {
  char* pData;      // null until the first write; kept terminated for convenience
  int32_t nLength;
  int32_t nSize;
  bool bFailed;
};
ByteWriter MemWriter_Init(MemWriter* mem);
void MemWriter_Free(MemWriter* mem);

// Lines of a reader, the way fgets reads them into a buffer of size bytes: a line
// ends after "\n" or after size - 1 bytes, whichever comes first, so a longer line
// arrives in pieces and no line can overflow the buffer.
constexpr int32_t kLineReaderChunk = 4096;
struct LineReader {
  ByteReader source;
  char chunk[kLineReaderChunk];
  int32_t nChunkLength;
  int32_t nChunkPos;  // invariant: 0 <= nChunkPos <= nChunkLength
  bool bEnd;          // the source reported its end
  bool bError;        // the source reported an error
};
void LineReader_Init(LineReader* lines, ByteReader source);
// The next piece into line (size >= 2), terminated; *pnLength (optional) gets its
// bytes, NUL bytes included. False at the end (or an error) when nothing was read.
bool LineReader_Read(LineReader* lines, char* line, int32_t size, int32_t* pnLength);
