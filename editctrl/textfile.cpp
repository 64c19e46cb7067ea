#include "editctrl/textfile.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "tools/memory.h"
#include "tools/safesave.h"

// The stream's bytes go into chunks that the document owns: the lines closed
// in a chunk keep their bytes there (lent), each line end byte overwritten with
// the line's terminator. The open line, the one no line end has closed yet,
// always lies at the end of the newest chunk, and moves to the start of the next
// one when that is begun. At first the open line is the document's last line,
// whose bytes are copied in front of the stream's.
struct TextStream {
  TextData* text;
  char* pBytes;         // the newest chunk's bytes, null before the first
  int64_t nCap;         // bytes that may be used in it (one more is kept for a terminator)
  int64_t nUsed;
  int64_t nLine;        // where the open line starts in it
  int64_t nScan;        // bytes looked at for line ends
  int64_t nNextChunk;   // the size of the next chunk when small feeds fill them
  bool bReplaceTail;    // the open line goes in the place of the document's last line
  bool bPendingCr;      // a CR ended the bytes and a line: an LF first in the next ones pairs with it
  bool bOpenTab;        // the open line may hold a tab (it does, or its bytes were not looked at)
  LineEnd tailEnd;      // the document's last line's end, which goes to the stream's last line
  int32_t nTailLength;  // the bytes that line has in the document
};

namespace {

constexpr int64_t kFirstChunk = 4096;
constexpr int64_t kLargestChunk = int64_t(4) << 20;

bool Fail(TextFileStatus* pStatus, TextFileStatus status) {
  if (pStatus) *pStatus = status;
  return false;
}

// The whole text's size with the open line of n bytes closed (the stream's
// first line takes the last line's place, any later one comes behind a line end).
int64_t SizeWith(const TextStream* s, int64_t n) {
  const int64_t size = TextData_GetTextSize(s->text);
  return s->bReplaceTail ? size - s->nTailLength + n : size + 2 + n;
}

// A new chunk with room for at least `need` bytes behind the open line, which
// moves into it.
bool NewChunk(TextStream* s, int64_t need) {
  const char* open = s->pBytes ? s->pBytes + s->nLine : Line_GetString(TextData_GetTail(s->text));
  const int64_t openLength = s->pBytes ? s->nUsed - s->nLine : s->nTailLength;
  int64_t size = s->nNextChunk;
  if (size < openLength + need + 1) size = openLength + need + 1;
  TextChunk* chunk = static_cast<TextChunk*>(Mem_Alloc(sizeof(TextChunk) + static_cast<size_t>(size)));
  if (!chunk) return false;
  chunk->nSize = size;
  chunk->pNext = s->text->pChunks;
  s->text->pChunks = chunk;
  char* bytes = reinterpret_cast<char*>(chunk + 1);
  if (openLength > 0) std::memcpy(bytes, open, static_cast<size_t>(openLength));
  s->pBytes = bytes;
  s->nCap = size - 1;
  s->nUsed = openLength;
  s->nLine = 0;
  s->nScan = openLength;
  if (s->nNextChunk < kLargestChunk) s->nNextChunk *= 2;
  return true;
}

// Room behind the stream's bytes: up to `want` bytes, at least `least`.
bool Room(TextStream* s, int64_t want, int64_t least, char** pAt, int64_t* pSize) {
  if (!s->pBytes || s->nCap - s->nUsed < least) {
    if (!NewChunk(s, want)) return false;
  }
  *pAt = s->pBytes + s->nUsed;
  *pSize = s->nCap - s->nUsed < want ? s->nCap - s->nUsed : want;
  return true;
}

// The first CR or LF in [p, end), or end; *pTab becomes true when a tab lies
// before it (looked for in the same pass: a line known to hold none has its
// width and its wrapping without its bytes being read again).
inline const char* FindLineEnd(const char* p, const char* end, bool* pTab) {
#if defined(__SSE2__)
  const __m128i cr = _mm_set1_epi8('\r');
  const __m128i lf = _mm_set1_epi8('\n');
  const __m128i ht = _mm_set1_epi8('\t');
  for (; end - p >= 16; p += 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const unsigned ends =
        static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, cr), _mm_cmpeq_epi8(v, lf))));
    const unsigned tabs = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, ht)));
    if (ends != 0) {
      const unsigned at = static_cast<unsigned>(__builtin_ctz(ends));
      if (tabs & ((1u << at) - 1)) *pTab = true;
      return p + at;
    }
    if (tabs != 0) *pTab = true;
  }
