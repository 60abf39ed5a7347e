# A stand-in for the build's korvo_link_artwork(TARGET): the pictures every
# library asked for (KORVO_ARTWORK), drawn by the host's renderer at 100, 150
# and 200 % into an .rc linked to TARGET; also the program's icon, which the
# game's own .rc names.
if(NOT KORVO_HOST_RENDERER OR NOT EXISTS ${KORVO_HOST_RENDERER})
    message(FATAL_ERROR "KORVO_HOST_RENDERER must name the host build's korvo-render-icon")
endif()

get_property(korvo_artwork GLOBAL PROPERTY KORVO_ARTWORK)
list(REMOVE_DUPLICATES korvo_artwork)
set(KORVO_ARTWORK_DIR ${CMAKE_BINARY_DIR}/artwork)
execute_process(
    COMMAND ${CMAKE_CURRENT_LIST_DIR}/../render-artwork.sh ${KORVO_HOST_RENDERER} ${KORVO_ROOT}/assets
        ${KORVO_ARTWORK_DIR} ${korvo_artwork}
    RESULT_VARIABLE drawn)
if(NOT drawn EQUAL 0)
    message(FATAL_ERROR "Drawing the pictures failed")
endif()
set(art ${KORVO_ROOT}/assets)
execute_process(
    COMMAND ${KORVO_HOST_RENDERER} ico ${CMAKE_BINARY_DIR}/korvo/packaging/korvo-game.ico
        ${art}/icon-16.svg:16 ${art}/icon-32.svg:32 ${art}/icon.svg:48 ${art}/icon.svg:256
    RESULT_VARIABLE drawn)
if(NOT drawn EQUAL 0)
    message(FATAL_ERROR "Drawing the icon failed")
endif()

function(korvo_link_artwork target)
    target_sources(${target} PRIVATE ${KORVO_ARTWORK_DIR}/artwork.rc)
endfunction()
korvo_link_artwork(korvo-game)
