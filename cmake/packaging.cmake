# What the release packages hold, installed by scripts/package into a staging folder, which makes
# the packages from it: from the Windows build the zip's quorvane.exe, quorvane-sim.exe, example
# machines and README.txt (scripts/package adds the WinPE guide, docs/winpe.md as plain text);
# from the native build (its tests are not installed) the
# Debian package's quorvane-sim, example machines and docs. The Debian package's own files (the
# manual page, the copyright and changelog, the control data) are added by scripts/package.
if(WIN32)
  install(TARGETS quorvane quorvane-sim RUNTIME DESTINATION .)
  install(DIRECTORY ${CMAKE_SOURCE_DIR}/machines/ DESTINATION machines
          FILES_MATCHING PATTERN "*.json")
  # Windows' own line ends, for Notepad of every Windows version.
  set(VERSION ${PROJECT_VERSION})
  configure_file(${CMAKE_SOURCE_DIR}/docs/windows-readme.txt ${CMAKE_BINARY_DIR}/README.txt @ONLY
                 NEWLINE_STYLE CRLF)
  install(FILES ${CMAKE_BINARY_DIR}/README.txt DESTINATION .)
else()
  install(TARGETS quorvane-sim RUNTIME DESTINATION bin)
  install(DIRECTORY ${CMAKE_SOURCE_DIR}/machines/ DESTINATION share/quorvane/machines
          FILES_MATCHING PATTERN "*.json")
  install(FILES ${CMAKE_SOURCE_DIR}/docs/simulator.md ${CMAKE_SOURCE_DIR}/docs/winpe.md
          DESTINATION share/doc/quorvane-sim)
endif()
