# Windows targets: the Win32 platform, quorvane.exe and the platform test program.

# nlohmann-json is header-only. A copy of the host's headers in the build tree gives the cross build
# that library and nothing else of the host's include folder.
find_path(QUORVANE_HOST_JSON_DIR nlohmann/json.hpp PATHS /usr/include /usr/local/include
          NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
if(NOT QUORVANE_HOST_JSON_DIR)
  message(FATAL_ERROR "nlohmann/json.hpp not found on the host (Debian: nlohmann-json3-dev)")
endif()
file(COPY ${QUORVANE_HOST_JSON_DIR}/nlohmann DESTINATION ${CMAKE_BINARY_DIR}/host-json)
add_library(quorvane_json INTERFACE)
target_include_directories(quorvane_json SYSTEM INTERFACE ${CMAKE_BINARY_DIR}/host-json)
file(GLOB QUORVANE_WIN32_SOURCES CONFIGURE_DEPENDS src/platform/win32/*.cpp)
if(QUORVANE_WIN32_SOURCES)
  add_library(quorvane_win32 STATIC ${QUORVANE_WIN32_SOURCES})
  target_include_directories(quorvane_win32 PUBLIC src)
  target_compile_definitions(quorvane_win32 PUBLIC UNICODE _UNICODE)
  target_link_libraries(quorvane_win32 PUBLIC ole32 oleaut32 wbemuuid user32 uuid)

  add_executable(quorvane src/main_win32.cpp)
  target_compile_options(quorvane PRIVATE -municode)
  target_link_options(quorvane PRIVATE -municode -static -static-libgcc -static-libstdc++)
  # The release build goes into WinPE images: symbols stripped (about a third of the size).
  target_link_options(quorvane PRIVATE $<$<CONFIG:Release>:-s>)
  target_link_libraries(quorvane PRIVATE quorvane_capture quorvane_engine quorvane_win32)

  if(QUORVANE_TESTS AND EXISTS ${CMAKE_SOURCE_DIR}/tests/wine/platform_test.cpp)
    add_executable(platform_test tests/wine/platform_test.cpp)
    target_compile_options(platform_test PRIVATE -municode)
    target_link_options(platform_test PRIVATE -municode -static -static-libgcc -static-libstdc++)
    target_include_directories(platform_test PRIVATE ${CMAKE_SOURCE_DIR})
    target_link_libraries(platform_test PRIVATE quorvane_engine quorvane_win32)
  endif()
endif()
