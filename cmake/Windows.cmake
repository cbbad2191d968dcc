# What only the Windows build needs: programs that carry no runtime DLLs, and a version resource
# with the application icon in each program. Windows Explorer shows both, and Quillon reads its
# own version from the resource the way it reads every other program's.
if(NOT WIN32)
    function(quillon_windows_resources)
    endfunction()
    return()
endif()

# A portable zip holds the programs alone: MinGW's C++ runtime and winpthread are linked in.
target_link_options(quillon_options INTERFACE -static)

# The icon is drawn from the same SVG as the Linux one, in the sizes Windows picks from.
find_program(QUILLON_RSVG_CONVERT rsvg-convert REQUIRED)
find_program(QUILLON_IMAGEMAGICK_CONVERT NAMES convert-im6.q16 convert REQUIRED)
set(QUILLON_ICON_SVG ${PROJECT_SOURCE_DIR}/src/ui/resources/quillon.svg)
set(QUILLON_ICON ${PROJECT_BINARY_DIR}/icon/quillon.ico)
set(icon_pngs)
set(icon_commands)
foreach(size 16 24 32 48 64 128 256)
    set(png ${PROJECT_BINARY_DIR}/icon/quillon-${size}.png)
    list(APPEND icon_pngs ${png})
    list(APPEND icon_commands COMMAND ${QUILLON_RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${QUILLON_ICON_SVG})
endforeach()
add_custom_command(OUTPUT ${QUILLON_ICON}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/icon
    ${icon_commands}
    COMMAND ${QUILLON_IMAGEMAGICK_CONVERT} ${icon_pngs} ${QUILLON_ICON}.tmp.ico
    COMMAND ${CMAKE_COMMAND} -E rename ${QUILLON_ICON}.tmp.ico ${QUILLON_ICON}
    DEPENDS ${QUILLON_ICON_SVG}
    COMMENT "Drawing the application icon for Windows"
    VERBATIM)
add_custom_target(quillon_windows_icon DEPENDS ${QUILLON_ICON})

# The four numbers of the file version; the project's version has four parts already.
foreach(part MAJOR MINOR PATCH TWEAK)
    if(PROJECT_VERSION_${part} STREQUAL "")
        set(PROJECT_VERSION_${part} 0)
    endif()
endforeach()

# target: the program; description and file name: what Explorer's properties show.
function(quillon_windows_resources target description file_name)
    set(QUILLON_RC_DESCRIPTION "${description}")
    set(QUILLON_RC_FILE_NAME "${file_name}")
    get_filename_component(QUILLON_RC_INTERNAL_NAME "${file_name}" NAME_WE)
    set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
    configure_file(${PROJECT_SOURCE_DIR}/cmake/quillon.rc.in ${rc} @ONLY)
    target_sources(${target} PRIVATE ${rc})
    set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS ${QUILLON_ICON})
    add_dependencies(${target} quillon_windows_icon)
endfunction()
