# Fails when any tracked C++ file differs from what clang-format would make of it.
# Run as: cmake -DCLANG_FORMAT=... -DSOURCE_DIR=... -P FormatCheck.cmake
execute_process(COMMAND git ls-files "*.cpp" "*.h"
                WORKING_DIRECTORY ${SOURCE_DIR}
                OUTPUT_VARIABLE files
                RESULT_VARIABLE listed)
if(NOT listed EQUAL 0)
  message(FATAL_ERROR "git could not list the sources in ${SOURCE_DIR}")
endif()
string(REPLACE "\n" ";" files "${files}")
list(FILTER files EXCLUDE REGEX "^$")
execute_process(COMMAND ${CLANG_FORMAT} --dry-run --Werror ${files}
                WORKING_DIRECTORY ${SOURCE_DIR}
                RESULT_VARIABLE formatted)
if(NOT formatted EQUAL 0)
  message(FATAL_ERROR "Some sources are not formatted: run clang-format -i on the files named above.")
endif()
list(LENGTH files count)
message(STATUS "${count} sources are formatted.")
