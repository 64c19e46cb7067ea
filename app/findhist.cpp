#include "app/findhist.h"

#include "app/histsection.h"
#include "tools/toolbase.h"

const char kFindHistorySection[] = "検索ダイアログ";
const char kReplaceHistorySection[] = "置換ダイアログ";

namespace {

int32_t ClampCount(int32_t nStored, int32_t nMax) {
  if (nStored < 0) return 0;
  return nStored > nMax ? nMax : nStored;
}

}  // namespace

int32_t FindHistory_ClampMax(int32_t nStoredMax) {
  if (nStoredMax < 0) return 0;
  return nStoredMax > kFindHistoryMaxLimit ? kFindHistoryMaxLimit : nStoredMax;
}

History* FindHistory_Read(const ProfileMethods* profile, const char* section) {
  QWIL_ASSERT(IsValidProfileMethods(profile) && section);
  int32_t nMax = FindHistory_ClampMax(Profile_ReadInt(profile, section, kHistoryMaxKey, kFindHistoryDefaultMax));
  int32_t n = ClampCount(Profile_ReadInt(profile, section, kHistoryCountKey, 0), nMax);
  History* history = History_Create(nMax);
  if (!history) return nullptr;
  HistorySection_ReadEntries(history, profile, section, n, kFindHistoryEntrySize, kFindHistoryEntrySize - 1);
  return history;
}

bool FindHistory_Write(const History* history, const ProfileMethods* profile, const char* section) {
  QWIL_ASSERT(IsValidHistory(history) && IsValidProfileMethods(profile) && section);
  int32_t nMax = FindHistory_ClampMax(history->nMax);
  return HistorySection_Write(history, profile, section, nMax, ClampCount(History_GetCount(history), nMax));
}
