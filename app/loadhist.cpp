#include "app/loadhist.h"

#include <cstring>

#include "app/appdata.h"
#include "app/histmenu.h"
#include "app/histsection.h"
#include "tools/toolbase.h"

namespace {

constexpr char kSection[] = "読込履歴";

}  // namespace

History* LoadHistory_Read(const ProfileMethods* profile) {
  int32_t nMax = LoadHistory_ClampMax(Profile_ReadInt(profile, kSection, kHistoryMaxKey, kLoadHistoryDefaultMax));
  int32_t n = LoadHistory_ClampCount(Profile_ReadInt(profile, kSection, kHistoryCountKey, 0), nMax);
  History* history = History_Create(nMax);
  if (!history) return nullptr;
  // Read into more than a path can take, so that a longer value is seen for
  // what it is instead of being cut.
  HistorySection_ReadEntries(history, profile, kSection, n, kPathBufferSize + 2, kPathMax);
  return history;
}

bool LoadHistory_Write(const History* history, const ProfileMethods* profile) {
  int32_t nMax = LoadHistory_ClampMax(history->nMax);
  return HistorySection_Write(history, profile, kSection, nMax, LoadHistory_ClampCount(History_GetCount(history), nMax));
}
