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

function(quorvane_check_every_source_built)
  if(WIN32)
    set(folders src/base src/run src/procedure src/inventory src/classify src/letters
                src/firmware src/platform/sim src/capture src/report src/whatif src/platform/win32)
  else()
    set(folders src/base src/run src/procedure src/inventory src/classify src/letters
                src/firmware src/platform/sim src/platform/posix src/capture src/report src/whatif src/fleet
                tools/sim)
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
