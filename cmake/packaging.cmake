# The release packages (scripts/package): from the Windows build quorvane-<version>-win64.zip with
# quorvane.exe and its one-page WinPE guide; from the native build (its tests are not installed)
# a Debian package of quorvane-sim with its example machines and its contract.
set(CPACK_PACKAGE_NAME quorvane)
set(CPACK_PACKAGE_VENDOR "Quorvane")
set(CPACK_PACKAGE_CONTACT "Quorvane maintainers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Quorvane: recovery-image registration and rapid-start carving for notebooks in WinPE")
# Packages land where scripts/package names them, not in the build folder.
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_SOURCE_DIR}/build/packages)

if(WIN32)
  install(TARGETS quorvane RUNTIME DESTINATION .)
  install(FILES ${CMAKE_SOURCE_DIR}/docs/winpe.md DESTINATION . RENAME winpe-guide.txt)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME quorvane-${PROJECT_VERSION}-win64)
else()
  install(TARGETS quorvane-sim RUNTIME DESTINATION bin)
  install(DIRECTORY ${CMAKE_SOURCE_DIR}/machines/ DESTINATION share/quorvane/machines
          FILES_MATCHING PATTERN "*.json")
  install(FILES ${CMAKE_SOURCE_DIR}/docs/simulator.md ${CMAKE_SOURCE_DIR}/docs/winpe.md
          DESTINATION share/doc/quorvane-sim)
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_STRIP_FILES ON)
  set(CPACK_DEBIAN_PACKAGE_NAME quorvane-sim)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  # The libraries it links against are found by dpkg-shlibdeps, not listed by hand.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Quorvane's layout engine against a machine described in JSON")
  set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
      "quorvane-sim runs the very decisions of quorvane.exe, the WinPE tool that registers a\n\
notebook's recovery image or carves a rapid-start partition on its cache SSD, against a\n\
simulated machine, and shows what the real run would log, write, map and change.\n\
Example machines are in /usr/share/quorvane/machines.")
endif()
include(CPack)
