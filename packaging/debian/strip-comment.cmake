# Run by CPack before it builds the Debian package: the program without the
# compiler's name and version (.comment) and the old .note section, as
# Debian's own dh_strip leaves its programs. CPack's strip keeps them.
execute_process(COMMAND ${CPACK_KORVO_STRIP} --remove-section=.comment --remove-section=.note
    ${CPACK_TEMPORARY_INSTALL_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}/games/korvo-game
    RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "${CPACK_KORVO_STRIP} could not strip usr/games/korvo-game")
endif()