#endif
  for (; p < end && *p != '\r' && *p != '\n'; ++p) {
    if (*p == '\t') *pTab = true;
  }
  return p;
}

// Closes the open line at byte `at` (its line end, or the end of the bytes)
// with the line end `end`. When another line follows, the line end between them
// must fit as well; `roomy` says the size was already found to fit.
bool CloseLine(TextStream* s, int64_t at, LineEnd end, bool bMore, bool roomy, TextFileStatus* pStatus) {
  const int64_t n = at - s->nLine;
  if (!roomy && SizeWith(s, n) + (bMore ? 2 : 0) > kTextMaxSize) return Fail(pStatus, TEXTFILE_TOO_LARGE);
  s->pBytes[at] = '\0';
  LineData line;
  Line_InitLent(&line, s->pBytes + s->nLine, static_cast<int32_t>(n), end, !s->bOpenTab);
  const bool ok = s->bReplaceTail ? TextData_SetLastLine(s->text, &line) : TextData_AddLoadedLine(s->text, &line);
  if (!ok) return Fail(pStatus, TEXTFILE_NO_MEMORY);
  s->bReplaceTail = false;
  s->bOpenTab = false;
  return true;
}

// Closes every line the new bytes end.
bool Scan(TextStream* s, TextFileStatus* pStatus) {
  char* b = s->pBytes;
  int64_t i = s->nScan;
  const int64_t end = s->nUsed;
  if (s->bPendingCr && i < end) {
    s->bPendingCr = false;
    if (b[i] == '\n') {
      Line_SetEnd(TextData_GetTail(s->text), LINEEND_CRLF);
      s->nLine = ++i;
    }
  }
  // Every byte adds at most two to the text's size: when all of them fit, no
  // line needs to be checked on its own.
  const bool roomy = int64_t(TextData_GetTextSize(s->text)) + 2 * (end - s->nLine) + 2 <= kTextMaxSize;
  for (;;) {
    const int64_t j = FindLineEnd(b + i, b + end, &s->bOpenTab) - b;
    if (j >= end) break;
    LineEnd kind = LINEEND_LF;
    int64_t next = j + 1;
    if (b[j] == '\r') {
      if (j + 1 >= end) {
        kind = LINEEND_CR;
        s->bPendingCr = true;
      } else if (b[j + 1] == '\n') {
        kind = LINEEND_CRLF;
        next = j + 2;
      } else {
        kind = LINEEND_CR;
      }
    }
    if (!CloseLine(s, j, kind, true, roomy, pStatus)) return false;
    i = next;
    s->nLine = next;
  }
  s->nScan = end;
  if (SizeWith(s, end - s->nLine) > kTextMaxSize) return Fail(pStatus, TEXTFILE_TOO_LARGE);
  return true;
}

}  // namespace

TextStream* TextStream_Begin(TextData* text) {
  QWIL_ASSERT(IsValidTextDataHandle(text));
  TextStream* s = static_cast<TextStream*>(Mem_Alloc(sizeof(TextStream)));
  if (!s) return nullptr;
  std::memset(s, 0, sizeof(*s));
  s->text = text;
  s->nNextChunk = kFirstChunk;
  s->bReplaceTail = true;
  const LineData* tail = TextData_GetTail(text);
  s->tailEnd = Line_GetEnd(tail);
  s->nTailLength = Line_GetLength(tail);
  s->bOpenTab = !Line_IsTabFree(tail);  // its bytes open the stream unlooked at
  return s;
}

