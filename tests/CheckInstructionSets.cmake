# Checks the engine's object files (OBJECTS, a list) for the promise of
# tInstructionSet: only the files built for AVX2 hold AVX instructions, so
# the program runs on any x86-64 processor; those hold no fused multiply-add,
# which would change bits, but for the one the FMA file uses on purpose (the
# exact error of a product, vfmsub); they define no symbol that the linker could merge
# with another file's copy (weak or unique symbols), which could put AVX2
# code where SSE2 code was meant to run; and they have no static
# initializers, which would run on every processor. Run with cmake -P.
#
# Sanitizer builds add to every file what is not the program's: a
# constructor that registers the file with the sanitizer's runtime, at a
# priority below 101, which is kept for the compiler and its runtimes (GCC
# puts it in .init_array.00099, clang in .init_array.0 to .2), and weak
# copies of data the compiler makes, never code: the reference to the
# exception personality routine (DW.ref.) and type descriptions (_ZTI, _ZTS).
# The program's own initializers go to .init_array, or above 100 with
# init_priority, and its merged code is weak functions.
find_program(OBJDUMP objdump REQUIRED)
find_program(NM nm REQUIRED)
set(faults "")
foreach(object IN LISTS OBJECTS)
  execute_process(COMMAND ${OBJDUMP} -d --no-show-raw-insn ${object} OUTPUT_VARIABLE code
                  RESULT_VARIABLE failed)
  if(failed)
    string(APPEND faults "${object}: objdump failed\n")
  elseif(object MATCHES "Avx2(Fma)?\\.cpp\\.o$")
    set(forbidden "\tvfmadd" "\tvfmsub" "\tvfnmadd" "\tvfnmsub")
    if(object MATCHES "Fma\\.cpp\\.o$")
      list(REMOVE_ITEM forbidden "\tvfmsub")
    endif()
    foreach(fused IN LISTS forbidden)
      string(FIND "${code}" "${fused}" at)
      if(NOT at EQUAL -1)
        string(APPEND faults "${object}: a fused multiply-add\n")
      endif()
    endforeach()
    execute_process(COMMAND ${NM} ${object} OUTPUT_VARIABLE symbols)
    string(REGEX MATCHALL " [WVu] [^\n]+" merged "${symbols}")
    list(FILTER merged EXCLUDE REGEX "^ [Vu] (DW\\.ref\\.|_ZTI|_ZTS)")
    if(merged)
      list(JOIN merged "\n" merged)
      string(APPEND faults "${object}: weak or unique symbols\n${merged}\n")
    endif()
    execute_process(COMMAND ${OBJDUMP} -h ${object} OUTPUT_VARIABLE sections)
    string(REGEX MATCHALL "\\.init_array[.0-9]*|\\.ctors[.0-9]*" initializers "${sections}")
    list(FILTER initializers EXCLUDE REGEX "^\\.init_array\\.0*([0-9]|[1-9][0-9]|100)$")
    if(initializers)
      string(APPEND faults "${object}: static initializers in ${initializers}\n")
    endif()
  else()
    string(FIND "${code}" "\tv" at)
    if(NOT at EQUAL -1)
      string(APPEND faults "${object}: AVX instructions outside the AVX2 files\n")
    endif()
  endif()
endforeach()
list(LENGTH OBJECTS count)
if(count EQUAL 0)
  message(FATAL_ERROR "no object files given")
endif()
if(faults)
  message(FATAL_ERROR "${faults}")
endif()
message(STATUS "${count} object files checked")
