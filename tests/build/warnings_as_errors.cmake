# Builds the warning probe through each preset of the project: every preset builds clean code, a
# warning stays a warning in the release build and fails the dev, asan and tsan builds.
# Run with -DSOURCE_DIR=<the project> -DWORK_DIR=<a scratch folder>.
file(REMOVE_RECURSE ${WORK_DIR})
file(COPY ${SOURCE_DIR}/tests/build/warning_probe/ ${SOURCE_DIR}/CMakePresets.json
     DESTINATION ${WORK_DIR})

function(run_in_probe result output)
    execute_process(COMMAND ${ARGN} WORKING_DIRECTORY ${WORK_DIR}
                    RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE out)
    set(${result} ${code} PARENT_SCOPE)
    set(${output} "${out}" PARENT_SCOPE)
endfunction()

set(failures "")
foreach(preset release dev asan tsan)
    run_in_probe(code out ${CMAKE_COMMAND} --preset ${preset} -DVELSCRIPT_SOURCE_DIR=${SOURCE_DIR})
    if(NOT code EQUAL 0)
        message(FATAL_ERROR "The probe does not configure with the ${preset} preset:\n${out}")
    endif()
    run_in_probe(code out ${CMAKE_COMMAND} --build build/${preset} --target quiet)
    if(NOT code EQUAL 0)
        message(FATAL_ERROR "Clean code does not build with the ${preset} preset:\n${out}")
    endif()

    run_in_probe(code out ${CMAKE_COMMAND} --build build/${preset} --target warned)
    if(preset STREQUAL "release")
        if(NOT code EQUAL 0 OR NOT out MATCHES "warning: unused variable")
            list(APPEND failures "release: expected a warning and a finished build, got:\n${out}")
        endif()
    elseif(code EQUAL 0 OR NOT out MATCHES "error: unused variable")
        list(APPEND failures "${preset}: expected the warning to fail the build, got:\n${out}")
    endif()
endforeach()

if(failures)
    list(JOIN failures "\n" report)
    message(FATAL_ERROR "${report}")
endif()
message(STATUS "Warnings are errors in dev, asan and tsan and warnings in release.")
