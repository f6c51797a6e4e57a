# Checks that a translation is complete: lupdate, run over the program's sources and the window
# descriptions' texts into a copy of the translation, finds no text without a translation
# ("unfinished") and none the program no longer has ("vanished", "obsolete").
#
#   cmake -DLUPDATE=... -DTRANSLATION=corvane_de.ts -DSOURCES="a.cpp|b.h" -DWORK_DIR=... -P translation_check.cmake

file(MAKE_DIRECTORY ${WORK_DIR})
get_filename_component(name ${TRANSLATION} NAME)
set(copy ${WORK_DIR}/${name})
file(COPY_FILE ${TRANSLATION} ${copy})
string(REPLACE "|" ";" sources "${SOURCES}")
execute_process(COMMAND ${LUPDATE} -silent -locations none ${sources} -ts ${copy}
                RESULT_VARIABLE result OUTPUT_QUIET ERROR_QUIET)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "lupdate failed on ${TRANSLATION}")
endif()
file(READ ${copy} content)
string(REGEX MATCHALL "<source>[^<]*</source>[ \n]*<translation type=\"(unfinished|vanished|obsolete)\"" gaps "${content}")
list(LENGTH gaps count)
if(count GREATER 0)
    string(REPLACE ";" "\n" listed "${gaps}")
    message(FATAL_ERROR "${name}: ${count} texts without a translation, or translated but gone:\n${listed}")
endif()
message(STATUS "${name} is complete")
