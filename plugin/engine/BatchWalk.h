#pragma once
// The batch walk and result folding shared by the batch entry points.

#include <cstdint>

#include "Log.h"
#include "SnapInfo.h"

namespace zrso {

inline void LogBatchCount(const char* function, int16_t count) {
  ZRSO_LOG(LOG_DETAIL, function, "count [%hd]", count);
}

// Hands each record to `step` in array order until the index reaches `count`
// or the entry is null. Returns how many steps returned RESULT_SUCCESS. A
// null array is walked as an empty one.
template <typename Step>
int16_t WalkRecords(ZRSO::SnapInfo** records, int16_t count, Step step) {
  int16_t successes = 0;
  if (records == nullptr) return successes;
  for (int16_t index = 0; index < count && records[index] != nullptr; ++index) {
    if (step(records[index]) == ZRSO::RESULT_SUCCESS) ++successes;
  }
  return successes;
}

// The whole walk: the count logged, then the records.
template <typename Step>
int16_t WalkBatch(const char* function, ZRSO::SnapInfo** records, int16_t count, Step step) {
  LogBatchCount(function, count);
  return WalkRecords(records, count, step);
}

// Folds against the count the host passed, not the number visited: a null
// entry before the end turns a complete success into a partial one.
inline ZRSO::ResultCode FoldBatchResult(int16_t successes, int16_t count) {
  if (successes == 0) return ZRSO::RESULT_FAILURE;
  if (successes < count) return ZRSO::RESULT_PARTIAL;
  return ZRSO::RESULT_SUCCESS;
}

}  // namespace zrso
