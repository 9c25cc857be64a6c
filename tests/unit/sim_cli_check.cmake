# Runs quorvane-sim for one command-line case and checks its exit status, its output and the
# output folder. Called by CTest with -DSIM=<binary> -DCASE=<name> -DWORK=<scratch folder>
# -DDATA=<tests/unit/sim_cli> -DVERSION=<the project's version>.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

function(run expected_status)
  execute_process(COMMAND ${RUN_PREFIX} ${SIM} ${ARGN} WORKING_DIRECTORY ${WORK}
                  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status STREQUAL "${expected_status}")
    message(FATAL_ERROR "exit status ${status}, expected ${expected_status}\n${out}\n${err}")
  endif()
  set(OUT "${out}" PARENT_SCOPE)
  set(ERR "${err}" PARENT_SCOPE)
endfunction()

function(expect text pattern)
  if(NOT "${text}" MATCHES "${pattern}")
    message(FATAL_ERROR "expected to match \"${pattern}\":\n${text}")
  endif()
endfunction()

# A refused run: exit status 2, exactly the one line `line` on stderr, nothing on stdout.
function(refused line)
  run(2 ${ARGN})
  if(NOT ERR STREQUAL "${line}\n" OR NOT OUT STREQUAL "")
    message(FATAL_ERROR "quorvane-sim ${ARGN}: expected the one line\n${line}\nfound:\n${ERR}${OUT}")
  endif()
endfunction()

if(CASE STREQUAL "bad-profile")
  run(2 ${DATA}/bad-size.json --out run)
  expect("${ERR}" "bad-size.json: disks\\[1\\]\\.partitions\\[0\\]\\.sizeMB: expected a positive whole number of MiB, found -5\n$")
  if(EXISTS ${WORK}/run)
    message(FATAL_ERROR "a bad profile still made the output folder")
  endif()
