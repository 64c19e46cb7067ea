#include "editctrl/textfile.h"

#include <cstring>

#include "tools/memory.h"
#include "tools/safesave.h"

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

namespace {

// Reads the opened file into text: every read is checked, and a file the
// document cannot hold is refused before a byte of it is read.
TextFileStatus ReadInto(const FileMethods* m, FileHandle* file, TextData* text) {
  int64_t size = 0;
  if (!m->pfnSize(m->pContext, file, &size)) return TEXTFILE_READ_FAILED;
  if (size > kTextMaxSize) return TEXTFILE_TOO_LARGE;
  TextStream* stream = TextStream_Begin(text);
  if (!stream) return TEXTFILE_NO_MEMORY;
  TextFileStatus status = TEXTFILE_OK;
  char chunk[kTextFileChunk];
  for (;;) {
    const int32_t got = m->pfnRead(m->pContext, file, chunk, kTextFileChunk);
    if (got < 0) status = TEXTFILE_READ_FAILED;
    if (got <= 0 || !TextStream_Feed(stream, chunk, got, &status)) break;
  }
  if (status != TEXTFILE_OK) {
    TextStream_Abort(stream);
    return status;
  }
  return TextStream_End(stream, &status) ? TEXTFILE_OK : status;
}

bool WriteLines(void* context, const ByteWriter* writer) {
  const TextData* text = static_cast<const TextData*>(context);
  for (const LineData* line = text->pHead; line; line = Line_GetNext(line)) {
    if (!Stream_Write(writer, Line_GetString(line), Line_GetLength(line))) return false;
    if (Line_GetNext(line) && !Stream_Write(writer, "\r\n", 2)) return false;
  }
  return true;
}

}  // namespace

TextData* TextFile_Load(const char* path, const TextDataProperty* prop, TextFileStatus* pStatus) {
  const FileMethods* m = FileIo_GetMethods();
  FileHandle* file = nullptr;
  TextFileStatus status = TEXTFILE_OPEN_FAILED;
  TextData* text = nullptr;
  if (m->pfnOpen(m->pContext, path, FILEOPEN_READ, &file) == FILEERR_NONE) {
    text = TextData_Create(prop);
    status = text ? ReadInto(m, file, text) : TEXTFILE_NO_MEMORY;
    if (!m->pfnClose(m->pContext, file) && status == TEXTFILE_OK) status = TEXTFILE_READ_FAILED;
  }
  if (status != TEXTFILE_OK) {
    TextData_Destroy(text);
    text = nullptr;
  }
  if (pStatus) *pStatus = status;
  return text;
}

TextFileStatus TextFile_Save(const TextData* text, const char* path) {
  QWIL_ASSERT(IsValidTextDataHandle(text));
  return SafeSave_Write(path, WriteLines, const_cast<TextData*>(text));
}
