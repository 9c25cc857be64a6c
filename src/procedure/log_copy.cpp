// The closing log copy: the RAM-drive log and scripts go into the recovery partition's tools
// folder.
#include "base/text.h"
#include "procedure/rapid_start.h"
#include "run/layout_job.h"

namespace quorvane {

void CLayoutJob::CopyLogToPbr(const std::wstring& pbrLetter) {
  WriteLog(L"Copy log to PBR partition");
  const std::wstring scriptPath = Format(L"%s\\RebuildEnd_CopyFile.cmd", {pbrLetter});
  // The script copies itself before deleting itself, so the tools folder keeps a record of it.
  const std::wstring script =
      Format(L"MKDIR %s\\RYTOOLS\n", {pbrLetter}) +
      Format(L"XCOPY /c /f /i /y /h X:%s %s\\RYTOOLS\\\n", {kRapidStartScriptName, pbrLetter}) +
      Format(L"XCOPY /c /f /i /y /h X:\\Quorvane.log %s\\RYTOOLS\\\n", {pbrLetter}) +
      Format(L"XCOPY /c /f /i /y /h %s %s\\RYTOOLS\\\n", {scriptPath, pbrLetter}) +
      Format(L"del /S /R %s\n", {scriptPath});
  // A script that cannot be created still gets its run attempted, and that exit code logged.
  WriteScriptFile(scriptPath, script);
  LogExitCode(RunCommand(scriptPath));
}

}  // namespace quorvane
