# The artwork a library's forms show, compiled into it: korvo_add_artwork(
# TARGET NAME...) takes the pictures by name ("ball" is assets/ball.svg).
# With Qt they are the resources :/art/NAME.svg, drawn at the screen's pixel
# density when shown.
function(korvo_add_artwork target)
    if(KORVO_BACKEND STREQUAL "win32")
        # For Windows they are drawn when the program is built, by a build
        # of the renderer on the building machine, at 100, 150 and 200 %:
        # PNG resources of the executable named NAME@PERCENT.
        set_property(GLOBAL APPEND PROPERTY KORVO_ARTWORK ${ARGN})
        return()
    endif()
    list(TRANSFORM ARGN PREPEND ${PROJECT_SOURCE_DIR}/assets/ OUTPUT_VARIABLE files)
    list(TRANSFORM files APPEND .svg)
    qt_add_resources(${target} ${target}_art
        PREFIX /art
        BASE ${PROJECT_SOURCE_DIR}/assets
        FILES ${files}
        # Stored as written: the pictures are read at start-up, and unpacking
        # them would cost time and a decompressor in memory for a few kilobytes.
        OPTIONS -no-compress)
endfunction()
