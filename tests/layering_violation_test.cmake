cmake_minimum_required(VERSION 3.22)
# The layering check must catch a lower module that includes a higher one or Qt, and a folder of
# ui/ that includes one above it:
#   cmake -DCHECK=<layering_check.cmake> -DWORK_DIR=<scratch folder> -P layering_violation_test.cmake

file(REMOVE_RECURSE ${WORK_DIR})
file(WRITE ${WORK_DIR}/engine/reaches_up.cpp "#include \"engine/ok.h\"\n#include \"ui/forms/form.h\"\n")
file(WRITE ${WORK_DIR}/stream/uses_qt.h "#include <QtCore/QString>\n")
file(WRITE ${WORK_DIR}/cli/widgets.cpp "#include <QWidget>\n")
file(WRITE ${WORK_DIR}/ui/fine.cpp "#include \"engine/ok.h\"\n#include <QWidget>\n")
file(WRITE ${WORK_DIR}/ui/forms/reaches_up.cpp "#include \"ui/views/ok.h\"\n#include \"ui/windows/main_window.h\"\n")
file(WRITE ${WORK_DIR}/ui/windows/fine.cpp "#include \"ui/forms/form.h\"\n#include \"ui/desktop/ok.h\"\n")

execute_process(COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${WORK_DIR} -P ${CHECK}
                RESULT_VARIABLE result ERROR_VARIABLE output OUTPUT_VARIABLE output)
if(result EQUAL 0)
    message(FATAL_ERROR "The layering check passed a tree with violations:\n${output}")
endif()
foreach(expected "engine/reaches_up.cpp: engine/ may not include ui/" "stream/uses_qt.h: stream/ is plain C++"
                 "cli/widgets.cpp: corvane-cli starts without Qt"
                 "ui/forms/reaches_up.cpp: ui/forms/ may not include ui/windows/")
    string(FIND "${output}" "${expected}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "The layering check did not report \"${expected}\":\n${output}")
    endif()
endforeach()
foreach(allowed "ui/fine.cpp" "ui/windows/fine.cpp" "ui/views/ok.h")
    string(FIND "${output}" "${allowed}" at)
    if(NOT at EQUAL -1)
        message(FATAL_ERROR "The layering check reported an allowed include:\n${output}")
    endif()
endforeach()
