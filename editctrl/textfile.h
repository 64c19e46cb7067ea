// Loading a file into a new document and saving a document to a file.
//
// Files are bytes: opened in binary mode, never converted. Loading reads the
// file in large slices straight into the memory that then holds the lines (a
// line end byte becomes its line's terminator); the slices are one stream (a
// CR that ends one and an LF that begins the next are one line end). Saving
// writes CR LF between lines whatever they were read as, and no line end after
// the last line.
#pragma once

#include <cstdint>

#include "editctrl/textdata.h"
#include "tools/fileio.h"
#include "tools/progress.h"

// Bytes read at a time, and so the step of a load's progress.
constexpr int32_t kTextLoadSlice = 4 << 20;

// A new document with prop holding the file's text, read through the file
// seam; null with *pStatus (optional) telling why: TEXTFILE_OPEN_FAILED,
// TEXTFILE_READ_FAILED (a read, the size or the close failed),
// TEXTFILE_TOO_LARGE (2 GiB and more), TEXTFILE_NO_MEMORY, or
// TEXTFILE_CANCELLED when progress (optional; told the bytes of the file read
// after every slice) said stop.
// Nothing else is touched, so a failed load keeps the caller's document.
TextData* TextFile_Load(const char* path, const TextDataProperty* prop, TextFileStatus* pStatus,
                        const TextProgress* progress = nullptr);

// The same in slices, for a caller that shows its progress between them:
//   TextLoad* load = TextLoad_Begin(path, &prop, &status);   // null: status says why
//   while (TextLoad_Next(load, &status)) show(TextLoad_Done(load), TextLoad_Total(load));
//   TextData* text = TextLoad_Finish(load, &status);         // null: status says why
// and TextLoad_Abort(load) instead of Finish at any point. A load that failed
// or was given up leaves nothing behind.
struct TextLoad;
TextLoad* TextLoad_Begin(const char* path, const TextDataProperty* prop, TextFileStatus* pStatus);
// Reads the next slice; false when the file is read to its end or a read failed
// (then *pStatus, which must not be null, says so; Finish reports it too).
bool TextLoad_Next(TextLoad* load, TextFileStatus* pStatus);
int64_t TextLoad_Done(const TextLoad* load);   // bytes read so far
int64_t TextLoad_Total(const TextLoad* load);  // the file's size (0 for a device or a pipe)
// The document, the caller's now, or null with *pStatus telling why; frees the load.
TextData* TextLoad_Finish(TextLoad* load, TextFileStatus* pStatus);
void TextLoad_Abort(TextLoad* load);

// Appends a stream of bytes to the end of a document the way loading does: the
// bytes of successive calls are one stream, and the first line of the stream
// goes on the document's last line, whose line end goes to the stream's last.
// Used by the loader, which reads into the stream's own memory; Feed copies
// bytes given by a caller (tests feed chunks of any size).
struct TextStream;
TextStream* TextStream_Begin(TextData* text);
bool TextStream_Feed(TextStream* stream, const char* bytes, int32_t n, TextFileStatus* pStatus);
bool TextStream_End(TextStream* stream, TextFileStatus* pStatus);  // also frees the stream
void TextStream_Abort(TextStream* stream);                        // frees it; the document keeps what it got

// Writes the document safely (tools/safesave.h): the file then holds all of it,
// or, on any failure, exactly what it held before. TEXTFILE_OK only when every
// byte reached the disk; TEXTFILE_CANCELLED when progress (optional; bytes of
// the text) said stop; the other results are listed in safesave.h.
TextFileStatus TextFile_Save(const TextData* text, const char* path, const TextProgress* progress = nullptr);