bool TextStream_Feed(TextStream* s, const char* bytes, int32_t n, TextFileStatus* pStatus) {
  while (n > 0) {
    char* at = nullptr;
    int64_t room = 0;
    if (!Room(s, n, 1, &at, &room)) return Fail(pStatus, TEXTFILE_NO_MEMORY);
    std::memcpy(at, bytes, static_cast<size_t>(room));
    s->nUsed += room;
    if (!Scan(s, pStatus)) return false;
    bytes += room;
    n -= static_cast<int32_t>(room);
  }
  return true;
}

bool TextStream_End(TextStream* s, TextFileStatus* pStatus) {
  s->bPendingCr = false;
  // The last line keeps the line end the document's last line had.
  const bool ok = !s->pBytes || CloseLine(s, s->nUsed, s->tailEnd, false, false, pStatus);
  QWIL_ASSERT(IsValidTextDataHandle(s->text));
  TextStream_Abort(s);
  if (ok && pStatus) *pStatus = TEXTFILE_OK;
  return ok;
}

void TextStream_Abort(TextStream* s) { Mem_Free(s); }

struct TextLoad {
  const FileMethods* pMethods;
  FileHandle* pFile;
  TextData* text;
  TextStream* stream;  // null once the end is reached
  int64_t nTotal;
  int64_t nDone;
  TextFileStatus status;
  bool bEnded;
};

namespace {

void EndLoad(TextLoad* load, TextFileStatus status) {
  if (load->stream) {
    if (status == TEXTFILE_OK) {
      TextStream_End(load->stream, &status);
    } else {
      TextStream_Abort(load->stream);
    }
    load->stream = nullptr;
  }
  load->status = status;
  load->bEnded = true;
}

void FreeLoad(TextLoad* load) {
  TextStream_Abort(load->stream);
  if (load->pFile) load->pMethods->pfnClose(load->pMethods->pContext, load->pFile);
  TextData_Destroy(load->text);
  Mem_Free(load);
}

}  // namespace

TextLoad* TextLoad_Begin(const char* path, const TextDataProperty* prop, TextFileStatus* pStatus) {
  const FileMethods* m = FileIo_GetMethods();
  TextLoad* load = static_cast<TextLoad*>(Mem_Alloc(sizeof(TextLoad)));
  if (!load) {
    Fail(pStatus, TEXTFILE_NO_MEMORY);
    return nullptr;
  }
  std::memset(load, 0, sizeof(*load));
  load->pMethods = m;
  TextFileStatus status = TEXTFILE_OK;
  if (m->pfnOpen(m->pContext, path, FILEOPEN_READ, &load->pFile) != FILEERR_NONE) {
    load->pFile = nullptr;
    status = TEXTFILE_OPEN_FAILED;
  } else if (!m->pfnSize(m->pContext, load->pFile, &load->nTotal)) {
    status = TEXTFILE_READ_FAILED;
  } else if (load->nTotal > kTextMaxSize) {
    status = TEXTFILE_TOO_LARGE;  // refused before a byte of it is read
  } else if (!(load->text = TextData_Create(prop)) || !(load->stream = TextStream_Begin(load->text))) {
    status = TEXTFILE_NO_MEMORY;
  }
  if (status != TEXTFILE_OK) {
    FreeLoad(load);
    Fail(pStatus, status);
    return nullptr;
  }
  if (pStatus) *pStatus = TEXTFILE_OK;
  return load;
}

