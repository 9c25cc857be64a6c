# Native targets: the simulated platform, quorvane-sim and the tests.
find_package(nlohmann_json REQUIRED)
find_package(CLI11 CONFIG REQUIRED)

# Example machines are compiled into quorvane-sim.
file(GLOB QUORVANE_MACHINES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/machines/*.json)
set(QUORVANE_MACHINES_CPP ${CMAKE_BINARY_DIR}/generated/builtin_machines.cpp)
add_custom_command(
  OUTPUT ${QUORVANE_MACHINES_CPP}
  COMMAND ${CMAKE_COMMAND} -DOUT=${QUORVANE_MACHINES_CPP} -DDIR=${CMAKE_SOURCE_DIR}/machines
          -P ${CMAKE_SOURCE_DIR}/cmake/embed_machines.cmake
  DEPENDS ${QUORVANE_MACHINES} ${CMAKE_SOURCE_DIR}/machines ${CMAKE_SOURCE_DIR}/cmake/embed_machines.cmake
  COMMENT "Embedding example machines")

file(GLOB QUORVANE_SIM_SOURCES CONFIGURE_DEPENDS src/platform/sim/*.cpp)
add_library(quorvane_simplatform STATIC ${QUORVANE_SIM_SOURCES} ${QUORVANE_MACHINES_CPP})
target_include_directories(quorvane_simplatform PUBLIC src)
target_link_libraries(quorvane_simplatform PUBLIC quorvane_engine nlohmann_json::nlohmann_json)

# Many runs at once: the fleet table, its rows, reading real logs, comparing runs, writing it.
file(GLOB QUORVANE_FLEET_SOURCES CONFIGURE_DEPENDS src/fleet/*.cpp)
add_library(quorvane_fleet STATIC ${QUORVANE_FLEET_SOURCES})
target_include_directories(quorvane_fleet PUBLIC src)
target_link_libraries(quorvane_fleet PUBLIC quorvane_simplatform)

file(GLOB QUORVANE_SIMTOOL_SOURCES CONFIGURE_DEPENDS tools/sim/*.cpp)
if(QUORVANE_SIMTOOL_SOURCES)
  add_executable(quorvane-sim ${QUORVANE_SIMTOOL_SOURCES})
  target_link_libraries(quorvane-sim PRIVATE quorvane_fleet CLI11::CLI11)
endif()

if(QUORVANE_TESTS)
  enable_testing()
  find_package(GTest REQUIRED)
  file(GLOB QUORVANE_UNIT_TESTS CONFIGURE_DEPENDS tests/unit/*.cpp)
  # The summary printer of quorvane-sim is tested with the rest.
  add_executable(unit_tests ${QUORVANE_UNIT_TESTS} tools/sim/human_summary.cpp)
  target_include_directories(unit_tests PRIVATE tools/sim)
  target_link_libraries(unit_tests PRIVATE quorvane_fleet GTest::gtest GTest::gtest_main)
  target_compile_definitions(unit_tests PRIVATE
    QUORVANE_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  include(GoogleTest)
  gtest_discover_tests(unit_tests DISCOVERY_TIMEOUT 60)
endif()

# The simulator's command line: exit status, messages and the output-folder rule.
if(QUORVANE_TESTS AND TARGET quorvane-sim)
  foreach(case bad-profile bad-profiles default-run out-refused list logs)
    add_test(NAME SimCli.${case}
             COMMAND ${CMAKE_COMMAND} -DSIM=$<TARGET_FILE:quorvane-sim> -DCASE=${case}
                     -DWORK=${CMAKE_BINARY_DIR}/sim-cli/${case}
                     -DDATA=${CMAKE_SOURCE_DIR}/tests/unit/sim_cli
                     -P ${CMAKE_SOURCE_DIR}/tests/unit/sim_cli_check.cmake)
  endforeach()
endif()

if(QUORVANE_TESTS)
  # Every example machine and scenario profile against its reviewed output tree.
  add_test(NAME scenarios
    COMMAND ${CMAKE_SOURCE_DIR}/tests/scenarios/run $<TARGET_FILE:quorvane-sim>)
endif()

# A measurement, not a test (not in CTest): the whole engine on every example machine.
if(NOT QUORVANE_SANITIZE)
  find_package(benchmark REQUIRED)
  add_executable(engine_bench bench/engine_bench.cpp)
  target_link_libraries(engine_bench PRIVATE quorvane_simplatform benchmark::benchmark)
  # Reading a fleet's logs against reading their bytes (not Google Benchmark: one pass is 1e5 files).
  add_executable(fleet_bench bench/fleet_bench.cpp)
  target_link_libraries(fleet_bench PRIVATE quorvane_fleet)
  target_compile_definitions(fleet_bench PRIVATE QUORVANE_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
endif()
