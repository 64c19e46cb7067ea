// The bytes of a recovery file: the text a window has not saved yet, kept on
// disk so that it survives a crash, a power cut or a forced end.
//
// A file is a header and then records, every number little-endian:
//
//   header   magic "QWRC" CR LF 1A LF, version, header size, owner (process id
//            and start token), flags, the base (what the records are replayed
//            over), the document file as it was loaded or last saved, the
//            document path (code page 932, empty for an untitled document),
//            and the CRC-32 of everything before it.
//   record   payload size (u32), type (u8), three zero bytes, sequence number
//            (u32, from 0, one more each record), payload, and the CRC-32 of
//            the record up to there.
//
// Records: EDIT replaces a range (sx, sy, ex, ey) by a text of total bytes; at
// most kRecordTextChunk of them travel in the EDIT, the rest in MORE records
// right behind it. STATE gives the caret and the document's length and line
// count after everything before it, as a check. DONE ends the records that
// build a snapshot's text from nothing, with the same check.
//
// The text is the document's own bytes, never converted. A reader replays the
// records over the base; a record that is cut off or fails its checksum ends
// what can be used. The whole layout is written and read by this module only.
#pragma once

#include <cstdint>

#include "editctrl/textdata.h"

constexpr uint32_t kRecoveryVersion = 1;
constexpr int32_t kRecoveryMagicSize = 8;
extern const char kRecoveryMagic[kRecoveryMagicSize];

// Header bytes before the path, and the longest path a header holds.
constexpr int32_t kRecoveryHeaderFixed = 92;
constexpr int32_t kRecoveryMaxPath = 32767;
constexpr int32_t kRecoveryMaxHeader = kRecoveryHeaderFixed + kRecoveryMaxPath + 4;

enum RecoveryBaseKind : int32_t {
  RECOVERYBASE_EMPTY = 0,  // an empty document
  RECOVERYBASE_FILE = 1,   // the document file as it was loaded or saved
};

// What a file's records are replayed over. A file base names the document
// file by its size and write time, and by its document's line count, length
// and sample (recoverybase.h), all as they were when the base was taken.
struct RecoveryBase {
  RecoveryBaseKind kind;
  int64_t nSize;
  int64_t nWriteTime;
  int32_t nCount;
  int32_t nLength;
  uint64_t nSample;
};

// The document file when it was loaded or last saved, to tell at start-up
// whether it changed since; bPresent false when there was none.
struct RecoveryDisk {
  bool bPresent;
  int64_t nSize;
  int64_t nWriteTime;
};

constexpr uint32_t kRecoveryFlagSnapshot = 1;  // the records build the text from nothing up to DONE

struct RecoveryHeader {
  uint32_t nPid;    // the owning process
  uint64_t nToken;  // its start, which a later process of the same id does not share
  uint32_t nFlags;
  RecoveryBase base;
  RecoveryDisk disk;
  const char* pPath;  // nPath bytes, not terminated; decoding points into the bytes decoded
  int32_t nPath;      // 0 for an untitled document
};

bool IsValidRecoveryHeader(const RecoveryHeader* header);

// The header's bytes into buffer (kRecoveryMaxHeader bytes at most); the count.
int32_t RecoveryFormat_EncodeHeader(const RecoveryHeader* header, char* buffer);

enum RecoveryParse : int32_t {
  RECOVERYPARSE_OK,
  RECOVERYPARSE_SHORT,  // the bytes end before it does: cut off, or read more
  RECOVERYPARSE_BAD,    // not one: wrong magic or version, a checksum that fails, sizes out of range
};
// Decodes the header at the start of n bytes; *pSize gets its size.
RecoveryParse RecoveryFormat_DecodeHeader(const char* data, int64_t n, RecoveryHeader* header, int32_t* pSize);

enum RecoveryRecordType : uint8_t {
  RECOVERYREC_EDIT = 1,
  RECOVERYREC_MORE = 2,
  RECOVERYREC_STATE = 3,
  RECOVERYREC_DONE = 4,
};

constexpr int32_t kRecordHead = 12;
constexpr int32_t kRecordTail = 4;
constexpr int32_t kRecordTextChunk = 1 << 20;
constexpr int32_t kEditFixed = 20;  // sx, sy, ex, ey, total text bytes
constexpr int32_t kStateSize = 16;  // caret x, y, length, count
constexpr int32_t kDoneSize = 8;    // length, count
constexpr int32_t kRecordMaxPayload = kEditFixed + kRecordTextChunk;

struct RecoveryRecord {
  RecoveryRecordType type;
  uint32_t nSeq;
  const char* pPayload;  // points into the bytes parsed
  int32_t nPayload;
};
// Parses the record at the start of n bytes; *pSize gets its size.
RecoveryParse RecoveryFormat_ParseRecord(const char* data, int64_t n, RecoveryRecord* record, int32_t* pSize);

// The fields of an EDIT: the range and the total size of its text; the first
// bytes of the text are the payload from kEditFixed on.
struct RecoveryEdit {
  TextRange range;
  int32_t nText;
};
// False when the payload is not an EDIT's: too short, negative numbers, more
// text than it says, or a range out of order.
bool RecoveryFormat_DecodeEdit(const RecoveryRecord* record, RecoveryEdit* edit);

struct RecoveryState {
  POINT ptCaret;
  int32_t nLength;
  int32_t nCount;
};
bool RecoveryFormat_DecodeState(const RecoveryRecord* record, RecoveryState* state);
bool RecoveryFormat_DecodeDone(const RecoveryRecord* record, int32_t* pLength, int32_t* pCount);

// Little-endian numbers, for the modules that write records.
void RecoveryFormat_Put32(char* p, uint32_t v);
void RecoveryFormat_Put64(char* p, uint64_t v);
uint32_t RecoveryFormat_Get32(const char* p);
uint64_t RecoveryFormat_Get64(const char* p);
// Writes a record's head (size, type, zeros, sequence) at p.
void RecoveryFormat_PutRecordHead(char* p, RecoveryRecordType type, uint32_t seq, int32_t nPayload);
// Writes the checksum of the record at p (its payload already in place).
void RecoveryFormat_SealRecord(char* p);
