# Each module's headers are reached as "MODULE/file.h", but a target sees only its own module and
# the modules it links: the include folder of a module holds a link named after it to its sources,
# so that, say, the engine cannot include "ui/..." or a Qt header without failing to compile.
# (tests/layering_check.cmake also reads every #include, for what the compiler cannot see.)

# corvane_module_headers(TARGET MODULE): TARGET and what links it may include "MODULE/...".
function(corvane_module_headers target module)
    set(dir ${CMAKE_BINARY_DIR}/module_include/${module})
    if(NOT IS_SYMLINK ${dir}/${module})
        file(MAKE_DIRECTORY ${dir})
        file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${module} ${dir}/${module} SYMBOLIC)
    endif()
    target_include_directories(${target} PUBLIC ${dir})
endfunction()
