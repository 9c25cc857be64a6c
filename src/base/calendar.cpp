// Day counts of civil dates, by the usual 400-year era arithmetic.
#include "base/calendar.h"

namespace quorvane {

int64_t DaysFromCivil(const CivilDate& date) {
  const int64_t m = date.month;
  const int64_t y = date.year - (m <= 2 ? 1 : 0);
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + date.day - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

CivilDate CivilFromDays(int64_t days) {
  days += 719468;
  const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const int64_t doe = days - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  CivilDate date;
  date.day = doy - (153 * mp + 2) / 5 + 1;
  date.month = mp + (mp < 10 ? 3 : -9);
  date.year = yoe + era * 400 + (date.month <= 2 ? 1 : 0);
  return date;
}

}  // namespace quorvane
