# The one set of flags of every Windows console program (quorvane.exe, quorvane-sim.exe, the
# platform test): wmain, static (no DLL beyond Windows' own), no time stamp in the PE header, so
# that two builds of one commit give the same bytes.
function(quorvane_windows_console_program target)
  target_compile_options(${target} PRIVATE -municode)
  target_link_options(${target} PRIVATE -municode -static -static-libgcc -static-libstdc++
                      -Wl,--no-insert-timestamp)
  # The release build goes into WinPE images: symbols stripped (about a third of the size).
  target_link_options(${target} PRIVATE $<$<CONFIG:Release>:-s>)
endfunction()
