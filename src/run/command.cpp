// Child processes, file existence and script files.
#include "run/command.h"

#include "base/text.h"
#include "run/layout_job.h"
#include "run/run_log.h"

namespace quorvane {

namespace {
// The command-line buffer holds 4096 characters, the terminating zero included.
constexpr size_t kCommandLineChars = 4096;
}  // namespace

uint32_t CLayoutJob::RunCommand(const std::wstring& commandLine) {
  ProcessOutcome outcome;
  if (commandLine.size() >= kCommandLineChars) {
    // Too long for the buffer: refused as the system refuses a too-long name.
    outcome.lastError = win::kErrorFilenameExcedRange;
  } else {
    outcome = m_platform.RunProcess(commandLine);
  }
  if (outcome.started) return outcome.exitCode;
  const std::wstring message = Format(kCallErrorLine, {outcome.lastError, commandLine});
  // The exit code 0 that follows must not read as a clean run: the log, the only outcome a
  // technician reads, says the command never started (the box is gone once answered).
  WriteLog(message);
  m_platform.MessageBox(message, kProgramName, win::kMbOk);
  return 0;
}

bool CLayoutJob::FileExists(const std::wstring& path) { return m_platform.FindFirstFile(path); }

bool CLayoutJob::WriteScriptFile(const std::wstring& path, const std::wstring& text) {
  auto file = m_platform.CreateScriptFile(path);
  if (!file) return false;
  file->Write(text);
  file->Close();
  return true;
}

}  // namespace quorvane
