// quorvane-sim's check of every run it makes against the run's invariants.
#include "tools/sim/invariant_check.h"

#include "report/run_invariants.h"

namespace quorvane::sim {

bool KeptInvariants(const Profile& loaded, const SimPlatform& machine,
                    const report::RunReport& report, std::ostream& err) {
  const auto broken = report::BrokenInvariants(loaded, machine, report);
  for (const auto& text : broken)
    err << "quorvane-sim: internal failure: the run broke an invariant: " << text << "\n";
  return broken.empty();
}

}  // namespace quorvane::sim
