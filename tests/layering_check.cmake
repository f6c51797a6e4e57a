# Fails when a module includes a module above it, or when a plain C++ module includes Qt.
#   cmake -DSOURCE_DIR=<tree> -P layering_check.cmake
# The build already keeps each target to the headers of what it links (cmake/modules.cmake); this
# reads every #include of the sources themselves, so that a header no target compiles on its own is
# held to the same rule.

cmake_minimum_required(VERSION 3.22)

if(NOT SOURCE_DIR)
    message(FATAL_ERROR "SOURCE_DIR is not set")
endif()

# Which modules each module may include (its own first). Plain C++ modules may include no Qt.
set(allowed_platform platform)
set(allowed_stream stream platform)
set(allowed_engine engine platform)
set(allowed_qtcore qtcore stream platform)
set(allowed_cli cli engine stream platform)
set(allowed_ui ui qtcore engine stream platform)
set(allowed_app app ui qtcore engine stream platform)
set(all_modules platform stream engine qtcore cli ui app)
set(plain_modules platform stream engine)
# Within cli/, only the save module (loaded when a result set is written) uses Qt Core and the
# library built on it.
set(qt_core_files cli/save_module.cpp)

# Inside ui/, which folders each folder may include (its own first).
set(allowed_ui_views views)
set(allowed_ui_forms forms views)
set(allowed_ui_desktop desktop forms views)
set(allowed_ui_windows windows desktop forms views)
set(ui_folders views forms desktop windows)

set(violations)
foreach(module ${all_modules})
    file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/${module}/*.h ${SOURCE_DIR}/${module}/*.cpp
         ${SOURCE_DIR}/${module}/*.inc)
    foreach(source ${sources})
        file(STRINGS ${SOURCE_DIR}/${source} includes REGEX "^[ \t]*#[ \t]*include")
        foreach(line ${includes})
            if(line MATCHES "#[ \t]*include[ \t]*\"([A-Za-z_]+)/")
                set(target ${CMAKE_MATCH_1})
                if(module STREQUAL "cli" AND target STREQUAL "qtcore" AND source IN_LIST qt_core_files)
                    # the save module
                elseif(target IN_LIST all_modules AND NOT target IN_LIST allowed_${module})
                    list(APPEND violations "${source}: ${module}/ may not include ${target}/ (${line})")
                endif()
                if(module STREQUAL "ui" AND target STREQUAL "ui" AND source MATCHES "^ui/([a-z_]+)/"
                   AND line MATCHES "#[ \t]*include[ \t]*\"ui/([a-z_]+)/")
                    set(target_folder ${CMAKE_MATCH_1})
                    string(REGEX MATCH "^ui/([a-z_]+)/" ignored ${source})
                    set(folder ${CMAKE_MATCH_1})
                    if(folder IN_LIST ui_folders AND NOT target_folder IN_LIST allowed_ui_${folder})
                        list(APPEND violations
                             "${source}: ui/${folder}/ may not include ui/${target_folder}/ (${line})")
                    endif()
                endif()
            elseif(line MATCHES "#[ \t]*include[ \t]*<(Qt[A-Za-z]*/|Q[A-Z][A-Za-z]*>)")
                if(module IN_LIST plain_modules)
                    list(APPEND violations "${source}: ${module}/ is plain C++ and may not include Qt (${line})")
                elseif(module STREQUAL "cli" AND NOT source IN_LIST qt_core_files)
                    list(APPEND violations "${source}: corvane-cli starts without Qt (${line})")
                endif()
            endif()
        endforeach()
    endforeach()
endforeach()

if(violations)
    list(JOIN violations "\n  " text)
    message(FATAL_ERROR "Layering violations:\n  ${text}")
endif()
message(STATUS "No layering violation in ${SOURCE_DIR}")
