# Fails when a C++ source of the project is not as clang-format (the root .clang-format) would
# write it, naming the files.
#   cmake -DCLANG_FORMAT=<program> -DSOURCE_DIR=<tree> -P format_check.cmake

cmake_minimum_required(VERSION 3.22)

set(sources)
foreach(folder app cli engine platform qtcore stream ui tests bench)
    file(GLOB_RECURSE found ${SOURCE_DIR}/${folder}/*.h ${SOURCE_DIR}/${folder}/*.cpp)
    list(APPEND sources ${found})
endforeach()
execute_process(COMMAND ${CLANG_FORMAT} --dry-run -Werror --style=file ${sources}
                RESULT_VARIABLE result ERROR_VARIABLE output OUTPUT_VARIABLE ignored)
if(NOT result EQUAL 0)
    string(REGEX MATCHALL "[^\n]*: error: code should be clang-formatted" faults "${output}")
    list(TRANSFORM faults REPLACE ":[0-9]+:[0-9]+: error: code should be clang-formatted" "")
    list(REMOVE_DUPLICATES faults)
    list(JOIN faults "\n  " text)
    message(FATAL_ERROR "Not formatted (run clang-format -i on them):\n  ${text}")
endif()
list(LENGTH sources count)
message(STATUS "${count} sources formatted as .clang-format says")
