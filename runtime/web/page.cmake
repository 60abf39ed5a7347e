# The web backend's page: korvo_web_page(TARGET PAGE) links TARGET (an
# Emscripten executable, TARGET.js and TARGET.wasm) with the page's side of
# the backend and writes beside it PAGE, the HTML that loads it, with the
# artwork in art/ and the two faces served for machines without the
# layouts' fonts in fonts/. Extra arguments go into the page's script.

set(KORVO_WEB_DIR ${CMAKE_CURRENT_LIST_DIR} CACHE INTERNAL "The web backend's sources")

# The program waits for the page (Asyncify) in one place only; its wait
# saves the stack of a handler that waits in a message box.
target_link_options(runtime INTERFACE
    "SHELL:--js-library ${KORVO_WEB_DIR}/library.js"
    -sASYNCIFY -sASYNCIFY_IMPORTS=[korvo_page_wait] -sASYNCIFY_STACK_SIZE=65536
    -sALLOW_MEMORY_GROWTH -sENVIRONMENT=web)
set_property(TARGET runtime APPEND PROPERTY INTERFACE_LINK_DEPENDS ${KORVO_WEB_DIR}/library.js)

# Served only to a browser that has neither the layout's face nor its
# desktop lookalike: Comic Neue as Debian ships it for the web (SIL OFL), and
# Roboto Condensed Bold (Apache 2.0) cut to Latin-1, with their licences.
function(_korvo_web_fonts target)
    set(dir ${CMAKE_BINARY_DIR}/fonts)
    set(comic /usr/share/fonts-comic-neue/woff/ComicNeue-Regular.woff)
    set(roboto /usr/share/fonts/truetype/roboto/unhinted/RobotoCondensed-Bold.ttf)
    foreach(file ${comic} ${roboto})
        if(NOT EXISTS ${file})
            message(FATAL_ERROR "No ${file}: scripts/install-deps web installs the fonts the page serves")
        endif()
    endforeach()
    find_program(KORVO_PYFTSUBSET pyftsubset REQUIRED)
    add_custom_command(OUTPUT ${dir}/comic-neue.woff ${dir}/roboto-condensed-bold.woff
        COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
        COMMAND ${CMAKE_COMMAND} -E copy ${comic} ${dir}/comic-neue.woff
        COMMAND ${CMAKE_COMMAND} -E copy /usr/share/doc/fonts-comic-neue/copyright ${dir}/comic-neue.LICENSE
        COMMAND ${CMAKE_COMMAND} -E copy /usr/share/doc/fonts-roboto-unhinted/copyright
                ${dir}/roboto-condensed-bold.LICENSE
        COMMAND ${KORVO_PYFTSUBSET} ${roboto} --unicodes=U+0020-007E,U+00A0-00FF,U+2122 --flavor=woff
                --output-file=${dir}/roboto-condensed-bold.woff
        DEPENDS ${comic} ${roboto}
        COMMENT "Fonts for the page"
        VERBATIM)
    add_custom_target(${target}_fonts DEPENDS ${dir}/comic-neue.woff ${dir}/roboto-condensed-bold.woff)
    add_dependencies(${target} ${target}_fonts)
endfunction()

function(korvo_web_page target page)
    list(JOIN ARGN "\n" KORVO_PAGE_EXTRA)
    file(READ ${KORVO_WEB_DIR}/page.css KORVO_PAGE_CSS)
    set_property(DIRECTORY ${CMAKE_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${KORVO_WEB_DIR}/page.css)
    set(KORVO_PAGE_SCRIPT ${target}.js)
    configure_file(${KORVO_WEB_DIR}/index.html.in ${CMAKE_BINARY_DIR}/${page} @ONLY)
    set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

    # The artwork every library named (cmake/artwork.cmake), as it is.
    if(NOT TARGET korvo_web_art)
        get_property(names GLOBAL PROPERTY KORVO_ARTWORK)
        list(REMOVE_DUPLICATES names)
        set(copied)
        foreach(name IN LISTS names)
            add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/art/${name}.svg
                COMMAND ${CMAKE_COMMAND} -E copy ${KORVO_ASSETS}/${name}.svg ${CMAKE_BINARY_DIR}/art/${name}.svg
                DEPENDS ${KORVO_ASSETS}/${name}.svg
                VERBATIM)
            list(APPEND copied ${CMAKE_BINARY_DIR}/art/${name}.svg)
        endforeach()
        add_custom_target(korvo_web_art DEPENDS ${copied})
        _korvo_web_fonts(korvo_web_art)
    endif()
    add_dependencies(${target} korvo_web_art)
endfunction()
