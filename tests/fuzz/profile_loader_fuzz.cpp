// Fuzzes the loader of machine profiles: any text either loads into a machine the simulator can
// run or is refused with a ProfileError that names the file and the JSON path.
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>

#include "platform/sim/profile_loader.h"
#include "tests/fuzz/fuzz_check.h"

using namespace quorvane::sim;

namespace {

const std::string kFile = "fuzzed.json";

bool IsLetter(const std::wstring& letter) {
  return letter.size() == 2 && letter[0] >= L'A' && letter[0] <= L'Z' && letter[1] == L':';
}

// What the simulated machine takes for granted about a loaded profile.
void CheckLoaded(const Profile& p) {
  std::set<std::wstring> letters;
  int ramDrives = 0;
  for (const auto& drive : p.drives) {
    FUZZ_CHECK(IsLetter(drive.letter));
    FUZZ_CHECK(letters.insert(drive.letter).second);
    ramDrives += drive.letter == L"X:";
    // A letter that opens a partition holds nothing of its own.
    if (drive.target) FUZZ_CHECK(!drive.label && drive.files.empty() && drive.letter != L"X:");
  }
  FUZZ_CHECK(ramDrives == (p.ramDrive ? 1 : 0));

  std::set<int> numbers;
  for (const auto& disk : p.disks) {
    // 999 marks an empty disk record in the engine: no real disk may carry it.
    FUZZ_CHECK(disk.index >= 0 && disk.index < 999);
    FUZZ_CHECK(numbers.insert(disk.index).second);
    FUZZ_CHECK(disk.sizeMB > 0);
    int64_t total = 0;
    for (const auto& partition : disk.partitions) {
      FUZZ_CHECK(partition.sizeMB > 0);
      total += partition.sizeMB;
      if (partition.letter) {
        FUZZ_CHECK(IsLetter(*partition.letter));
        FUZZ_CHECK(letters.insert(*partition.letter).second);
      }
    }
    // Partitions may outgrow their disk (the run then notes it), but every byte address of
    // them, the first MiB before them included, fits 63 bits.
    FUZZ_CHECK(disk.sizeMB <= (int64_t{1} << 42) && total <= (int64_t{1} << 42));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  try {
    CheckLoaded(LoadProfile(text, kFile));
  } catch (const ProfileError& e) {
    // The file, the JSON path and what was expected. Any other exception escapes and ends
    // the run as a fault.
    const std::string what = e.what();
    FUZZ_CHECK(what.starts_with(kFile + ": "));
    FUZZ_CHECK(what.find(": expected ") != std::string::npos);
  }
  return 0;
}
