# Translations. Every text the windows show goes through Qt's translation system. The build makes
# the translation template, translations/corvane.ts, from the program's sources and the window
# descriptions (with Qt's lupdate), and compiles each translation of resources/translations/ (with
# lrelease) into the program's resources, where the program finds the one of the user's language.

find_program(CORVANE_LUPDATE NAMES lupdate lupdate-qt6
             HINTS ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS} /usr/lib/qt6/bin REQUIRED)
find_program(CORVANE_LRELEASE NAMES lrelease lrelease-qt6
             HINTS ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS} /usr/lib/qt6/bin REQUIRED)

# Made here: the generator for Makefiles does not make a custom command's output folder.
set(translations_dir ${CMAKE_BINARY_DIR}/translations)
file(MAKE_DIRECTORY ${translations_dir})
set(description_files)
foreach(window ${CORVANE_WINDOWS})
    list(APPEND description_files ${PROJECT_SOURCE_DIR}/resources/windows/${window}.txt)
endforeach()
string(REPLACE ";" "|" description_list "${description_files}")
set(description_texts ${translations_dir}/description_texts.cpp)
add_custom_command(OUTPUT ${description_texts}
    COMMAND ${CMAKE_COMMAND} -DOUTPUT=${description_texts} "-DDESCRIPTIONS=${description_list}"
            -P ${PROJECT_SOURCE_DIR}/cmake/description_texts.cmake
    DEPENDS ${description_files} ${PROJECT_SOURCE_DIR}/cmake/description_texts.cmake
    COMMENT "Listing the texts of the window descriptions" VERBATIM)

# The reasons of the checks before acting (platform/reason_texts.h), listed for lupdate.
set(reason_table ${PROJECT_SOURCE_DIR}/platform/reason_texts.h)
set(reason_texts ${translations_dir}/reason_texts.cpp)
add_custom_command(OUTPUT ${reason_texts}
    COMMAND ${CMAKE_COMMAND} -DOUTPUT=${reason_texts} -DTABLE=${reason_table}
            -P ${PROJECT_SOURCE_DIR}/cmake/reason_texts.cmake
    DEPENDS ${reason_table} ${PROJECT_SOURCE_DIR}/cmake/reason_texts.cmake
    COMMENT "Listing the reasons of the checks before acting" VERBATIM)

# The sources that hold texts the user sees: the windows and the program's start.
file(GLOB_RECURSE translated_sources CONFIGURE_DEPENDS
    ${PROJECT_SOURCE_DIR}/ui/*.cpp ${PROJECT_SOURCE_DIR}/ui/*.h ${PROJECT_SOURCE_DIR}/app/*.cpp)
set(CORVANE_TRANSLATED_SOURCES ${translated_sources} ${description_texts} ${reason_texts} CACHE INTERNAL "")
set(template ${translations_dir}/corvane.ts)
add_custom_command(OUTPUT ${template}
    COMMAND ${CORVANE_LUPDATE} -silent -locations none -no-obsolete ${CORVANE_TRANSLATED_SOURCES} -ts ${template}
    DEPENDS ${CORVANE_TRANSLATED_SOURCES}
    COMMENT "Making the translation template translations/corvane.ts")

file(GLOB translation_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/resources/translations/corvane_*.ts)
set(compiled_translations)
foreach(source ${translation_sources})
    get_filename_component(name ${source} NAME_WE)
    set(compiled ${translations_dir}/${name}.qm)
    add_custom_command(OUTPUT ${compiled}
        COMMAND ${CORVANE_LRELEASE} -silent ${source} -qm ${compiled}
        DEPENDS ${source}
        COMMENT "Compiling the translation ${name}")
    list(APPEND compiled_translations ${compiled})
endforeach()
add_custom_target(corvane_translations ALL DEPENDS ${template} ${compiled_translations})
set_source_files_properties(${compiled_translations} PROPERTIES GENERATED TRUE)
qt_add_resources(corvane_ui "translations" PREFIX "/translations" BASE ${translations_dir}
    FILES ${compiled_translations})
add_dependencies(corvane_ui corvane_translations)

# For the test that every translation is complete (tests/translation_check.cmake).
string(REPLACE ";" "|" translated_list "${CORVANE_TRANSLATED_SOURCES}")
set(CORVANE_TRANSLATED_SOURCE_LIST ${translated_list} CACHE INTERNAL "")
set(CORVANE_TRANSLATION_FILES ${translation_sources} CACHE INTERNAL "")
