// The watched paths, from the constants of the registration, the carving and the run log.
#include "capture/watched_paths.h"

#include "procedure/rapid_start.h"
#include "procedure/recovery_registration.h"
#include "run/run_log.h"

namespace quorvane::capture {
namespace {

// "M:\RecoveryImage" -> "RecoveryImage"; "\NAPP2P_SSDHDD.ini" -> "NAPP2P_SSDHDD.ini".
std::wstring BelowRoot(std::wstring path) {
  if (path.size() >= 2 && path[1] == L':') path.erase(0, 2);
  while (!path.empty() && path.front() == L'\\') path.erase(0, 1);
  return path;
}

std::wstring FolderOf(const std::wstring& path) {
  size_t slash = path.rfind(L'\\');
  return slash == std::wstring::npos ? L"" : path.substr(0, slash);
}

}  // namespace

std::vector<WatchedPath> WatchedPaths() {
  using Kind = WatchedPath::Kind;
  // The recovery agent the registration script starts: the first word of its line.
  const std::wstring line = kRegistrationLine;
  const std::wstring agent = line.substr(0, line.find(L' '));
  return {
      {BelowRoot(kRecoveryImageFolder), Kind::Folder},
      {BelowRoot(kSingleImage), Kind::Image},
      {BelowRoot(kSplitImage), Kind::Image},
      // The script can only be written into a folder that is already there.
      {BelowRoot(FolderOf(kRegistrationScript)), Kind::Folder},
      {BelowRoot(kRegistrationTarget), Kind::Folder},
      {BelowRoot(FolderOf(agent)), Kind::Folder},
      // A carving script left on the RAM drive is copied along by the closing copy script.
      {BelowRoot(kRapidStartScriptName), Kind::Text},
      // The INI writer adds to a log that is already there.
      {BelowRoot(LogFilePath(L"")), Kind::Text},
  };
}

}  // namespace quorvane::capture
