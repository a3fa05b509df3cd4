# Installs the engine kit from the build tree into a scratch prefix, then configures and builds
# the outside engine as a project of its own against it, as an engine's maker would.
# Run with -DBUILD_DIR=<the tester's build> -DSOURCE_DIR=<outside_engine/> -DWORK_DIR=<scratch>.
file(REMOVE_RECURSE ${WORK_DIR})

function(run step)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE out)
    if(NOT code EQUAL 0)
        message(FATAL_ERROR "${step} failed:\n${out}")
    endif()
endfunction()

run("Installing the engine kit"
    ${CMAKE_COMMAND} --install ${BUILD_DIR} --component engine_kit --prefix ${WORK_DIR}/prefix)
run("Configuring the outside engine"
    ${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${WORK_DIR}/build -G Ninja -DCMAKE_BUILD_TYPE=Debug
    -DCMAKE_PREFIX_PATH=${WORK_DIR}/prefix)
run("Building the outside engine" ${CMAKE_COMMAND} --build ${WORK_DIR}/build)
