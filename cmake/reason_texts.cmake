# Lists the reasons of platform/reason_texts.h as QT_TRANSLATE_NOOP entries of the delete dialog,
# so that lupdate puts them in the translation template and the window translates them, without
# the texts being typed a second time.
#
#   cmake -DOUTPUT=FILE -DTABLE=platform/reason_texts.h -P reason_texts.cmake

file(READ ${TABLE} table)
# A ';' would split the list of matches below: it stands as a mark until the entries are made.
string(REPLACE ";" "<semicolon>" table "${table}")
# "kReasonName =" and its text, which clang-format may have put on the next line, and which may go
# on in adjacent literals (joined here into one).
string(REGEX MATCHALL "kReason[A-Za-z]+ =([ \n]*\"([^\"\\]|\\.)*\")+" found "${table}")
set(entries "")
foreach(constant IN LISTS found)
    string(REGEX REPLACE "^kReason[A-Za-z]+ =[ \n]*" "" text "${constant}")
    string(REGEX REPLACE "\"[ \n]*\"" "" text "${text}")
    string(APPEND entries "    QT_TRANSLATE_NOOP(\"frm_delete\", ${text}),\n")
endforeach()
string(REPLACE "<semicolon>" ";" entries "${entries}")
if(entries STREQUAL "")
    message(FATAL_ERROR "${TABLE} holds no reason")
endif()

set(content "// Made by cmake/reason_texts.cmake from platform/reason_texts.h; for lupdate only.\n")
string(APPEND content "static const char* const kReasonTexts[] = {\n${entries}};\n")
if(EXISTS ${OUTPUT})
    file(READ ${OUTPUT} before)
endif()
if(NOT "${before}" STREQUAL "${content}")
    file(WRITE ${OUTPUT} "${content}")
endif()
