# cmake -DLIBRARY=... -DNM=... -P check_exports.cmake
# Fails unless the library's defined dynamic symbols are exactly the three exports
# of a component.
execute_process(COMMAND ${NM} -D --defined-only ${LIBRARY}
  OUTPUT_VARIABLE symbols RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${NM} failed on ${LIBRARY}")
endif()
string(REGEX MATCHALL "[^ \n]+\n" lines "${symbols}")
set(names "")
foreach(line ${lines})
  string(STRIP "${line}" name)
  list(APPEND names ${name})
endforeach()
list(SORT names)
if(NOT names STREQUAL "DllRegisterServer;DllUnregisterServer;StaticFactory")
  message(FATAL_ERROR "${LIBRARY} exports: ${names}")
endif()
message(STATUS "exports: ${names}")
