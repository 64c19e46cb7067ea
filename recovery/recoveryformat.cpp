#include "recovery/recoveryformat.h"

#include <cstring>

#include "tools/checksum.h"

const char kRecoveryMagic[kRecoveryMagicSize] = {'Q', 'W', 'R', 'C', '\r', '\n', '\x1A', '\n'};

namespace {

// Offsets of the header's fields.
enum : int32_t {
  kOffVersion = 8,
  kOffSize = 12,
  kOffPid = 16,
  kOffToken = 20,
  kOffFlags = 28,
  kOffBaseKind = 32,
  kOffBaseSize = 36,
  kOffBaseTime = 44,
  kOffBaseCount = 52,
  kOffBaseLength = 56,
  kOffBaseSample = 60,
  kOffDiskPresent = 68,
  kOffDiskSize = 72,
  kOffDiskTime = 80,
  kOffPathLength = 88,
};
static_assert(kOffPathLength + 4 == kRecoveryHeaderFixed, "the path follows the fixed fields");

int32_t GetInt(const char* p) { return static_cast<int32_t>(RecoveryFormat_Get32(p)); }
int64_t GetLong(const char* p) { return static_cast<int64_t>(RecoveryFormat_Get64(p)); }

bool IsValidBase(const RecoveryBase& b) {
  if (b.kind == RECOVERYBASE_EMPTY) return true;
  return b.kind == RECOVERYBASE_FILE && b.nSize >= 0 && b.nCount >= 1 && b.nLength >= 0;
}

void DecodeBase(const char* p, RecoveryBase* b) {
  b->kind = static_cast<RecoveryBaseKind>(GetInt(p + kOffBaseKind));
  b->nSize = GetLong(p + kOffBaseSize);
  b->nWriteTime = GetLong(p + kOffBaseTime);
  b->nCount = GetInt(p + kOffBaseCount);
  b->nLength = GetInt(p + kOffBaseLength);
  b->nSample = RecoveryFormat_Get64(p + kOffBaseSample);
}

// The fields that are not checked by the checksum alone; the bytes are whole.
bool DecodeFields(const char* p, RecoveryHeader* h) {
  h->nPid = RecoveryFormat_Get32(p + kOffPid);
  h->nToken = RecoveryFormat_Get64(p + kOffToken);
  h->nFlags = RecoveryFormat_Get32(p + kOffFlags);
  DecodeBase(p, &h->base);
  const uint32_t present = RecoveryFormat_Get32(p + kOffDiskPresent);
  h->disk.bPresent = present == 1;
  h->disk.nSize = GetLong(p + kOffDiskSize);
  h->disk.nWriteTime = GetLong(p + kOffDiskTime);
  h->nPath = GetInt(p + kOffPathLength);
  h->pPath = h->nPath > 0 ? p + kRecoveryHeaderFixed : nullptr;
  return present <= 1 && IsValidRecoveryHeader(h);
}

}  // namespace

