# libFuzzer targets of the parsers that read what the machine and its tools hand back, and of whole
# runs (clang only).
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "QUORVANE_FUZZ needs clang++ (use the fuzz preset)")
endif()

set(QUORVANE_FUZZ_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all
                        -fno-omit-frame-pointer)
# The engine gets coverage instrumentation so that the fuzzer sees its branches.
foreach(layer quorvane_base quorvane_engine quorvane_sim quorvane_fleet)
  target_compile_options(${layer} PRIVATE ${QUORVANE_FUZZ_FLAGS} -fsanitize=fuzzer-no-link)
endforeach()

add_custom_target(fuzz_targets)

# quorvane_fuzz_target(NAME LIBRARY...): tests/fuzz/NAME.cpp linked with libFuzzer's main.
function(quorvane_fuzz_target name)
  add_executable(${name} tests/fuzz/${name}.cpp)
  target_compile_options(${name} PRIVATE ${QUORVANE_FUZZ_FLAGS} -fsanitize=fuzzer)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${ARGN})
  add_dependencies(fuzz_targets ${name})
endfunction()

quorvane_fuzz_target(smbios_fuzz quorvane_engine)
quorvane_fuzz_target(wmi_paths_fuzz quorvane_engine)
quorvane_fuzz_target(diskpart_report_fuzz quorvane_engine)
quorvane_fuzz_target(install_index_fuzz quorvane_engine)
quorvane_fuzz_target(profile_loader_fuzz quorvane_sim)
# Whole runs on machines built from the fuzzer's bytes, every invariant of the run checked.
quorvane_fuzz_target(whole_run_fuzz quorvane_report)
# The fleet reader on the logs of whole runs, whole and cut at any point.
quorvane_fuzz_target(fleet_cut_fuzz quorvane_fleet)
