# Fails when a translatable text of the window has no finished English entry.
# lupdate collects the sources' texts into a copy of the shipped file: a new
# text comes in unfinished. The shipped file itself must hold no unfinished,
# vanished or obsolete entry.
#   cmake -DLUPDATE=... -DPROJECT=.lupdate/vz_app_project.cmake -DTS=...ts -DWORK=dir -P check_translation.cmake
# PROJECT is the lupdate project that qt_add_translations writes: the
# window's sources with their include paths, so that classes in namespaces
# get their full names as contexts.
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
configure_file("${TS}" "${WORK}/check.ts" COPYONLY)
execute_process(COMMAND "${CMAKE_COMMAND}" -DIN_FILE=${PROJECT} -DOUT_FILE=${WORK}/project.json
                        -P "${GENERATE_PROJECT}" RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the lupdate project could not be written (${status}):\n${output}")
endif()
execute_process(COMMAND "${LUPDATE}" -project "${WORK}/project.json" -locations none -no-obsolete -ts "${WORK}/check.ts"
                RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "lupdate failed (${status}):\n${output}")
endif()
foreach(file "${TS}" "${WORK}/check.ts")
  file(READ "${file}" text)
  string(REGEX MATCHALL "<source>[^<]*</source>[ \n]*<translation type=\"(unfinished|vanished|obsolete)\"" open "${text}")
  if(open)
    string(REPLACE ";" "\n" open "${open}")
    message(FATAL_ERROR "${file}: entries without a finished translation:\n${open}\n"
                        "Run `cmake --build build --target update_translations`, then translate them.")
  endif()
endforeach()
message(STATUS "every text has its English translation")
