// Loading a file into a new document and saving a document to a file.
//
// Files are bytes: opened in binary mode, never converted. Loading reads chunks of
// 32766 bytes as one stream (a CR that ends one chunk and an LF that begins the
// next are one line end); saving writes CR LF between lines whatever they were read
// as, and no line end after the last line.
#pragma once

#include <cstdint>

#include "editctrl/textdata.h"
#include "tools/fileio.h"

constexpr int32_t kTextFileChunk = 32766;

// A new document with prop holding the file's text, read through the file
// seam; null with *pStatus (optional) telling why: TEXTFILE_OPEN_FAILED,
// TEXTFILE_READ_FAILED (a read, the size or the close failed),
// TEXTFILE_TOO_LARGE or TEXTFILE_NO_MEMORY. Nothing else is touched, so a
// failed load keeps the caller's current document.
TextData* TextFile_Load(const char* path, const TextDataProperty* prop, TextFileStatus* pStatus);
// Appends a stream of bytes to the end of a document the way loading does: the
// bytes of successive calls are one stream. Used by the loader; exposed so that
// tests can feed chunks of any size.
struct TextStream;
TextStream* TextStream_Begin(TextData* text);
bool TextStream_Feed(TextStream* stream, const char* bytes, int32_t n, TextFileStatus* pStatus);
bool TextStream_End(TextStream* stream, TextFileStatus* pStatus);  // also frees the stream
void TextStream_Abort(TextStream* stream);                        // frees it; the document keeps what it got

// Writes the document safely (tools/safesave.h): the file then holds all of it,
// or, on any failure, exactly what it held before. TEXTFILE_OK only when every
// byte reached the disk; the other results are listed in safesave.h.
TextFileStatus TextFile_Save(const TextData* text, const char* path);
