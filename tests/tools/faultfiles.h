// A file seam over the C runtime's that counts its calls and makes a chosen
// one fail, as a full disk, a device error or a refusal of the system would:
// a failing write stores half its bytes, a failing close still releases the
// file, a failing open, query or replace does nothing. In force while it lives.
#pragma once

#include <string>
#include <vector>

#include "tools/fileio.h"

struct FaultFiles {
  FileMethods methods;
  const FileMethods* pBase = FileIo_CrtMethods();
  const FileMethods* pPrevious = nullptr;
  long nFailAt;                        // the call, counted from 0, that fails; -1 for none
  FileError failWith;                  // what a failing open, query or replace says
  std::vector<std::string> calls;      // the name of every call, in order

  explicit FaultFiles(long failAt = -1, FileError with = FILEERR_IO) : nFailAt(failAt), failWith(with) {
    methods = {this, Open, Read, Write, Flush, Close, Size, Query, Remove, Replace};
    pPrevious = FileIo_SetMethods(&methods);
  }
  ~FaultFiles() { FileIo_SetMethods(pPrevious); }
  FaultFiles(const FaultFiles&) = delete;
  FaultFiles& operator=(const FaultFiles&) = delete;

  long Count() const { return static_cast<long>(calls.size()); }
  long CountOf(const std::string& name) const {
    long n = 0;
    for (const std::string& c : calls) n += c == name ? 1 : 0;
    return n;
  }

 private:
  static FaultFiles* Of(void* context) { return static_cast<FaultFiles*>(context); }
  // Records the call; true when it is the one to fail.
  bool Fails(const char* name) {
    calls.push_back(name);
    return Count() - 1 == nFailAt;
  }
  void* Base() const { return pBase->pContext; }

  static FileError Open(void* c, const char* path, FileOpenMode mode, FileHandle** ppFile) {
    *ppFile = nullptr;
    if (Of(c)->Fails("open")) return Of(c)->failWith;
    return Of(c)->pBase->pfnOpen(Of(c)->Base(), path, mode, ppFile);
  }
  static int32_t Read(void* c, FileHandle* file, char* buffer, int32_t size) {
    if (Of(c)->Fails("read")) return -1;
    return Of(c)->pBase->pfnRead(Of(c)->Base(), file, buffer, size);
  }
  static bool Write(void* c, FileHandle* file, const char* data, int32_t size) {
    if (Of(c)->Fails("write")) {
      Of(c)->pBase->pfnWrite(Of(c)->Base(), file, data, size / 2);
      return false;
    }
    return Of(c)->pBase->pfnWrite(Of(c)->Base(), file, data, size);
  }
  static bool Flush(void* c, FileHandle* file) {
    if (Of(c)->Fails("flush")) return false;
    return Of(c)->pBase->pfnFlush(Of(c)->Base(), file);
  }
  static bool Close(void* c, FileHandle* file) {
    const bool fails = Of(c)->Fails("close");
    const bool closed = Of(c)->pBase->pfnClose(Of(c)->Base(), file);
    return closed && !fails;
  }
  static bool Size(void* c, FileHandle* file, int64_t* pSize) {
    if (Of(c)->Fails("size")) return false;
    return Of(c)->pBase->pfnSize(Of(c)->Base(), file, pSize);
  }
  static FileError Query(void* c, const char* path, FileInfo* pInfo) {
    if (Of(c)->Fails("query")) return Of(c)->failWith;
    return Of(c)->pBase->pfnQuery(Of(c)->Base(), path, pInfo);
  }
  static bool Remove(void* c, const char* path) {
    if (Of(c)->Fails("remove")) return false;
    return Of(c)->pBase->pfnRemove(Of(c)->Base(), path);
  }
  static FileError Replace(void* c, const char* from, const char* to) {
    if (Of(c)->Fails("replace")) return Of(c)->failWith;
    return Of(c)->pBase->pfnReplace(Of(c)->Base(), from, to);
  }
};
