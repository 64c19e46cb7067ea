#include "app/histsection.h"

#include "tools/toolbase.h"

const char kHistoryMaxKey[] = "最大履歴数";
const char kHistoryCountKey[] = "履歴数";

namespace {

void IndexKey(int32_t i, char* key, int32_t size) {
  TextBuf tb;
  TextBuf_Init(&tb, key, size);
  TextBuf_AppendInt(&tb, i);
}

}  // namespace

void HistorySection_ReadEntries(History* history, const ProfileMethods* profile, const char* section, int32_t nCount,
                                int32_t nEntrySize, int32_t nMaxLength) {
  QWIL_ASSERT(IsValidHistory(history) && IsValidProfileMethods(profile) && section);
  QWIL_ASSERT(nEntrySize > 0 && nEntrySize <= kHistorySectionEntryMax);
  for (int32_t i = 0; i < nCount; ++i) {
    char key[16];
    IndexKey(i, key, sizeof(key));
    char entry[kHistorySectionEntryMax];
    int32_t length = Profile_ReadString(profile, section, key, "", entry, nEntrySize);
    // A count beyond the keys present reads as empty entries: items that offer nothing.
    if (length == 0 || length > nMaxLength) continue;
    if (!History_Append(history, entry)) break;
  }
}

bool HistorySection_Write(const History* history, const ProfileMethods* profile, const char* section, int32_t nMax,
                          int32_t nCount) {
  QWIL_ASSERT(IsValidHistory(history) && IsValidProfileMethods(profile) && section);
  bool ok = Profile_WriteInt(profile, section, kHistoryMaxKey, nMax);
  ok = Profile_WriteInt(profile, section, kHistoryCountKey, nCount) && ok;
  for (int32_t i = 0; i < nCount; ++i) {
    char key[16];
    IndexKey(i, key, sizeof(key));
    ok = Profile_WriteString(profile, section, key, History_GetEntry(history, i)) && ok;
  }
  return ok;
}
