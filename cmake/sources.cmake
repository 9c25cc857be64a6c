# A guard on the explicit source lists: every source file under the folders this build covers
# belongs to a target, so a file added without listing it stops the configuration instead of
# being left out unseen.
set_property(GLOBAL PROPERTY QUORVANE_LISTED_SOURCES "")

# quorvane_sources(TARGET FILE...): adds FILEs (relative to the current folder) to TARGET and
# records them as built.
function(quorvane_sources target)
  foreach(file IN LISTS ARGN)
    get_filename_component(path ${file} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
    if(NOT EXISTS ${path})
      message(FATAL_ERROR "${target}: listed source ${path} does not exist")
    endif()
    set_property(GLOBAL APPEND PROPERTY QUORVANE_LISTED_SOURCES ${path})
    target_sources(${target} PRIVATE ${path})
  endforeach()
endfunction()

# quorvane_built_elsewhere(FILE...): FILEs (relative to the current folder) belong to the build for
# the other system (an entry point of Windows or Linux); they must exist all the same.
function(quorvane_built_elsewhere)
  foreach(file IN LISTS ARGN)
    get_filename_component(path ${file} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
    if(NOT EXISTS ${path})
      message(FATAL_ERROR "listed source ${path} of the other build does not exist")
    endif()
    set_property(GLOBAL APPEND PROPERTY QUORVANE_LISTED_SOURCES ${path})
  endforeach()
endfunction()

function(quorvane_check_every_source_built)
  set(folders src/base src/run src/procedure src/inventory src/classify src/letters src/firmware
              src/platform/sim src/capture src/report src/whatif src/fleet tools/sim)
  if(WIN32)
    list(APPEND folders src/platform/win32)
  else()
    list(APPEND folders src/platform/posix)
    if(QUORVANE_TESTS AND NOT QUORVANE_TSAN)
      list(APPEND folders tests/unit)
    endif()
  endif()
  get_property(listed GLOBAL PROPERTY QUORVANE_LISTED_SOURCES)
  foreach(folder IN LISTS folders)
    file(GLOB_RECURSE found CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.cpp)
    foreach(file IN LISTS found)
      if(NOT file IN_LIST listed)
        message(FATAL_ERROR "${file} is in no target's source list")
      endif()
    endforeach()
  endforeach()
endfunction()