void RecoveryFormat_Put32(char* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

void RecoveryFormat_Put64(char* p, uint64_t v) {
  RecoveryFormat_Put32(p, static_cast<uint32_t>(v));
  RecoveryFormat_Put32(p + 4, static_cast<uint32_t>(v >> 32));
}

uint32_t RecoveryFormat_Get32(const char* p) {
  const unsigned char* u = reinterpret_cast<const unsigned char*>(p);
  return uint32_t(u[0]) | uint32_t(u[1]) << 8 | uint32_t(u[2]) << 16 | uint32_t(u[3]) << 24;
}

uint64_t RecoveryFormat_Get64(const char* p) {
  return uint64_t(RecoveryFormat_Get32(p)) | uint64_t(RecoveryFormat_Get32(p + 4)) << 32;
}

bool IsValidRecoveryHeader(const RecoveryHeader* h) {
  if (!h || (h->nFlags & ~kRecoveryFlagSnapshot) != 0 || !IsValidBase(h->base)) return false;
  if (h->disk.bPresent && h->disk.nSize < 0) return false;
  return 0 <= h->nPath && h->nPath <= kRecoveryMaxPath && (h->nPath == 0 || h->pPath);
}

int32_t RecoveryFormat_EncodeHeader(const RecoveryHeader* h, char* p) {
  QWIL_ASSERT(IsValidRecoveryHeader(h));
  const int32_t size = kRecoveryHeaderFixed + h->nPath + 4;
  std::memcpy(p, kRecoveryMagic, kRecoveryMagicSize);
  RecoveryFormat_Put32(p + kOffVersion, kRecoveryVersion);
  RecoveryFormat_Put32(p + kOffSize, static_cast<uint32_t>(size));
  RecoveryFormat_Put32(p + kOffPid, h->nPid);
  RecoveryFormat_Put64(p + kOffToken, h->nToken);
  RecoveryFormat_Put32(p + kOffFlags, h->nFlags);
  RecoveryFormat_Put32(p + kOffBaseKind, static_cast<uint32_t>(h->base.kind));
  RecoveryFormat_Put64(p + kOffBaseSize, static_cast<uint64_t>(h->base.nSize));
  RecoveryFormat_Put64(p + kOffBaseTime, static_cast<uint64_t>(h->base.nWriteTime));
  RecoveryFormat_Put32(p + kOffBaseCount, static_cast<uint32_t>(h->base.nCount));
  RecoveryFormat_Put32(p + kOffBaseLength, static_cast<uint32_t>(h->base.nLength));
  RecoveryFormat_Put64(p + kOffBaseSample, h->base.nSample);
  RecoveryFormat_Put32(p + kOffDiskPresent, h->disk.bPresent ? 1 : 0);
  RecoveryFormat_Put64(p + kOffDiskSize, static_cast<uint64_t>(h->disk.bPresent ? h->disk.nSize : 0));
  RecoveryFormat_Put64(p + kOffDiskTime, static_cast<uint64_t>(h->disk.bPresent ? h->disk.nWriteTime : 0));
  RecoveryFormat_Put32(p + kOffPathLength, static_cast<uint32_t>(h->nPath));
  if (h->nPath > 0) std::memcpy(p + kRecoveryHeaderFixed, h->pPath, static_cast<size_t>(h->nPath));
  RecoveryFormat_Put32(p + size - 4, Crc32_Update(0, p, static_cast<size_t>(size - 4)));
  return size;
}

RecoveryParse RecoveryFormat_DecodeHeader(const char* p, int64_t n, RecoveryHeader* h, int32_t* pSize) {
  *pSize = 0;
  // A prefix of the magic may be a header cut short; anything else is not one.
  const int64_t magic = n < kRecoveryMagicSize ? n : kRecoveryMagicSize;
  if (std::memcmp(p, kRecoveryMagic, static_cast<size_t>(magic)) != 0) return RECOVERYPARSE_BAD;
  if (n < kRecoveryHeaderFixed) return RECOVERYPARSE_SHORT;
  if (RecoveryFormat_Get32(p + kOffVersion) != kRecoveryVersion) return RECOVERYPARSE_BAD;
  const uint32_t size = RecoveryFormat_Get32(p + kOffSize);
  const uint32_t path = RecoveryFormat_Get32(p + kOffPathLength);
  if (path > uint32_t(kRecoveryMaxPath) || size != kRecoveryHeaderFixed + path + 4) return RECOVERYPARSE_BAD;
  if (n < int64_t(size)) return RECOVERYPARSE_SHORT;
  if (Crc32_Update(0, p, size - 4) != RecoveryFormat_Get32(p + size - 4)) return RECOVERYPARSE_BAD;
  if (!DecodeFields(p, h)) return RECOVERYPARSE_BAD;
  *pSize = static_cast<int32_t>(size);
  return RECOVERYPARSE_OK;
}

void RecoveryFormat_PutRecordHead(char* p, RecoveryRecordType type, uint32_t seq, int32_t nPayload) {
  QWIL_ASSERT(0 <= nPayload && nPayload <= kRecordMaxPayload);
  RecoveryFormat_Put32(p, static_cast<uint32_t>(nPayload));
  p[4] = static_cast<char>(type);
  p[5] = p[6] = p[7] = 0;
  RecoveryFormat_Put32(p + 8, seq);
}

void RecoveryFormat_SealRecord(char* p) {
  const uint32_t size = kRecordHead + RecoveryFormat_Get32(p);
  RecoveryFormat_Put32(p + size, Crc32_Update(0, p, size));
}

RecoveryParse RecoveryFormat_ParseRecord(const char* p, int64_t n, RecoveryRecord* record, int32_t* pSize) {
  *pSize = 0;
  if (n < kRecordHead) return RECOVERYPARSE_SHORT;
  const uint32_t payload = RecoveryFormat_Get32(p);
  const uint8_t type = static_cast<uint8_t>(p[4]);
  if (payload > uint32_t(kRecordMaxPayload) || type < RECOVERYREC_EDIT || type > RECOVERYREC_DONE) {
    return RECOVERYPARSE_BAD;
  }
  if (p[5] != 0 || p[6] != 0 || p[7] != 0) return RECOVERYPARSE_BAD;
  const int32_t size = kRecordHead + static_cast<int32_t>(payload) + kRecordTail;
  if (n < size) return RECOVERYPARSE_SHORT;
  if (Crc32_Update(0, p, size - kRecordTail) != RecoveryFormat_Get32(p + size - kRecordTail)) {
    return RECOVERYPARSE_BAD;
  }
  record->type = static_cast<RecoveryRecordType>(type);
  record->nSeq = RecoveryFormat_Get32(p + 8);
  record->pPayload = p + kRecordHead;
  record->nPayload = static_cast<int32_t>(payload);
  *pSize = size;
  return RECOVERYPARSE_OK;
}

bool RecoveryFormat_DecodeEdit(const RecoveryRecord* r, RecoveryEdit* edit) {
  if (r->type != RECOVERYREC_EDIT || r->nPayload < kEditFixed) return false;
  const char* p = r->pPayload;
  edit->range = {{GetInt(p), GetInt(p + 4)}, {GetInt(p + 8), GetInt(p + 12)}};
  edit->nText = GetInt(p + 16);
  const TextRange& g = edit->range;
  if (g.start.x < 0 || g.start.y < 0 || g.end.x < 0 || g.end.y < 0 || !TextRange_IsOrdered(g)) return false;
  return edit->nText >= r->nPayload - kEditFixed;
}

bool RecoveryFormat_DecodeState(const RecoveryRecord* r, RecoveryState* state) {
  if (r->type != RECOVERYREC_STATE || r->nPayload != kStateSize) return false;
  const char* p = r->pPayload;
  state->ptCaret = {GetInt(p), GetInt(p + 4)};
  state->nLength = GetInt(p + 8);
  state->nCount = GetInt(p + 12);
  return state->nLength >= 0 && state->nCount >= 1;
}

bool RecoveryFormat_DecodeDone(const RecoveryRecord* r, int32_t* pLength, int32_t* pCount) {
  if (r->type != RECOVERYREC_DONE || r->nPayload != kDoneSize) return false;
  *pLength = GetInt(r->pPayload);
  *pCount = GetInt(r->pPayload + 4);
  return *pLength >= 0 && *pCount >= 1;
}
