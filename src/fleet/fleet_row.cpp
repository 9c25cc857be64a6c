// The fleet row's names and its time arithmetic.
#include "fleet/fleet_row.h"

#include <cstdio>

namespace quorvane::fleet {

const char* StatusName(RowStatus status) {
  switch (status) {
    case RowStatus::Read:
      return "read";
    case RowStatus::CutShort:
      return "cut-short";
    case RowStatus::Damaged:
      return "damaged";
    case RowStatus::Foreign:
      return "foreign";
  }
  return "";
}

const char* SourceName(RowSource source) { return source == RowSource::Log ? "log" : "simulation"; }

bool RowFailed(const FleetRow& row) { return row.status != RowStatus::Read; }

std::optional<int64_t> DurationMs(const FleetRow& row) {
  if (!row.startMs || !row.endMs) return std::nullopt;
  return *row.endMs - *row.startMs;
}

namespace {

constexpr int64_t kMsPerDay = 86400000;

// Days since 1970-01-01 of a civil date, for any year (the usual era-based count).
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
  y -= m <= 2 ? 1 : 0;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, int64_t& y, int64_t& m, int64_t& d) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp + (mp < 10 ? 3 : -9);
  y = yoe + era * 400 + (m <= 2 ? 1 : 0);
}

}  // namespace

int64_t LocalTimeMs(int year, int month, int day, int hour, int minute, int second,
                    int millisecond) {
  return DaysFromCivil(year, month, day) * kMsPerDay +
         ((int64_t{hour} * 60 + minute) * 60 + second) * 1000 + millisecond;
}

std::string FormatLocalTime(int64_t ms) {
  int64_t days = ms / kMsPerDay;
  int64_t rest = ms % kMsPerDay;
  if (rest < 0) {
    rest += kMsPerDay;
    --days;
  }
  int64_t y = 0, m = 0, d = 0;
  CivilFromDays(days, y, m, d);
  char text[96];
  std::snprintf(text, sizeof text, "%04lld-%02lld-%02lld %02lld:%02lld:%02lld.%03lld",
                static_cast<long long>(y), static_cast<long long>(m), static_cast<long long>(d),
                static_cast<long long>(rest / 3600000), static_cast<long long>(rest / 60000 % 60),
                static_cast<long long>(rest / 1000 % 60), static_cast<long long>(rest % 1000));
  return text;
}

}  // namespace quorvane::fleet
