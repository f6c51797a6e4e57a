# Lists the texts of the window descriptions that the windows show (captions, the file dialogs'
# filters and titles) as QT_TRANSLATE_NOOP entries, so that lupdate puts them in the translation
# template. The context of a text is the name of its window ("frm_utama"), as the windows
# translate them when they are built (ui/forms/window_texts.h).
#
#   cmake -DOUTPUT=FILE -DDESCRIPTIONS="a.txt|b.txt" -P description_texts.cmake

set(entries "")
string(REPLACE "|" ";" descriptions "${DESCRIPTIONS}")
foreach(description ${descriptions})
    file(STRINGS ${description} lines)
    set(window "")
    foreach(line IN LISTS lines)
        if(line MATCHES "^object ([A-Za-z0-9_]+):")
            set(window ${CMAKE_MATCH_1})
        elseif(line MATCHES "^ *(Caption|Filter|Title) = (.*)$")
            set(value "${CMAKE_MATCH_2}")
            if(NOT value MATCHES "^'(([^']|'')*)'$")
                message(FATAL_ERROR "${description}: cannot list the text ${value}: only plain quoted texts are read")
            endif()
            string(REPLACE "''" "'" text "${CMAKE_MATCH_1}")
            if(text STREQUAL "-" OR text STREQUAL "")
                continue() # a menu separator, or nothing to show
            endif()
            string(REPLACE "\\" "\\\\" text "${text}")
            string(REPLACE "\"" "\\\"" text "${text}")
            string(APPEND entries "    QT_TRANSLATE_NOOP(\"${window}\", \"${text}\"),\n")
        endif()
    endforeach()
endforeach()

set(content "// Made by cmake/description_texts.cmake from the window descriptions; for lupdate only.\n")
string(APPEND content "static const char* const kDescriptionTexts[] = {\n${entries}};\n")
if(EXISTS ${OUTPUT})
    file(READ ${OUTPUT} before)
endif()
if(NOT "${before}" STREQUAL "${content}")
    file(WRITE ${OUTPUT} "${content}")
endif()
