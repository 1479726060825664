# korvane_delay_load(TARGET DLL...): TARGET loads each DLL (say shell32) on
# the first call into it instead of at the process's start. LLD delays the
# imports of short import libraries only, which MinGW's are not, so one is
# made from each DLL's MinGW import library at configure time (every
# function it exports: a new call needs no list kept up) and linked ahead
# of it; LLD then builds the delay-load tables and libdelayimp's helper
# loads the DLL. Linked by GNU ld (KORVANE_LLD off) nothing is delayed.
function(korvane_delay_load target)
  if(NOT KORVANE_LLD)
    return()
  endif()
  find_program(KORVANE_LLVM_DLLTOOL NAMES llvm-dlltool llvm-dlltool-14 REQUIRED)
  find_program(KORVANE_NM i686-w64-mingw32-nm REQUIRED)
  set(folder ${CMAKE_BINARY_DIR}/delay-load)
  file(MAKE_DIRECTORY ${folder})
  foreach(dll ${ARGN})
    find_library(import_${dll} ${dll} REQUIRED)
    set(def ${folder}/${dll}.def)
    set(lib ${folder}/lib${dll}-short.a)
    if(NOT EXISTS ${lib} OR ${import_${dll}} IS_NEWER_THAN ${lib})
      execute_process(COMMAND ${KORVANE_NM} ${import_${dll}} OUTPUT_VARIABLE symbols ERROR_QUIET
                      COMMAND_ERROR_IS_FATAL ANY)
      string(REGEX MATCHALL " I __imp__[^\n]+" imports "${symbols}")
      list(TRANSFORM imports REPLACE " I __imp__" "")
      list(REMOVE_DUPLICATES imports)
      list(JOIN imports "\n" exports)
      file(WRITE ${def} "LIBRARY ${dll}.dll\nEXPORTS\n${exports}\n")
      execute_process(COMMAND ${KORVANE_LLVM_DLLTOOL} -m i386 -k -d ${def} -l ${lib} COMMAND_ERROR_IS_FATAL ANY)
    endif()
    # Ahead of the MinGW library: the first library that defines a symbol
    # wins.
    target_link_libraries(${target} PRIVATE ${lib})
    target_link_options(${target} PRIVATE -Wl,--delayload=${dll}.dll)
  endforeach()
  target_link_libraries(${target} PRIVATE delayimp)
endfunction()
