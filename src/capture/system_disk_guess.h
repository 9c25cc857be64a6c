// Which disk diskpart's "select disk system" picks, told from the partition tables.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "capture/capture_notes.h"
#include "capture/machine_facts.h"

namespace quorvane::capture {

// The disk of the EFI system partition on a UEFI machine, of the active MBR partition otherwise;
// empty when no disk has one. `notes` gets one when the answer is uncertain.
std::optional<int> GuessSystemDisk(const MachineFacts& facts, Notes& notes);

}  // namespace quorvane::capture
