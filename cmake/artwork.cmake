# The artwork a library's forms show, compiled into it: korvo_add_artwork(
# TARGET NAME...) takes the pictures by name ("ball" is assets/ball.svg).
# On Qt they are the resources :/art/NAME.svg, drawn at the screen's pixel
# density when shown.
#
# For Windows they are drawn when the program is built, by a build of the
# renderer (packaging/rendericon.cpp) on the building machine, whose path is
# KORVO_HOST_RENDERER: PNG resources of the executable named NAME@PERCENT at
# 100, 150 and 200 %. Resources in a static library do not survive linking,
# so a library only lists its pictures, and each Windows executable takes
# them all:
#
#   korvo_link_artwork(TARGET)       the pictures, and the icon as resource 1
#   korvo_windows_manifest(TARGET)   the manifest: DPI awareness, Common Controls 6
#   korvo_windows_resources(TARGET)  both, as the game has them
#
# Paths start from this file, so a Windows project of its own (tests/wine)
# can include it too.
get_filename_component(KORVO_ASSETS ${CMAKE_CURRENT_LIST_DIR}/../assets ABSOLUTE)
get_filename_component(KORVO_WINDOWS_PACKAGING ${CMAKE_CURRENT_LIST_DIR}/../packaging/windows ABSOLUTE)

# The program's icon: the pixel-art drawings at their own sizes, the scalable
# one for the rest.
set(KORVO_ICO_SOURCES ${KORVO_ASSETS}/icon-16.svg:16 ${KORVO_ASSETS}/icon-32.svg:32
    ${KORVO_ASSETS}/icon.svg:48 ${KORVO_ASSETS}/icon.svg:256)

# The scales a Windows build carries, as the backend picks them by DPI.
set(KORVO_ARTWORK_PERCENTS 100 150 200)

# What the runtime knows of each picture whatever shows it (runtime/artwork.h):
# its size and title, read from the drawing's root element when the build is
# configured, into a table the runtime library compiles.
function(_korvo_artwork_catalogue)
    # Deferred to the end of the top directory, whose variables these are not.
    get_filename_component(assets ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/../assets ABSOLUTE)
    get_property(names GLOBAL PROPERTY KORVO_ARTWORK)
    list(REMOVE_DUPLICATES names)
    list(SORT names)
    set(rows "")
    foreach(name IN LISTS names)
        # Read again whenever a drawing changes.
        set_property(DIRECTORY ${CMAKE_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${assets}/${name}.svg)
        file(READ ${assets}/${name}.svg head LIMIT 4096)
        string(REGEX MATCH "<svg[^>]*>" root "${head}")
        string(REGEX MATCH " width=\"([0-9]+)\"" found "${root}")
        set(width ${CMAKE_MATCH_1})
        string(REGEX MATCH " height=\"([0-9]+)\"" found "${root}")
        set(height ${CMAKE_MATCH_1})
        if(NOT width OR NOT height)
            message(FATAL_ERROR "assets/${name}.svg: the root element gives no width and height in pixels")
        endif()
        set(title "")
        if(head MATCHES "<title>([^<]*)</title>")
            string(REPLACE "\\" "\\\\" title "${CMAKE_MATCH_1}")
            string(REPLACE "\"" "\\\"" title "${title}")
        endif()
        string(APPEND rows "    {\"${name}\", {${width}, ${height}, \"${title}\"}},\n")
    endforeach()
    list(LENGTH names count)
    file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/artwork/catalogue.cpp CONTENT
"// The artwork's sizes and titles, read from assets/*.svg by cmake/artwork.cmake.
#include \"runtime/artwork.h\"

namespace forms::detail {
const CataloguedPicture catalogue[] = {
${rows}};
const int catalogueSize = ${count};
} // namespace forms::detail
" @ONLY)
endfunction()

function(korvo_add_artwork target)
    # Every picture the program shows, for the runtime's catalogue, the
    # Windows executables and the tests that check them.
    set_property(GLOBAL APPEND PROPERTY KORVO_ARTWORK ${ARGN})
    get_property(deferred GLOBAL PROPERTY _KORVO_CATALOGUE_DEFERRED)
    if(NOT deferred)
        set_property(GLOBAL PROPERTY _KORVO_CATALOGUE_DEFERRED TRUE)
        cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL _korvo_artwork_catalogue)
    endif()
    if(NOT KORVO_BACKEND STREQUAL "qt")
        return()
    endif()
    list(TRANSFORM ARGN PREPEND ${KORVO_ASSETS}/ OUTPUT_VARIABLE files)
    list(TRANSFORM files APPEND .svg)
    qt_add_resources(${target} ${target}_art
        PREFIX /art
        BASE ${KORVO_ASSETS}
        FILES ${files}
        # Stored as written: the pictures are read at start-up, and unpacking
        # them would cost time and a decompressor in memory for a few kilobytes.
        # Format 1 keeps no file times, which would make the program's bytes
        # depend on when the sources were checked out.
        OPTIONS -no-compress --format-version 1)
endfunction()

if(NOT KORVO_BACKEND STREQUAL "win32")
    return()
endif()

get_filename_component(_korvo_root ${CMAKE_CURRENT_LIST_DIR}/.. ABSOLUTE)
set(KORVO_HOST_RENDERER ${_korvo_root}/build/packaging/korvo-render-icon CACHE FILEPATH
    "korvo-render-icon built for the building machine (make windows builds it in build/)")

function(_korvo_need_renderer)
    if(NOT EXISTS ${KORVO_HOST_RENDERER})
        message(FATAL_ERROR "No picture renderer at ${KORVO_HOST_RENDERER}. `make windows` builds it first; "
            "by hand: cmake --build build --target korvo-render-icon, then -DKORVO_HOST_RENDERER=<its path>.")
    endif()
