#include "tools/safesave.h"

#include <cstdio>
#include <cstring>

#include "tools/charrule.h"
#include "tools/memory.h"
#include "tools/platform.h"

namespace {

// Names tried for the new file before the folder counts as full of them.
constexpr int32_t kTempTries = 64;
constexpr char kTempFormat[] = "~qwil%04x.tmp";
constexpr int32_t kTempNameLength = 13;

// The buffered writer of one save.
struct SaveFile {
  const FileMethods* pMethods;
  FileHandle* pFile;
  bool bFailed;
  int32_t nUsed;
  char bytes[kSaveBufferSize];
};

bool WriteThrough(SaveFile* f, const char* data, int32_t n) {
  if (!f->bFailed && n > 0) f->bFailed = !f->pMethods->pfnWrite(f->pMethods->pContext, f->pFile, data, n);
  return !f->bFailed;
}

bool EmptyBuffer(SaveFile* f) {
  const bool ok = WriteThrough(f, f->bytes, f->nUsed);
  f->nUsed = 0;
  return ok;
}

bool BufferedWrite(void* context, const char* data, int32_t n) {
  SaveFile* f = static_cast<SaveFile*>(context);
  if (f->bFailed) return false;
  if (n > kSaveBufferSize - f->nUsed) {
    if (!EmptyBuffer(f)) return false;
    if (n >= kSaveBufferSize) return WriteThrough(f, data, n);
  }
  std::memcpy(f->bytes + f->nUsed, data, static_cast<size_t>(n));
  f->nUsed += n;
  return true;
}

// The content, the rest of the buffer and the flush to the disk.
bool Fill(SaveFile* f, SaveContentProc pfnContent, void* pContext) {
  const ByteWriter writer = {BufferedWrite, f};
  if (!pfnContent(pContext, &writer) || !EmptyBuffer(f)) return false;
  return f->pMethods->pfnFlush(f->pMethods->pContext, f->pFile);
}

// Fill, then the close, which may report a write it could not finish.
bool FillAndClose(SaveFile* f, SaveContentProc pfnContent, void* pContext) {
  const bool filled = Fill(f, pfnContent, pContext);
  const bool closed = f->pMethods->pfnClose(f->pMethods->pContext, f->pFile);
  f->pFile = nullptr;
  return filled && closed;
}

TextFileStatus StatusOfTarget(FileError error) {
  switch (error) {
    case FILEERR_NONE: return TEXTFILE_OK;
    case FILEERR_DENIED: return TEXTFILE_DENIED;
    case FILEERR_LOCKED: return TEXTFILE_LOCKED;
    case FILEERR_IO: return TEXTFILE_WRITE_FAILED;
    default: return TEXTFILE_OPEN_FAILED;
  }
}

TextFileStatus StatusOfNewFile(FileError error) {
  switch (error) {
    case FILEERR_DENIED: return TEXTFILE_FOLDER_DENIED;
    case FILEERR_NOT_FOUND:
    case FILEERR_IS_FOLDER: return TEXTFILE_OPEN_FAILED;
    default: return TEXTFILE_WRITE_FAILED;
  }
}

// Opens a new file of the first free name; *ppTemp (Mem_Free) gets its path.
TextFileStatus CreateTemp(const FileMethods* m, const char* path, char** ppTemp, FileHandle** ppFile) {
  const int32_t size = static_cast<int32_t>(std::strlen(path)) + kTempNameLength + 1;
  char* temp = static_cast<char*>(Mem_Alloc(static_cast<size_t>(size)));
  if (!temp) return TEXTFILE_NO_MEMORY;
  FileError error = FILEERR_EXISTS;
  for (int32_t n = 0; n < kTempTries && error == FILEERR_EXISTS; ++n) {
    SafeSave_TempPath(path, n, temp, size);
    error = m->pfnOpen(m->pContext, temp, FILEOPEN_CREATE_NEW, ppFile);
  }
  if (error != FILEERR_NONE) {
    Mem_Free(temp);
    return StatusOfNewFile(error);
  }
  *ppTemp = temp;
  return TEXTFILE_OK;
}

TextFileStatus WriteReplacing(SaveFile* f, const char* path, SaveContentProc pfnContent, void* pContext) {
  const FileMethods* m = f->pMethods;
  char* temp = nullptr;
  TextFileStatus status = CreateTemp(m, path, &temp, &f->pFile);
  if (status != TEXTFILE_OK) return status;
  if (!FillAndClose(f, pfnContent, pContext)) {
    status = TEXTFILE_WRITE_FAILED;
  } else {
    status = StatusOfTarget(m->pfnReplace(m->pContext, temp, path));
  }
  if (status != TEXTFILE_OK) m->pfnRemove(m->pContext, temp);
  Mem_Free(temp);
  return status;
}

TextFileStatus WriteInPlace(SaveFile* f, const char* path, SaveContentProc pfnContent, void* pContext) {
  const FileMethods* m = f->pMethods;
  const FileError error = m->pfnOpen(m->pContext, path, FILEOPEN_WRITE_OVER, &f->pFile);
  if (error != FILEERR_NONE) return StatusOfTarget(error);
  return FillAndClose(f, pfnContent, pContext) ? TEXTFILE_OK : TEXTFILE_WRITE_FAILED;
}

}  // namespace

TextFileStatus SafeSave_Write(const char* path, SaveContentProc pfnContent, void* pContext) {
  const FileMethods* m = FileIo_GetMethods();
  FileInfo info;
  const FileError error = m->pfnQuery(m->pContext, path, &info);
  if (error != FILEERR_NONE) return StatusOfTarget(error);
  if (info.kind == FILEKIND_FOLDER) return TEXTFILE_OPEN_FAILED;
  if (info.kind != FILEKIND_NONE && info.bReadOnly) return TEXTFILE_READ_ONLY;
  SaveFile* f = static_cast<SaveFile*>(Mem_Alloc(sizeof(SaveFile)));
  if (!f) return TEXTFILE_NO_MEMORY;
  f->pMethods = m;
  f->pFile = nullptr;
  f->bFailed = false;
  f->nUsed = 0;
  const TextFileStatus status = info.kind == FILEKIND_OTHER ? WriteInPlace(f, path, pfnContent, pContext)
                                                            : WriteReplacing(f, path, pfnContent, pContext);
  Mem_Free(f);
  return status;
}

bool SafeSave_TempPath(const char* path, int32_t n, char* buffer, int32_t size) {
  size_t folder = 0;
  for (const char* p = path; *p != 0; p = Char_Next(p)) {
    if (*p == '\\' || *p == '/' || *p == ':') folder = static_cast<size_t>(p - path) + 1;
  }
  if (folder + kTempNameLength + 1 > static_cast<size_t>(size)) return false;
  std::memcpy(buffer, path, folder);
  std::snprintf(buffer + folder, kTempNameLength + 1, kTempFormat, static_cast<unsigned>(n & 0xFFFF));
  return true;
}
