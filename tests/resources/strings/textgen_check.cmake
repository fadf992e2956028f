# Runs textgen as the build does: a sound file set gives a source with the blocks,
# a bad line stops it with FILE:LINE: error: and leaves no source behind.
#   cmake -DTEXTGEN=<path> -DWORK=<folder> -P textgen_check.cmake
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
set(out "${WORK}/blocks.cpp")

file(WRITE "${WORK}/good.txt" "1\tone\n2\ttwo\n")
execute_process(COMMAND "${TEXTGEN}" "${out}" 2 "1033=${WORK}/good.txt" "1049=${WORK}/good.txt"
                RESULT_VARIABLE result ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "sound files refused (${result}): ${errors}")
endif()
file(READ "${out}" source)
if(NOT source MATCHES "/\\* 1 \\*/ 3, 111, 110, 101," OR NOT source MATCHES "{1, 1049, kBlock1049_1}")
  message(FATAL_ERROR "unexpected source:\n${source}")
endif()

file(WRITE "${WORK}/bad.txt" "# comment\n1\tone\n1\tagain\n")
execute_process(COMMAND "${TEXTGEN}" "${out}" 2 "1033=${WORK}/good.txt" "1049=${WORK}/bad.txt"
                RESULT_VARIABLE result ERROR_VARIABLE errors)
if(result EQUAL 0)
  message(FATAL_ERROR "a duplicate id was accepted")
endif()
if(NOT errors MATCHES "bad.txt:3: error: id 1 is already given on line 2"
   OR NOT errors MATCHES "bad.txt: error: missing ids: 2")
  message(FATAL_ERROR "unclear message: ${errors}")
endif()
if(EXISTS "${out}")
  message(FATAL_ERROR "a refused run left ${out} behind")
endif()
