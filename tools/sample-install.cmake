# The sample installation (a Wine-style prefix with Total Commander and a few plugins built as
# real PE files) for the demo and the end-to-end tests: ${CMAKE_BINARY_DIR}/sample/prefix.
# Needs MinGW-w64 (cmake/MinGW.cmake sets QUILLON_HAVE_MINGW).
if(QUILLON_HAVE_MINGW)
    set(QUILLON_SAMPLE_DIR ${CMAKE_BINARY_DIR}/sample)
    # The script dates every file of the prefix back to a fixed day, so a file of its own marks
    # when it last ran.
    set(QUILLON_SAMPLE_STAMP ${QUILLON_SAMPLE_DIR}/built.stamp)
    add_custom_command(
        OUTPUT ${QUILLON_SAMPLE_STAMP}
        COMMAND ${CMAKE_COMMAND} -E env
            MINGW64_GCC=${MINGW64_GCC} MINGW64_WINDRES=${MINGW64_WINDRES}
            MINGW32_GCC=${MINGW32_GCC} MINGW32_WINDRES=${MINGW32_WINDRES}
            bash ${CMAKE_CURRENT_LIST_DIR}/make-sample-install.sh ${QUILLON_SAMPLE_DIR}
        COMMAND ${CMAKE_COMMAND} -E touch ${QUILLON_SAMPLE_STAMP}
        DEPENDS ${CMAKE_CURRENT_LIST_DIR}/make-sample-install.sh ${CMAKE_CURRENT_LIST_DIR}/build-pe.sh
        COMMENT "Building the sample installation in ${QUILLON_SAMPLE_DIR}"
        VERBATIM)
    add_custom_target(quillon_sample_install ALL DEPENDS ${QUILLON_SAMPLE_STAMP})
endif()
