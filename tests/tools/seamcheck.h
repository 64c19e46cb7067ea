// What every implementation of the file seam must do with bytes: a new file
// written, flushed and closed reads back unchanged (0x1A and NUL included, no
// line end translated), with the size the file system gives, through the
// seam's reader.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "tools/fileio.h"

inline void SeamCheck_RoundTrip(const FileMethods* m, const std::string& path) {
  const std::string bytes("a\r\nb\x1A\0c\n", 8);
  void* c = m->pContext;
  FileHandle* file = nullptr;
  ASSERT_EQ(FILEERR_NONE, m->pfnOpen(c, path.c_str(), FILEOPEN_CREATE_NEW, &file));
  EXPECT_TRUE(m->pfnWrite(c, file, bytes.data(), static_cast<int32_t>(bytes.size())));
  EXPECT_TRUE(m->pfnFlush(c, file));
  EXPECT_TRUE(m->pfnClose(c, file));
  ASSERT_EQ(FILEERR_NONE, m->pfnOpen(c, path.c_str(), FILEOPEN_READ, &file));
  int64_t size = -1;
  EXPECT_TRUE(m->pfnSize(c, file, &size));
  EXPECT_EQ(8, size);
  FileReaderContext context;
  const ByteReader reader = FileIo_Reader(&context, m, file);
  char buffer[32];
  const int32_t n = reader.pfnRead(reader.pContext, buffer, sizeof(buffer));
  EXPECT_EQ(bytes, std::string(buffer, n > 0 ? static_cast<size_t>(n) : 0));
  EXPECT_EQ(0, reader.pfnRead(reader.pContext, buffer, sizeof(buffer)));
  EXPECT_TRUE(m->pfnClose(c, file));
}

// Appending continues an existing file behind its last byte (and refuses a
// missing one); a query gives the file's size and a write time.
inline void SeamCheck_AppendAndQuery(const FileMethods* m, const std::string& path) {
  void* c = m->pContext;
  FileHandle* file = nullptr;
  ASSERT_EQ(FILEERR_NOT_FOUND, m->pfnOpen(c, path.c_str(), FILEOPEN_APPEND, &file));
  EXPECT_EQ(nullptr, file);
  ASSERT_EQ(FILEERR_NONE, m->pfnOpen(c, path.c_str(), FILEOPEN_CREATE_NEW, &file));
  EXPECT_TRUE(m->pfnWrite(c, file, "ab\n", 3));
  EXPECT_TRUE(m->pfnClose(c, file));
  FileInfo before = {};
  ASSERT_EQ(FILEERR_NONE, m->pfnQuery(c, path.c_str(), &before));
  EXPECT_EQ(FILEKIND_FILE, before.kind);
  EXPECT_EQ(3, before.nSize);
  EXPECT_GT(before.nWriteTime, 0);
  for (const char* more : {"cd", "\x1A\r\n"}) {
    ASSERT_EQ(FILEERR_NONE, m->pfnOpen(c, path.c_str(), FILEOPEN_APPEND, &file));
    EXPECT_TRUE(m->pfnWrite(c, file, more, static_cast<int32_t>(std::string(more).size())));
    EXPECT_TRUE(m->pfnFlush(c, file));
    EXPECT_TRUE(m->pfnClose(c, file));
  }
  FileInfo after = {};
  ASSERT_EQ(FILEERR_NONE, m->pfnQuery(c, path.c_str(), &after));
  EXPECT_EQ(8, after.nSize);
  EXPECT_GE(after.nWriteTime, before.nWriteTime);
  ASSERT_EQ(FILEERR_NONE, m->pfnOpen(c, path.c_str(), FILEOPEN_READ, &file));
  char buffer[32];
  const int32_t n = m->pfnRead(c, file, buffer, sizeof(buffer));
  EXPECT_EQ(std::string("ab\ncd\x1A\r\n"), std::string(buffer, n > 0 ? static_cast<size_t>(n) : 0));
  EXPECT_TRUE(m->pfnClose(c, file));
}