elseif(CASE STREQUAL "bad-profiles")
  # Each malformed profile: exit status 2, one line on stderr naming the file and the JSON path
  # of the bad field (listed in expected-paths.txt), no output folder, no crash.
  file(STRINGS ${DATA}/bad/expected-paths.txt cases)
  list(LENGTH cases count)
  if(count LESS 20)
    message(FATAL_ERROR "only ${count} malformed profiles")
  endif()
  foreach(entry IN LISTS cases)
    string(FIND "${entry}" " " space)
    string(SUBSTRING "${entry}" 0 ${space} name)
    math(EXPR from "${space} + 1")
    string(SUBSTRING "${entry}" ${from} -1 path)
    run(2 ${DATA}/bad/${name} --out run-${name})
    set(want "${DATA}/bad/${name}: ${path}: expected ")
    string(FIND "${ERR}" "${want}" at)
    if(NOT at EQUAL 0)
      message(FATAL_ERROR "${name}: expected \"${want}...\", found:\n${ERR}")
    endif()
    string(FIND "${ERR}" "\n" newline)
    string(LENGTH "${ERR}" length)
    math(EXPR last "${length} - 1")
    if(NOT newline EQUAL last)
      message(FATAL_ERROR "${name}: not exactly one line on stderr:\n${ERR}")
    endif()
    if(EXISTS ${WORK}/run-${name})
      message(FATAL_ERROR "${name}: a bad profile still made the output folder")
    endif()
  endforeach()
  file(GLOB profiles ${DATA}/bad/*.json)
  list(LENGTH profiles files)
  if(NOT files EQUAL count)
    message(FATAL_ERROR "${files} profiles in ${DATA}/bad, ${count} in expected-paths.txt")
  endif()
elseif(CASE STREQUAL "default-run")
  run(0 --out run)
  expect("${OUT}" "Machine +uefi-ssd-hdd\n")
  if(NOT EXISTS ${WORK}/run/summary.json OR NOT EXISTS ${WORK}/run/volumes/X/Quorvane.log)
    message(FATAL_ERROR "no summary.json or run log")
  endif()
  # A second run replaces the first one's volumes and summary, and says so; a file beside them
  # stays. A page of the user's is refused, one of an earlier run is replaced.
  file(WRITE ${WORK}/run/stale.txt "mine")
  file(WRITE ${WORK}/run/volumes/X/old.txt "old")
  file(WRITE ${WORK}/page.html "mine")
  refused("quorvane-sim: page.html: exists and is not a layout page this program wrote; choose another name for --html or remove the file first"
          --profile uefi-ssd-hdd --out run --quiet --html page.html)
  file(READ ${WORK}/page.html page)
  expect("${page}" "^mine$")
  file(REMOVE ${WORK}/page.html)
  run(0 --profile uefi-ssd-hdd --out run --html page.html)
  expect("${OUT}" "\nReplaced   the earlier run's volumes/ and summary.json\n$")
  run(0 --profile uefi-ssd-hdd --out run --quiet --html page.html)
  expect("[${OUT}]" "^\\[\\]$")
  if(NOT EXISTS ${WORK}/run/stale.txt OR EXISTS ${WORK}/run/volumes/X/old.txt)
    message(FATAL_ERROR "the second run did not replace exactly the first one's parts")
  endif()
  file(READ ${WORK}/page.html page)
  expect("${page}" "^<!DOCTYPE html>")
  # A page in the run's own parts, or a folder named as the page: refused before anything is
  # written or removed.
  foreach(page run/summary.json run/volumes/X/a.html run/.quorvane-sim-output)
    run(2 --out run --html ${page})
    expect("${ERR}" "^quorvane-sim: ${page}: [^\n]*\n$")
  endforeach()
  file(READ ${WORK}/run/summary.json summary)
  expect("${summary}" "^{")
  if(NOT EXISTS ${WORK}/run/volumes/X/Quorvane.log OR EXISTS ${WORK}/run/volumes/X/a.html)
    message(FATAL_ERROR "a refused run changed the previous one")
  endif()
  run(2 --out again --html run)
  expect("${ERR}" "^quorvane-sim: run: exists and is not a file\n$")
  if(EXISTS ${WORK}/again)
    message(FATAL_ERROR "a refused run made its output folder")
  endif()
elseif(CASE STREQUAL "out-refused")
  # A user's folder with a stray summary.json and volumes/: refused on one line naming it,
  # every file left as it was.
  file(WRITE ${WORK}/mine/thesis.txt "keep")
  file(WRITE ${WORK}/mine/photos/cat.jpg "keep")
  file(WRITE ${WORK}/mine/summary.json "{}")
  file(WRITE ${WORK}/mine/volumes/X/Quorvane.log "keep")
  file(GLOB_RECURSE before ${WORK}/mine/*)
  run(2 --out mine)
  expect("${ERR}" "^quorvane-sim: mine: is not empty and is not an output folder of quorvane-sim[^\n]*\n$")
  file(GLOB_RECURSE after ${WORK}/mine/*)
  if(NOT before STREQUAL after)
    message(FATAL_ERROR "the refused folder was changed: ${after}")
  endif()
  file(READ ${WORK}/mine/summary.json kept)
  expect("${kept}" "^{}$")
elseif(CASE STREQUAL "refused-before-writing")
  # Each names the real cause on one line before anything is written: no output folder is made
  # and a previous run's parts stay.
  file(MAKE_DIRECTORY ${WORK}/a-folder)
  refused("missing.json: no such file" missing.json --out made)
  refused("a-folder: is a folder, not a profile file" a-folder --out made)
  # An empty name is refused, not ignored (an empty argument does not survive a CMake function's
  # argument list, so these two run here).
  execute_process(COMMAND ${SIM} --out made --html "" WORKING_DIRECTORY ${WORK}
                  RESULT_VARIABLE status ERROR_VARIABLE err)
  if(NOT status EQUAL 2 OR NOT err STREQUAL "quorvane-sim: --html: expects a file name, found an empty one\n")
    message(FATAL_ERROR "an empty --html: exit status ${status}, ${err}")
  endif()
  execute_process(COMMAND ${SIM} --out "" WORKING_DIRECTORY ${WORK}
                  RESULT_VARIABLE status ERROR_VARIABLE err)
  if(NOT status EQUAL 2 OR NOT err STREQUAL "quorvane-sim: --out: expects a folder name, found an empty one\n")
    message(FATAL_ERROR "an empty --out: exit status ${status}, ${err}")
  endif()
  refused("quorvane-sim: --html: 1 required TEXT missing (quorvane-sim --help shows the options)"
          --out made --html)
  refused("quorvane-sim: made: is the output folder itself; choose a file for --html"
          --out made --html made)
  refused("quorvane-sim: no/page.html: no such folder ${WORK}/no" --out made --html no/page.html)
  if(EXISTS ${WORK}/made)
    message(FATAL_ERROR "a refused run made its output folder")
  endif()
  # Read-only: an empty folder, a previous run's folder, the folder a new one would be made in,
  # and the page's folder. Root sees no read-only folder: as root, quorvane-sim runs as "nobody"
  # from a copy in a scratch folder that "nobody" can reach (a build tree may lie under /root).
  execute_process(COMMAND id -u OUTPUT_VARIABLE uid OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(uid STREQUAL "0")
    string(RANDOM LENGTH 10 tag)
    set(WORK /tmp/quorvane-sim-cli-${tag})
    file(MAKE_DIRECTORY ${WORK})
    file(COPY ${SIM} DESTINATION ${WORK})
    get_filename_component(name ${SIM} NAME)
    set(SIM ${WORK}/${name})
    set(AS_USER setpriv --reuid=65534 --regid=65534 --clear-groups)
  endif()
  run(0 --out previous --quiet)
  file(MAKE_DIRECTORY ${WORK}/locked/empty)
  file(CHMOD ${WORK}/locked/empty ${WORK}/locked ${WORK}/previous DIRECTORY_PERMISSIONS
       OWNER_READ OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  set(RUN_PREFIX ${AS_USER})
  refused("quorvane-sim: locked/empty: cannot be written to (Permission denied); choose another --out"
          --out locked/empty)
  refused("quorvane-sim: previous: cannot be written to (Permission denied); choose another --out"
          --out previous)
  refused("quorvane-sim: locked/new/out: cannot be created in locked (Permission denied); choose another --out"
          --out locked/new/out)
  file(MAKE_DIRECTORY ${WORK}/open)
  file(CHMOD ${WORK}/open DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
       GROUP_WRITE GROUP_EXECUTE WORLD_READ WORLD_WRITE WORLD_EXECUTE)
  refused("quorvane-sim: locked/page.html: cannot be written (Permission denied); choose another --html"
          --out open/run --html locked/page.html)
  set(RUN_PREFIX "")
  file(GLOB left ${WORK}/open/*)
  if(NOT EXISTS ${WORK}/previous/volumes/X/Quorvane.log OR left)
    message(FATAL_ERROR "a refused run removed a previous run or made a folder: ${left}")
  endif()
  file(CHMOD ${WORK}/locked/empty ${WORK}/locked ${WORK}/previous DIRECTORY_PERMISSIONS
       OWNER_READ OWNER_WRITE OWNER_EXECUTE)
  if(uid STREQUAL "0")
    file(REMOVE_RECURSE ${WORK})
  endif()
elseif(CASE STREQUAL "version-help")
  run(0 --version)
  expect("${OUT}" "^quorvane-sim ${VERSION}\n$")
  run(0 --help)
  expect("${OUT}" "Exit status: 0 the run completed[^\n]*; 2 [^;]*; 3 [^;]*; 1 an internal failure")
  expect("${OUT}" "docs/simulator.md")
elseif(CASE STREQUAL "list")
  run(0 --list)
  # One machine a line, the descriptions in one column after the longest name.
  expect("${OUT}" "(^|\n)emmc-windows-not-wiped  UEFI notebook with Windows on a 32 GB eMMC")
  expect("${OUT}" "\nuefi-ssd-hdd            UEFI notebook, NVMe SSD \\+ 1 TB HDD")
  run(2 --profile no-such-machine --out run)
  expect("${ERR}" "no built-in profile named \"no-such-machine\"")
  refused("quorvane-sim: The following argument was not expected: --no-such-option (quorvane-sim --help shows the options)"
          --no-such-option)
elseif(CASE STREQUAL "logs")
  # Real logs of a fleet folder: the summary, the table files and the exit status.
  set(tree ${DATA}/../../scenarios/expected/uefi-ssd-hdd/volumes/disk1-part1)
  file(COPY ${tree}/Quorvane.log DESTINATION ${WORK}/fleet/NB-0001)
  file(COPY ${tree}/RyTools/Quorvane.log DESTINATION ${WORK}/fleet/NB-0001/RYTOOLS)
  # A machine folder that is a link is followed; a link back into the fleet is named as a loop.
  file(COPY ${tree}/Quorvane.log DESTINATION ${WORK}/elsewhere/NB-0003)
  file(COPY ${tree}/RyTools/Quorvane.log DESTINATION ${WORK}/elsewhere/NB-0003/RYTOOLS)
  file(CREATE_LINK ${WORK}/elsewhere/NB-0003 ${WORK}/fleet/NB-0003 SYMBOLIC)
  file(CREATE_LINK ${WORK}/fleet ${WORK}/fleet/NB-0001/loop SYMBOLIC)
  run(0 --logs fleet --csv t.csv --json t.json --html t.html)
  expect("${OUT}" "^Wiped      no disk\nMachines   2 \\(4 log files\\)\nStatus     read 2\nRoads      register 2\n")
  expect("${ERR}" "^quorvane-sim: passed over fleet/NB-0001/loop: a link loop: it leads back to [^\n]*/fleet, which holds it\n$")
  file(REMOVE ${WORK}/fleet/NB-0001/loop ${WORK}/fleet/NB-0003)
  file(READ ${WORK}/t.csv csv)
  expect("${csv}" "^machine,status,problem,road,")
  expect("${csv}" "\nNB-0001,read,,register,true,false,true,")
  file(READ ${WORK}/t.json json)
  expect("${json}" "\"machine\": \"NB-0001\"")
  file(READ ${WORK}/t.html html)
  expect("${html}" "<td>NB-0001</td>")
  # A file that is not a log of ours is a row that says so, and a failed one.
  file(WRITE ${WORK}/fleet/NB-0002/Quorvane.log "not a log\n")
  run(3 --logs fleet --quiet)
  expect("[${OUT}]" "^\\[\\]$")
  run(3 --logs fleet fleet/NB-0001/RYTOOLS/Quorvane.log)
  expect("${OUT}" "Machines   2 \\(3 log files\\)")
  expect("${OUT}" "\nNot read   NB-0002  foreign: fleet/NB-0002/Quorvane.log: not a run log")
  # Usage: a path that is not there, a folder without logs, options of the other mode.
  run(2 --logs missing fleet)
  expect("${ERR}" "^quorvane-sim: missing: no such file or folder\n$")
  file(MAKE_DIRECTORY ${WORK}/none)
  run(2 --logs none)
  expect("${ERR}" "none: no Quorvane.log in it")
  run(2 --logs fleet --profile uefi-ssd-hdd)
  run(2 --csv t.csv)
  # A table that cannot be written is refused before a log is read; two tables, one file.
  run(2 --logs fleet --csv no/such/folder/t.csv)
  expect("${ERR}" "^quorvane-sim: no/such/folder/t.csv: no such folder [^\n]*/no/such/folder\n$")
  run(2 --logs fleet --csv t.csv --html ./t.csv)
  expect("${ERR}" "^quorvane-sim: ./t.csv: named for two tables; give --html a file of its own\n$")
elseif(CASE STREQUAL "batch")
  # A folder of profiles: the example machines and every malformed profile, each a row; the bad
  # ones carry the loader's line, and the exit status says a row failed.
  set(machines ${DATA}/../../../machines)
  run(3 --batch ${machines} ${DATA}/bad --jobs 2 --csv t.csv --json t.json --html t.html)
  expect("${OUT}" "^Wipes      3 machines: [^\n]*legacy-rapid-start \\(disk 1\\)[^\n]*\nMachines   52 \\(52 profiles\\)\nStatus     simulated 16, bad-profile 36\n")
  expect("${ERR}" "quorvane-sim: passed over [^\n]*/bad/expected-paths.txt: not named \\*.json\n")
  expect("${OUT}" "\nNot run    capture-note-number  bad-profile: ")
  file(READ ${WORK}/t.csv csv)
  expect("${csv}" "^machine,status,problem,road,ssdHddMode,miniSsd,rapidStart,M:,commands,warnings,messageBoxes,wipedDisk,wipedDiskHeld,seconds,roles,disks,notes,profileFile,logFiles\n")
  expect("${csv}" "\nuefi-ssd-hdd,simulated,,register,true,false,true,\"\\\\Device\\\\Harddisk1\\\\Partition1 \"\"PQSERVICE2\"\"\",")
  expect("${csv}" "\nlegacy-rapid-start,simulated,,rapid-start,false,true,true,[^\n]*,1,[^\n]*,5.500,")
  file(READ ${WORK}/t.json json)
  string(JSON rows LENGTH "${json}" rows)
  file(STRINGS ${DATA}/bad/expected-paths.txt cases)
  foreach(entry IN LISTS cases)
    string(FIND "${entry}" " " space)
    string(SUBSTRING "${entry}" 0 ${space} name)
    math(EXPR from "${space} + 1")
    string(SUBSTRING "${entry}" ${from} -1 path)
    set(found "")
    math(EXPR last "${rows} - 1")
    foreach(i RANGE ${last})
      string(JSON file GET "${json}" rows ${i} profileFile)
      if(file STREQUAL "${DATA}/bad/${name}")
        string(JSON status GET "${json}" rows ${i} status)
        string(JSON found GET "${json}" rows ${i} problem)
      endif()
    endforeach()
    string(FIND "${found}" "${DATA}/bad/${name}: ${path}: expected " at)
    if(NOT at EQUAL 0 OR NOT status STREQUAL "bad-profile")
      message(FATAL_ERROR "${name}: expected a bad-profile row naming ${path}, found: ${found}")
    endif()
  endforeach()
  file(READ ${WORK}/t.html html)
  expect("${html}" "<p class=\"counts\">52 machines from profiles, 36 bad profiles</p>")
  # One run at a time gives the same table; only good profiles: exit 0, nothing printed quiet.
  run(3 --batch ${machines} ${DATA}/bad --jobs 1 --csv one.csv --quiet)
  expect("[${OUT}]" "^\\[\\]$")
  file(READ ${WORK}/one.csv one)
  if(NOT one STREQUAL csv)
    message(FATAL_ERROR "--jobs 1 and --jobs 2 wrote different tables")
  endif()
  run(0 --batch ${machines}/uefi-ssd-hdd.json --quiet)

  # Set against real logs, matched by machine name: differences, and each one-sided machine.
  set(tree ${DATA}/../../scenarios/expected/m-mount-failed/volumes/X)
  file(COPY ${tree}/Quorvane.log DESTINATION ${WORK}/fleet/single-disk-notebook)
  file(COPY ${tree}/Quorvane.log DESTINATION ${WORK}/fleet/NB-0099)
  # A prediction that differs makes the exit status 3.
  run(3 --batch ${machines} --logs fleet --csv both.csv)
  expect("${OUT}" "^Predicted\nWipes      [^\n]*\nMachines   16 \\(16 profiles\\)\n")
  expect("${OUT}" "\n\nActual\nWiped      no disk\nMachines   2 \\(2 log files\\)\n")
  expect("${OUT}" "\n\nCompared   differs 1, no-log 15, no-profile 1\nDifferences\n")
  expect("${OUT}" "\nsingle-disk-notebook rapidStart: predicted false, actual true\n           command: predicted M:")
  expect("${OUT}" "\nNo log     cache-ssd-too-small, emmc-windows-not-wiped, [^\n]*, wmi-slow-start\nNo profile NB-0099\n$")
  file(READ ${WORK}/both.csv both)
  expect("${both}" "^machine,source,status,problem,comparison,differences,road,")
  expect("${both}" "\nsingle-disk-notebook,log,read,,differs,")

  # Usage: what --batch cannot go with, inputs that are not there, a bad --jobs.
  run(2 --batch ${machines} --profile uefi-ssd-hdd)
  run(2 --batch ${machines} --out run)
  run(2 --batch ${machines} --list)
  # Out of range, or no number: one line with the range.
  foreach(jobs 0 1025 two)
    refused("quorvane-sim: --jobs: expected a whole number from 1 to 1024, found \"${jobs}\" (quorvane-sim --help shows the options)"
            --batch ${machines} --jobs ${jobs})
  endforeach()
  run(2 --jobs 2)
  run(2 --batch missing.json)
  expect("${ERR}" "^quorvane-sim: missing.json: no such file or folder\n$")
  file(MAKE_DIRECTORY ${WORK}/none)
  run(2 --batch none)
  expect("${ERR}" "^quorvane-sim: none: no \\*.json in it\n$")
  run(2 --batch ${machines} --logs none)
  expect("${ERR}" "none: no Quorvane.log in it")
  if(EXISTS ${WORK}/run)
    message(FATAL_ERROR "--batch made an output folder")
  endif()
elseif(CASE STREQUAL "outputs-named-as-inputs")
  # Every mode, each output named as one of its inputs however spelt, or inside an input folder:
  # refused on one line naming both, and nothing is written or changed.
  set(machines ${DATA}/../../../machines)
  set(log ${DATA}/../../scenarios/expected/uefi-ssd-hdd/volumes/disk1-part1/Quorvane.log)
  file(COPY ${machines}/uefi-ssd-hdd.json ${machines}/legacy-rapid-start.json
       DESTINATION ${WORK}/profiles)
  file(COPY ${machines}/uefi-ssd-hdd.json DESTINATION ${WORK})
  file(RENAME ${WORK}/uefi-ssd-hdd.json ${WORK}/p.json)
  file(COPY ${log} DESTINATION ${WORK}/fleet/NB-0001)
  file(COPY ${log} DESTINATION ${WORK}/fleet/NB-0001/RYTOOLS)
  file(CREATE_LINK ${WORK}/p.json ${WORK}/p-hard.json)
  file(CREATE_LINK p.json ${WORK}/p-soft.json SYMBOLIC)
  file(CREATE_LINK fleet ${WORK}/fleet-link SYMBOLIC)
  file(MAKE_DIRECTORY ${WORK}/run/volumes/X)
  file(COPY ${machines}/uefi-ssd-hdd.json DESTINATION ${WORK}/run/volumes/X)
  file(WRITE ${WORK}/run/.quorvane-sim-output "This folder holds a run of quorvane-sim. A later run with --out here replaces volumes/,\nsummary.json and this file, and nothing else.\n")
  # mode arguments | output option | output | what the refusal says
  set(cases
      "p.json|--html|p.json|is the input p.json"
      "p.json|--html|./profiles/../p.json|is the input p.json"
      "p.json|--html|p-hard.json|is the input p.json"
      "p.json|--html|p-soft.json|is the input p.json"
      "--profile uefi-ssd-hdd|--html|p.json|exists and is not a layout page this program wrote"
      "run/volumes/X/uefi-ssd-hdd.json|--out|run|a run here replaces its volumes, which holds the input run/volumes/X/uefi-ssd-hdd.json"
      "--batch profiles|--csv|profiles/uefi-ssd-hdd.json|lies in profiles, a folder the run reads"
      "--batch profiles|--json|profiles/new.json|lies in profiles, a folder the run reads"
      "--batch profiles/legacy-rapid-start.json|--html|./profiles/legacy-rapid-start.json|is the input profiles/legacy-rapid-start.json"
      "--logs fleet|--json|fleet/NB-0001/Quorvane.log|lies in fleet, a folder the run reads"
      "--logs fleet|--csv|fleet-link/NB-0001/t.csv|lies in fleet, a folder the run reads"
      "--logs fleet/NB-0001/Quorvane.log|--html|fleet-link/NB-0001/Quorvane.log|is the input fleet/NB-0001/Quorvane.log"
      "--batch profiles --logs fleet|--csv|fleet/NB-0001/RYTOOLS/Quorvane.log|lies in fleet, a folder the run reads"
      "--batch profiles --logs fleet|--json|profiles/legacy-rapid-start.json|lies in profiles, a folder the run reads")
  # Every file under WORK with its hash.
  function(hashes var)
    file(GLOB_RECURSE paths ${WORK}/*)
    set(list "")
    foreach(path IN LISTS paths)
      file(SHA256 ${path} hash)
      list(APPEND list "${path} ${hash}")
    endforeach()
    set(${var} "${list}" PARENT_SCOPE)
  endfunction()
  hashes(before)
  foreach(entry IN LISTS cases)
    string(REPLACE "|" ";" fields "${entry}")
    list(GET fields 0 mode)
    list(GET fields 1 option)
    list(GET fields 2 output)
    list(GET fields 3 says)
    separate_arguments(mode)
    run(2 ${mode} ${option} ${output})
    if(NOT ERR MATCHES "^quorvane-sim: ${output}: ${says}[^\n]*\n$")
      message(FATAL_ERROR "${entry}: expected \"${output}: ${says}...\" on one line, found:\n${ERR}")
    endif()
    string(FIND "${ERR}" "\n" newline)
    string(LENGTH "${ERR}" length)
    math(EXPR last "${length} - 1")
    if(NOT newline EQUAL last OR NOT OUT STREQUAL "")
      message(FATAL_ERROR "${entry}: not one line on stderr and nothing on stdout:\n${ERR}${OUT}")
    endif()
  endforeach()
  hashes(after)
  if(NOT before STREQUAL after)
    message(FATAL_ERROR "a refused run changed or made a file:\nbefore ${before}\nafter ${after}")
  endif()
elseif(CASE STREQUAL "failed-write")
  # A table that cannot be written whole (the file size limit stops it midway, as a full disk
  # would): exit status 1 naming the reason, the earlier table byte for byte, no other file.
  set(machines ${DATA}/../../../machines)
  run(0 --batch ${machines}/uefi-ssd-hdd.json --csv t.csv --quiet)
  file(SHA256 ${WORK}/t.csv earlier)
  set(RUN_PREFIX sh -c "trap '' XFSZ && ulimit -f 4 && exec \"$0\" \"$@\"")
  run(1 --batch ${machines} --csv t.csv --quiet)
  set(RUN_PREFIX "")
  expect("${ERR}" "^quorvane-sim: cannot write t.csv: file too large\n$")
  file(SHA256 ${WORK}/t.csv now)
  file(GLOB left RELATIVE ${WORK} LIST_DIRECTORIES true ${WORK}/* ${WORK}/.t.csv*)
  if(NOT now STREQUAL earlier OR NOT left STREQUAL "t.csv")
    message(FATAL_ERROR "the failed write changed the table or left a file: ${left}")
  endif()
  # A disk that is full, where a file system can be mounted: a page of an earlier run that
  # cannot be replaced, then a marker that does not fit.
  execute_process(COMMAND unshare -rm true RESULT_VARIABLE namespaces OUTPUT_QUIET ERROR_QUIET)
  if(NOT namespaces EQUAL 0)
    message(STATUS "no user namespace to mount a full file system in: the file size limit alone")
    return()
  endif()
  file(MAKE_DIRECTORY ${WORK}/disk)
  run(0 --profile uefi-ssd-hdd --out run --html page.html --quiet)
  file(READ ${WORK}/page.html page LIMIT 2000)
  file(WRITE ${WORK}/earlier.html "${page}")
  file(SHA256 ${WORK}/earlier.html earlier)
  execute_process(
    COMMAND unshare -rm sh -c [[
      mount -t tmpfs -o size=8k tmpfs disk && cp earlier.html disk/page.html &&
      "$0" --profile uefi-ssd-hdd --out run --html disk/page.html --quiet
      echo "status $?"
      sha256sum disk/page.html
      ls -A disk
      head -c 100000 /dev/zero >disk/filler 2>/dev/null
      "$0" --out disk/new --quiet
      echo "status $?"
      ls -A disk]] ${SIM}
    WORKING_DIRECTORY ${WORK} OUTPUT_VARIABLE out ERROR_VARIABLE err)
  expect("${err}" "^quorvane-sim: cannot write disk/page.html: disk full\nquorvane-sim: disk/new: cannot write .quorvane-sim-output: disk full\n$")
  expect("${out}" "^status 1\n${earlier}  disk/page.html\npage.html\nstatus 2\nfiller\npage.html\n$")
else()
  message(FATAL_ERROR "unknown case ${CASE}")
endif()