endfunction()

# The pictures and the icon, drawn once into this build's artwork/ folder and
# compiled into one object library that every executable links: objects, not
# an archive, so the linker keeps their resources.
function(_korvo_artwork_library)
    if(TARGET korvo_artwork)
        return()
    endif()
    _korvo_need_renderer()
    get_property(names GLOBAL PROPERTY KORVO_ARTWORK)
    list(REMOVE_DUPLICATES names)
    list(SORT names)
    set(dir ${CMAKE_BINARY_DIR}/artwork)
    file(MAKE_DIRECTORY ${dir})

    set(rc "// The game's pictures at 100, 150 and 200 %, and its icon: made by cmake/artwork.cmake.\n")
    string(APPEND rc "// The icon is resource 1, the one Explorer and the windows show.\n")
    string(APPEND rc "LANGUAGE 0, 0\n#define IDI_ICON1 1\nIDI_ICON1 ICON \"${dir}/korvo-game.ico\"\n\n")
    set(drawn ${dir}/korvo-game.ico)
    foreach(name IN LISTS names)
        set(svg ${KORVO_ASSETS}/${name}.svg)
        if(NOT EXISTS ${svg})
            message(FATAL_ERROR "korvo_add_artwork: no picture ${svg}")
        endif()
        foreach(percent IN LISTS KORVO_ARTWORK_PERCENTS)
            set(png ${dir}/${name}@${percent}.png)
            add_custom_command(OUTPUT ${png}
                COMMAND ${KORVO_HOST_RENDERER} picture ${svg} ${percent} ${png}
                DEPENDS ${svg} ${KORVO_HOST_RENDERER}
                COMMENT "Drawing ${name} at ${percent} %"
                VERBATIM)
            list(APPEND drawn ${png})
            # In no language, as pictures have none. Saying so before each one
            # also keeps windres from reading a file name and the next name as
            # one string, as it reads any two strings side by side. Windows
            # keeps the name in capitals and finds it regardless of case:
            # FindResourceW(module, L"ball@150", RT_RCDATA).
            string(APPEND rc "LANGUAGE 0, 0\n\"${name}@${percent}\" RCDATA \"${png}\"\n")
        endforeach()
    endforeach()

    set(ico_svgs ${KORVO_ICO_SOURCES})
    list(TRANSFORM ico_svgs REPLACE ":[0-9]+$" "")
    list(REMOVE_DUPLICATES ico_svgs)
    add_custom_command(OUTPUT ${dir}/korvo-game.ico
        COMMAND ${KORVO_HOST_RENDERER} ico ${dir}/korvo-game.ico ${KORVO_ICO_SOURCES}
        DEPENDS ${ico_svgs} ${KORVO_HOST_RENDERER}
        COMMENT "Drawing the Windows icon"
        VERBATIM)

    # Written only when the list changes, so a build does not compile it again
    # for nothing; a picture that changes is drawn again and compiled in again.
    file(GENERATE OUTPUT ${dir}/artwork.rc CONTENT "${rc}")
    add_custom_target(korvo_artwork_drawn DEPENDS ${drawn})
    add_library(korvo_artwork OBJECT ${dir}/artwork.rc)
    add_dependencies(korvo_artwork korvo_artwork_drawn)
    set_source_files_properties(${dir}/artwork.rc PROPERTIES OBJECT_DEPENDS "${drawn}")
    set_property(GLOBAL PROPERTY _KORVO_ARTWORK_LINKED "${names}")

    # A picture listed after this would be missing from every executable:
    # say so when the configuration ends rather than when it fails to show.
    cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL _korvo_artwork_check)
endfunction()

function(_korvo_artwork_check)
    get_property(names GLOBAL PROPERTY KORVO_ARTWORK)
    get_property(linked GLOBAL PROPERTY _KORVO_ARTWORK_LINKED)
    list(REMOVE_ITEM names ${linked})
    if(names)
        message(FATAL_ERROR "korvo_add_artwork(${names}) came after the first korvo_link_artwork(): "
            "add the libraries before the executables that link them.")
    endif()
endfunction()

function(korvo_link_artwork target)
    _korvo_artwork_library()
    target_link_libraries(${target} PRIVATE korvo_artwork)
endfunction()

# The application manifest: per-monitor DPI awareness, Common Controls 6, the
# Windows versions the game knows.
function(korvo_windows_manifest target)
    if(NOT TARGET korvo_manifest)
        set(KORVO_MANIFEST_VERSION 1.0.0.0)
        if(PROJECT_VERSION MATCHES "^[0-9]+\\.[0-9]+\\.[0-9]+$")
            set(KORVO_MANIFEST_VERSION ${PROJECT_VERSION}.0)
        endif()
        set(dir ${CMAKE_BINARY_DIR}/artwork)
        configure_file(${KORVO_WINDOWS_PACKAGING}/korvo-game.manifest.in ${dir}/korvo-game.manifest @ONLY)
        file(GENERATE OUTPUT ${dir}/manifest.rc CONTENT
            "// 1 is the manifest a program reads when it starts (CREATEPROCESS_MANIFEST_RESOURCE_ID), 24 RT_MANIFEST.\n1 24 \"${dir}/korvo-game.manifest\"\n")
        add_library(korvo_manifest OBJECT ${dir}/manifest.rc)
        set_source_files_properties(${dir}/manifest.rc PROPERTIES OBJECT_DEPENDS ${dir}/korvo-game.manifest)
    endif()
    target_link_libraries(${target} PRIVATE korvo_manifest)
endfunction()

function(korvo_windows_resources target)
    korvo_link_artwork(${target})
    korvo_windows_manifest(${target})
endfunction()