bool TextLoad_Next(TextLoad* load, TextFileStatus* pStatus) {
  if (load->bEnded) {
    *pStatus = load->status;
    return false;
  }
  const FileMethods* m = load->pMethods;
  char* at = nullptr;
  int64_t room = 0;
  // A file of known size gets room for all of it and the read that finds its
  // end; a device or a pipe starts small.
  int64_t want = kTextLoadSlice / 64;
  if (load->nTotal > 0) {
    want = load->nTotal - load->nDone + 1;
    if (want < 1) want = 1;
    if (want > kTextLoadSlice) want = kTextLoadSlice;
  }
  if (!Room(load->stream, want, want / 4 + 1, &at, &room)) {
    EndLoad(load, TEXTFILE_NO_MEMORY);
  } else {
    const int32_t got = m->pfnRead(m->pContext, load->pFile, at, static_cast<int32_t>(room));
    TextFileStatus status = TEXTFILE_OK;
    if (got < 0) {
      EndLoad(load, TEXTFILE_READ_FAILED);
    } else if (got == 0) {
      EndLoad(load, TEXTFILE_OK);
    } else {
      load->stream->nUsed += got;
      load->nDone += got;
      if (!Scan(load->stream, &status)) EndLoad(load, status);
    }
  }
  *pStatus = load->status;
  return !load->bEnded;
}

int64_t TextLoad_Done(const TextLoad* load) { return load->nDone; }

int64_t TextLoad_Total(const TextLoad* load) { return load->nTotal; }

TextData* TextLoad_Finish(TextLoad* load, TextFileStatus* pStatus) {
  TextFileStatus status = TEXTFILE_OK;
  while (TextLoad_Next(load, &status)) {
  }
  const FileMethods* m = load->pMethods;
  const bool closed = m->pfnClose(m->pContext, load->pFile);
  load->pFile = nullptr;
  if (!closed && status == TEXTFILE_OK) status = TEXTFILE_READ_FAILED;
  TextData* text = nullptr;
  if (status == TEXTFILE_OK) {
    text = load->text;
    load->text = nullptr;
  }
  FreeLoad(load);
  if (pStatus) *pStatus = status;
  return text;
}

void TextLoad_Abort(TextLoad* load) {
  if (load) FreeLoad(load);
}

TextData* TextFile_Load(const char* path, const TextDataProperty* prop, TextFileStatus* pStatus,
                        const TextProgress* progress) {
  TextLoad* load = TextLoad_Begin(path, prop, pStatus);
  if (!load) return nullptr;
  ProgressTicker ticker;
  ProgressTicker_Init(&ticker, progress, load->nTotal, 1);  // after every slice
  TextFileStatus status = TEXTFILE_OK;
  while (TextLoad_Next(load, &status)) {
    if (!ProgressTicker_Tick(&ticker, load->nDone)) {
      TextLoad_Abort(load);
      Fail(pStatus, TEXTFILE_CANCELLED);
      return nullptr;
    }
  }
  return TextLoad_Finish(load, pStatus);
}

namespace {

struct SaveWalk {
  const TextData* text;
  ProgressTicker ticker;
};

bool WriteLines(void* context, const ByteWriter* writer) {
  SaveWalk* walk = static_cast<SaveWalk*>(context);
  const TextData* text = walk->text;
  int64_t done = 0;
  for (int32_t b = 0; b < text->nBlocks; ++b) {
    const TextBlock* block = text->ppBlocks[b];
    const bool lastBlock = b + 1 == text->nBlocks;
    for (int32_t i = 0; i < block->nLines; ++i) {
      const LineData* line = &block->aLines[i];
      if (!Stream_Write(writer, Line_GetString(line), Line_GetLength(line))) return false;
      if (lastBlock && i + 1 == block->nLines) break;
      if (!Stream_Write(writer, "\r\n", 2)) return false;
      done += Line_GetLength(line) + 2;
      if (!ProgressTicker_Tick(&walk->ticker, done)) return false;
    }
  }
  return true;
}

}  // namespace

TextFileStatus TextFile_Save(const TextData* text, const char* path, const TextProgress* progress) {
  QWIL_ASSERT(IsValidTextDataHandle(text));
  SaveWalk walk;
  walk.text = text;
  ProgressTicker_Init(&walk.ticker, progress, TextData_GetTextSize(text), kProgressStep);
  const TextFileStatus status = SafeSave_Write(path, WriteLines, &walk);
  return walk.ticker.bStopped ? TEXTFILE_CANCELLED : status;
}
