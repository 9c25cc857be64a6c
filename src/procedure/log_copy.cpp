// The closing log copy: the RAM-drive log and scripts go into the recovery partition's tools
// folder.
#include "procedure/log_copy.h"

#include "base/text.h"
#include "procedure/rapid_start.h"
#include "run/layout_job.h"
#include "run/run_log.h"

namespace quorvane {

std::wstring CopyScriptPath(const std::wstring& pbrLetter) {
  return Format(kCopyScript, {pbrLetter});
}

void CLayoutJob::CopyLogToPbr(const std::wstring& pbrLetter) {
  WriteLog(kCopyLogLine);
  const std::wstring scriptPath = CopyScriptPath(pbrLetter);
  const std::wstring tools = Format(L"%s\\%s", {pbrLetter, kToolsFolderName});
  // The script copies itself before deleting itself, so the tools folder keeps a record of it.
  const std::wstring script =
      Format(L"MKDIR %s\n", {tools}) +
      Format(L"XCOPY /c /f /i /y /h %s %s\\\n", {RapidStartScriptPath(), tools}) +
      Format(L"XCOPY /c /f /i /y /h %s %s\\\n", {LogFilePath(L""), tools}) +
      Format(L"XCOPY /c /f /i /y /h %s %s\\\n", {scriptPath, tools}) +
      Format(L"del /S /R %s\n", {scriptPath});
  // A script that cannot be created still gets its run attempted, and that exit code logged.
  WriteScriptFile(scriptPath, script);
  LogExitCode(RunCommand(scriptPath));
}

}  // namespace quorvane
