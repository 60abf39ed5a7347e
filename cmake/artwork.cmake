# The artwork a library's forms show, compiled into it: korvo_add_artwork(
# TARGET NAME...) takes the pictures by name ("ball" is assets/ball.svg) and
# makes them the resources :/art/NAME.svg.
function(korvo_add_artwork target)
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
