// The fleet row's names and its time arithmetic.
#include "fleet/fleet_row.h"

#include <cstdio>

#include "base/calendar.h"

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
    case RowStatus::Simulated:
      return "simulated";
    case RowStatus::BadProfile:
      return "bad-profile";
  }
  return "";
}

const char* ComparisonName(Comparison comparison) {
  switch (comparison) {
    case Comparison::Same:
      return "same";
    case Comparison::Differs:
      return "differs";
    case Comparison::Incomplete:
      return "incomplete";
    case Comparison::NoLog:
      return "no-log";
    case Comparison::NoProfile:
      return "no-profile";
  }
  return "";
}

const char* SourceName(RowSource source) { return source == RowSource::Log ? "log" : "simulation"; }

bool StatusFailed(RowStatus status) {
  return status != RowStatus::Read && status != RowStatus::Simulated;
}

bool RowFailed(const FleetRow& row) { return StatusFailed(row.status); }

std::optional<int64_t> DurationMs(const FleetRow& row) {
  if (!row.startMs || !row.endMs) return std::nullopt;
  return *row.endMs - *row.startMs;
}

namespace {

constexpr int64_t kMsPerDay = 86400000;

}  // namespace

int64_t LocalTimeMs(int year, int month, int day, int hour, int minute, int second,
                    int millisecond) {
  return DaysFromCivil({year, month, day}) * kMsPerDay +
         ((int64_t{hour} * 60 + minute) * 60 + second) * 1000 + millisecond;
}

std::string FormatLocalTime(int64_t ms) {
  int64_t days = ms / kMsPerDay;
  int64_t rest = ms % kMsPerDay;
  if (rest < 0) {
    rest += kMsPerDay;
    --days;
  }
  const CivilDate date = CivilFromDays(days);
  char text[96];
  std::snprintf(text, sizeof text, "%04lld-%02lld-%02lld %02lld:%02lld:%02lld.%03lld",
                static_cast<long long>(date.year), static_cast<long long>(date.month),
                static_cast<long long>(date.day), static_cast<long long>(rest / 3600000),
                static_cast<long long>(rest / 60000 % 60), static_cast<long long>(rest / 1000 % 60),
                static_cast<long long>(rest % 1000));
  return text;
}

}  // namespace quorvane::fleet
