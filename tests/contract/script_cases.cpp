// The scripts the program writes, run by the command interpreter with the stand-ins of the system
// tools: the index command file, the registration script, the system-disk probe and the copy
// script, and XCOPY onto good and bad targets.
#include "base/text.h"
#include "classify/system_disk.h"
#include "procedure/install_index.h"
#include "procedure/log_copy.h"
#include "procedure/recovery_registration.h"
#include "run/layout_job.h"
#include "tests/contract/contract.h"

namespace quorvane::contract {
namespace {

void SeeFiles(Bench& b, std::initializer_list<const wchar_t*> paths) {
  for (const wchar_t* path : paths) b.see.See(Narrow8(path), Show(b.platform.ReadFileBytes(path)));
}

void IndexCommandFile(Bench& b) {
  CLayoutJob job(b.platform, CLayoutJob::NoRun{});
  b.see.Expect("index", Show(job.ParseInstallIndex(kSingleImage)), Show(std::wstring(L"2")));
  SeeFiles(b, {kIndexCommandFile, kIndexInfoFile});
}

void IndexOfAMissingImage(Bench& b) {
  CLayoutJob job(b.platform, CLayoutJob::NoRun{});
  // find finds no index line: Windows ends the file's plain exit with find's 1, Wine with 0.
  b.see.Known("ran " + Narrow8(kIndexCommandFile), "exit 1", "exit 0");
  b.see.Expect("index", Show(job.ParseInstallIndex(L"M:\\RecoveryImage\\missing.wim")),
               Show(std::wstring(kDefaultImageIndex)));
  SeeFiles(b, {kIndexInfoFile});
}

void RegistrationScript(Bench& b) {
  CLayoutJob job(b.platform, CLayoutJob::NoRun{});
  // The two steps of the registration that follow its letters.
  const std::wstring line = Format(kRegistrationLine, {kRecoveryImageFolder, kRegistrationTarget,
                                                       std::wstring(kDefaultImageIndex)});
  b.see.Expect("written", Show(job.WriteScriptFile(kRegistrationScript, line)), "true");
  job.RunCommand(kRegistrationScript);
  SeeFiles(b, {kRegistrationScript});
  // Without the image folder the agent refuses.
  const std::wstring missing = Format(
      kRegistrationLine, {std::wstring(L"M:\\NoImages"), kRegistrationTarget, std::wstring(L"2")});
  job.WriteScriptFile(kRegistrationScript, missing);
  job.RunCommand(kRegistrationScript);
}

void SystemDiskProbe(Bench& b) {
  CLayoutJob job(b.platform, CLayoutJob::NoRun{});
  job.SelectSystemDisk(false);
  b.see.Expect("system disk", Show(int64_t{job.m_PBRInfo.nDisk}), "0");
  SeeFiles(b, {kProbeScript, kProbeCommand, kProbeReport});
}

void CopyScript(Bench& b) {
  CLayoutJob job(b.platform, CLayoutJob::NoRun{});
  // The log to copy; the rapid-start script is missing, which XCOPY reports and goes on.
  job.WriteLog(L"Copy log to PBR partition");
  job.CopyLogToPbr(L"M:");
  b.see.Expect("the script left behind",
               Show(b.platform.FindFirstFile(L"M:\\RebuildEnd_CopyFile.cmd")), "false");
  b.see.Expect("the log copied", Show(b.platform.FindFirstFile(L"M:\\RYTOOLS\\Quorvane.log")),
               "true");
  // Wine's del takes /S as it is documented, for every folder below the one named: the record
  // the script made of itself goes too. The simulator deletes the one file the line names.
  b.see.Known("the script's record in RYTOOLS",
              Show(b.platform.FindFirstFile(L"M:\\RyTools\\RebuildEnd_CopyFile.cmd")), "true",
              "false");
  b.platform.DeleteFile(L"M:\\RyTools\\RebuildEnd_CopyFile.cmd");
  SeeFiles(b, {L"M:\\RyTools\\NAPP2P_SSDHDD.ini"});
}

void CopyOntoTargets(Bench& b) {
  if (auto file = b.platform.CreateScriptFile(L"X:\\contract\\copy.cmd")) {
    file->Write(
        L"XCOPY /c /f /i /y /h X:\\contract\\source.txt X:\\contract\\copies\\deep\\\n"
        L"XCOPY /c /f /i /y /h X:\\contract\\source.txt X:\\contract\\copies\\deep\\\n"
        L"XCOPY /c /f /i /y /h X:\\contract\\source.txt O:\\copies\\\n"
        L"XCOPY /c /f /i /y /h X:\\contract\\source.txt O:\\\n"
        L"XCOPY /c /f /i /y /h X:\\contract\\none.txt X:\\contract\\copies\\\n"
        L"XCOPY /c /f /i /y /h X:\\contract\\source.txt X:\\contract\\source.txt\\\n");
    file->Close();
  }
  b.platform.RunProcess(L"X:\\contract\\copy.cmd");
  SeeFiles(b, {L"X:\\contract\\copies\\deep\\source.txt", L"O:\\source.txt"});
}

}  // namespace

std::vector<Case> ScriptCases() {
  return {
      {"script-index-command-file", nullptr, IndexCommandFile},
      {"script-index-of-a-missing-image", nullptr, IndexOfAMissingImage},
      {"script-registration", nullptr, RegistrationScript},
      {"script-system-disk-probe", nullptr, SystemDiskProbe},
      {"script-copy", nullptr, CopyScript},
      {"script-copy-onto-targets", nullptr, CopyOntoTargets, true},
  };
}

}  // namespace quorvane::contract
