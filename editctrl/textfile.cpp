#include "editctrl/textfile.h"

#include <cstdio>
#include <cstring>

#include <sys/stat.h>
#include <sys/types.h>

#include "tools/memory.h"

// The stream appends to the document's last line, the "open" line, which is the
// existing last line until the first line end arrives. Bytes of a line that does
// not end inside one chunk wait in `carry`. The line end of the existing last
// line travels to the last line of the stream, as it does for any insertion.
struct TextStream {
  TextData* text;
  bool bOpenIsExisting;
  bool bPendingCr;  // the last byte fed was a CR; an LF at the front of the next chunk pairs with it
  char* carry;
  int32_t nCarry;
  int32_t nCarryCap;
  char tailCrlf[4];
  int32_t nTailCrlf;
};

namespace {

// The size the document has with what the stream holds back: the open line's
// bytes and, when it is a new line, the line end before it.
int64_t StreamSize(const TextStream* s) {
  return int64_t(TextData_GetTextSize(s->text)) + (s->bOpenIsExisting ? 0 : 2) + s->nCarry;
}

bool Fail(TextFileStatus* pStatus, TextFileStatus status) {
  if (pStatus) *pStatus = status;
  return false;
}

bool CarryAppend(TextStream* s, const char* bytes, int32_t n, TextFileStatus* pStatus) {
  if (n <= 0) return true;
  int64_t need = int64_t(s->nCarry) + n;
  if (StreamSize(s) + n > kTextMaxSize) return Fail(pStatus, TEXTFILE_TOO_LARGE);
  if (need > s->nCarryCap) {
    int64_t cap = s->nCarryCap ? s->nCarryCap : 256;
    while (cap < need) cap *= 2;
    if (cap > INT32_MAX) cap = INT32_MAX;
    char* grown = static_cast<char*>(Mem_Realloc(s->carry, static_cast<size_t>(cap)));
    if (!grown) return Fail(pStatus, TEXTFILE_NO_MEMORY);
    s->carry = grown;
    s->nCarryCap = static_cast<int32_t>(cap);
  }
  std::memcpy(s->carry + s->nCarry, bytes, static_cast<size_t>(n));
  s->nCarry += n;
  return true;
}

// Ends the open line with `crlf`: its bytes are the carry followed by n more bytes.
// When another line follows, the line end between them must fit as well.
bool CloseLine(TextStream* s, const char* bytes, int32_t n, const char* crlf, int32_t crlflength, bool bMore,
               TextFileStatus* pStatus) {
  if (StreamSize(s) + n + (bMore ? 2 : 0) > kTextMaxSize) return Fail(pStatus, TEXTFILE_TOO_LARGE);
  bool ok;
  if (s->bOpenIsExisting) {
    if (!CarryAppend(s, bytes, n, pStatus)) return false;
    ok = TextData_EndLastLine(s->text, s->carry, s->nCarry, crlf, crlflength);
  } else {
    ok = TextData_AppendLine(s->text, s->carry, s->nCarry, bytes, n, crlf, crlflength);
  }
  if (!ok) return Fail(pStatus, TEXTFILE_NO_MEMORY);
  s->nCarry = 0;
  return true;
}

// A line end starts the next line, empty and open, which is a new line.
bool StartLine(TextStream* s, const char* crlf, int32_t crlflength, TextFileStatus* pStatus) {
  if (!CloseLine(s, nullptr, 0, crlf, crlflength, true, pStatus)) return false;
  s->bOpenIsExisting = false;
  return true;
}

const char* FindLineEnd(const char* p, const char* end) {
  const char* lf = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
  const char* limit = lf ? lf : end;
  const char* cr = static_cast<const char*>(std::memchr(p, '\r', static_cast<size_t>(limit - p)));
  return cr ? cr : limit;
}

// What the file system says of an opened file, before reading a byte of it: a
// folder cannot be loaded, and a file the document cannot hold is refused at once.
TextFileStatus CheckOpenedFile(FILE* f) {
#ifdef _WIN32
  struct _stati64 st;
  if (_fstati64(_fileno(f), &st) != 0) return TEXTFILE_OK;
#else
  struct stat st;
  if (fstat(fileno(f), &st) != 0) return TEXTFILE_OK;
#endif
  if ((st.st_mode & S_IFMT) == S_IFDIR) return TEXTFILE_OPEN_FAILED;
  if ((st.st_mode & S_IFMT) == S_IFREG && int64_t(st.st_size) > kTextMaxSize) return TEXTFILE_TOO_LARGE;
  return TEXTFILE_OK;
}

}  // namespace

TextStream* TextStream_Begin(TextData* text) {
  QWIL_ASSERT(IsValidTextDataHandle(text));
  TextStream* s = static_cast<TextStream*>(Mem_Alloc(sizeof(TextStream)));
  if (!s) return nullptr;
  s->text = text;
  s->bOpenIsExisting = true;
  s->bPendingCr = false;
  s->carry = nullptr;
  s->nCarry = 0;
  s->nCarryCap = 0;
  std::memcpy(s->tailCrlf, text->pTail->crlf, sizeof(s->tailCrlf));
  s->nTailCrlf = text->pTail->crlflength;
  return s;
}

