// Collecting a machine's raw facts: the run's own reads through the platform, and the few reads a
// run does not make through the capture system. Nothing is changed on the machine.
#pragma once

#include "capture/capture_system.h"
#include "capture/machine_facts.h"
#include "platform/platform.h"

namespace quorvane::capture {

// Disk numbers tried one by one when WMI cannot list the disks.
inline constexpr int kProbedDisks = 32;
// A text file beyond this is left unread.
inline constexpr uint32_t kTextFileLimit = 1u << 20;

MachineFacts CollectFacts(Platform& platform, CaptureSystem& system);

// The facts of a volume's watched files below `root` (a path ending in '\').
std::vector<FoundFile> CollectFiles(CaptureSystem& system, const std::wstring& root);

}  // namespace quorvane::capture
