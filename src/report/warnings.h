// What in a simulated run would surprise a technician on the real machine.
#pragma once

#include <vector>

#include "platform/sim/sim_platform.h"
#include "report/logged_lines.h"
#include "report/run_report.h"

namespace quorvane::report {

// Kinds: "letter-role", "disk-cleaned", "message-box", "no-ram-log", "lost-log-line",
// "command-failed", what the run could not see (sight.h) and "capture-note" or "capture-fact" for
// each of a captured profile's notes. Read
// from the machine as the run left it and from the report's disks, marked with what the run saw;
// ordered by severity, most first.
std::vector<Warning> BuildWarnings(const sim::SimPlatform& machine, const LoggedLines& logged,
                                   const RunReport& report);

// "implausible-size": a disk of the profile under 1024 MB or over 64 TB, too large for the run's
// 32-bit size field, or smaller than its partitions. Read from the report's disks before the run.
void SizeWarnings(const RunReport& report, std::vector<Warning>& warnings);

// "no-ram-log": the first line the run wrote to X:\Quorvane.log was lost (no drive X:, no volume
// there, read-only): the real run leaves no log, or only the lines that reach M:.
void RamLogWarnings(const sim::SimPlatform& machine, std::vector<Warning>& warnings);

// "smbios-unread", "label-unreachable", "disk-not-inventoried", "no-disk",
// "firmware-undetermined".
void SightWarnings(const sim::SimPlatform& machine, const LoggedLines& logged,
                   const RunReport& report, std::vector<Warning>& warnings);

}  // namespace quorvane::report