bool TextStream_Feed(TextStream* s, const char* bytes, int32_t n, TextFileStatus* pStatus) {
  const char* p = bytes;
  const char* end = bytes + n;
  if (s->bPendingCr && p < end) {
    s->bPendingCr = false;
    bool pair = (*p == '\n');
    if (pair) ++p;
    if (!StartLine(s, "\r\n", pair ? 2 : 1, pStatus)) return false;
  }
  while (p < end) {
    const char* stop = FindLineEnd(p, end);
    if (stop == end) return CarryAppend(s, p, static_cast<int32_t>(end - p), pStatus);
    if (*stop == '\r' && stop + 1 == end) {
      // The CR may pair with an LF at the front of the next chunk.
      if (!CarryAppend(s, p, static_cast<int32_t>(stop - p), pStatus)) return false;
      s->bPendingCr = true;
      return true;
    }
    int32_t crlflength = (*stop == '\r' && stop[1] == '\n') ? 2 : 1;
    if (!CloseLine(s, p, static_cast<int32_t>(stop - p), stop, crlflength, true, pStatus)) return false;
    s->bOpenIsExisting = false;
    p = stop + crlflength;
  }
  return true;
}

bool TextStream_End(TextStream* s, TextFileStatus* pStatus) {
  bool ok = true;
  if (s->bPendingCr) {
    s->bPendingCr = false;
    ok = StartLine(s, "\r", 1, pStatus);
  }
  if (ok) {
    // The last line keeps the line end the document's last line had.
    ok = CloseLine(s, nullptr, 0, s->tailCrlf, s->nTailCrlf, false, pStatus);
  }
  QWIL_ASSERT(IsValidTextDataHandle(s->text));
  TextStream_Abort(s);
  if (ok && pStatus) *pStatus = TEXTFILE_OK;
  return ok;
}

void TextStream_Abort(TextStream* s) {
  if (!s) return;
  Mem_Free(s->carry);
  Mem_Free(s);
}

TextData* TextFile_Load(const char* path, const TextDataProperty* prop, TextFileStatus* pStatus) {
  FILE* f = std::fopen(path, "rb");
  if (!f) {
    Fail(pStatus, TEXTFILE_OPEN_FAILED);
    return nullptr;
  }
  TextFileStatus refused = CheckOpenedFile(f);
  if (refused != TEXTFILE_OK) {
    std::fclose(f);
    Fail(pStatus, refused);
    return nullptr;
  }
  std::setvbuf(f, nullptr, _IONBF, 0);  // chunks go straight into our buffer
  TextData* text = TextData_Create(prop);
  TextStream* stream = text ? TextStream_Begin(text) : nullptr;
  TextFileStatus status = TEXTFILE_NO_MEMORY;
  bool ok = stream != nullptr;
  char chunk[kTextFileChunk];
  while (ok) {
    size_t got = std::fread(chunk, 1, sizeof(chunk), f);
    if (got > 0) ok = TextStream_Feed(stream, chunk, static_cast<int32_t>(got), &status);
    if (!ok || got < sizeof(chunk)) {
      if (ok && std::ferror(f)) {
        status = TEXTFILE_READ_FAILED;
        ok = false;
      }
      break;
    }
  }
  std::fclose(f);
  if (ok) {
    ok = TextStream_End(stream, &status);
  } else {
    TextStream_Abort(stream);
  }
  if (!ok) {
    TextData_Destroy(text);
    Fail(pStatus, status);
    return nullptr;
  }
  if (pStatus) *pStatus = TEXTFILE_OK;
  return text;
}

namespace {

struct SaveBuffer {
  FILE* f;
  bool bFailed;
  size_t nUsed;
  char bytes[1 << 16];
};

void SaveFlush(SaveBuffer* b) {
  if (b->nUsed > 0 && !b->bFailed && std::fwrite(b->bytes, 1, b->nUsed, b->f) != b->nUsed) b->bFailed = true;
  b->nUsed = 0;
}

void SaveWrite(SaveBuffer* b, const char* bytes, size_t n) {
  if (b->bFailed) return;
  if (n > sizeof(b->bytes) - b->nUsed) {
    SaveFlush(b);
    if (n >= sizeof(b->bytes)) {
      if (!b->bFailed && std::fwrite(bytes, 1, n, b->f) != n) b->bFailed = true;
      return;
    }
  }
  std::memcpy(b->bytes + b->nUsed, bytes, n);
  b->nUsed += n;
}

}  // namespace

TextFileStatus TextFile_Save(const TextData* text, const char* path) {
  QWIL_ASSERT(IsValidTextDataHandle(text));
  SaveBuffer* b = static_cast<SaveBuffer*>(Mem_Alloc(sizeof(SaveBuffer)));
  if (!b) return TEXTFILE_NO_MEMORY;
  b->f = std::fopen(path, "wb");
  if (!b->f) {
    Mem_Free(b);
    return TEXTFILE_OPEN_FAILED;
  }
  std::setvbuf(b->f, nullptr, _IONBF, 0);
  b->bFailed = false;
  b->nUsed = 0;
  for (const LineData* line = text->pHead; line && !b->bFailed; line = Line_GetNext(line)) {
    SaveWrite(b, Line_GetString(line), static_cast<size_t>(Line_GetLength(line)));
    if (Line_GetNext(line)) SaveWrite(b, "\r\n", 2);
  }
  SaveFlush(b);
  // The close flushes what the C library still holds; a full disk may show only here.
  bool failed = b->bFailed || std::fflush(b->f) != 0 || std::ferror(b->f);
  if (std::fclose(b->f) != 0) failed = true;
  Mem_Free(b);
  return failed ? TEXTFILE_WRITE_FAILED : TEXTFILE_OK;
}
