// Civil dates as day counts: the arithmetic both the simulated clock and the readers of real logs
// need (any year, proleptic Gregorian calendar).
#pragma once

#include <cstdint>

namespace quorvane {

struct CivilDate {
  int64_t year = 1970;
  int64_t month = 1;  // 1 to 12
  int64_t day = 1;    // 1 to 31
};

// Days since 1970-01-01; negative before it.
int64_t DaysFromCivil(const CivilDate& date);
CivilDate CivilFromDays(int64_t days);

}  // namespace quorvane
