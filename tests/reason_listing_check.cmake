# Checks that cmake/reason_texts.cmake lists every reason of platform/reason_texts.h for the
# translation tool (a reason it misses would show untranslated), and that the templates name no
# fact but %1, %2 and %3.
#
#   cmake -DSOURCE_DIR=... -DWORK_DIR=... -P reason_listing_check.cmake

set(table ${SOURCE_DIR}/platform/reason_texts.h)
set(listing ${WORK_DIR}/reason_texts_listed.cpp)
file(MAKE_DIRECTORY ${WORK_DIR})
file(REMOVE ${listing})
execute_process(COMMAND ${CMAKE_COMMAND} -DOUTPUT=${listing} -DTABLE=${table}
                        -P ${SOURCE_DIR}/cmake/reason_texts.cmake
                RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake/reason_texts.cmake failed on ${table}")
endif()

file(READ ${table} text)
string(REGEX MATCHALL "inline constexpr const char\\* kReason[A-Za-z]+ =" constants "${text}")
list(LENGTH constants constantCount)
file(STRINGS ${listing} entries REGEX "QT_TRANSLATE_NOOP\\(\"frm_delete\", \".*\"\\),$")
list(LENGTH entries entryCount)
if(NOT constantCount EQUAL entryCount)
    message(FATAL_ERROR "the table holds ${constantCount} reasons, the listing ${entryCount}")
endif()
foreach(entry IN LISTS entries)
    string(REGEX REPLACE "%[123]" "" rest "${entry}")
    if(rest MATCHES "%")
        message(FATAL_ERROR "a fact other than %1, %2 and %3: ${entry}")
    endif()
endforeach()
message(STATUS "${entryCount} reasons listed")
