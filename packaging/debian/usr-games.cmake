# Run by CPack before it builds the Debian package: Debian keeps the programs
# of the games section in /usr/games. A link in /usr/bin lets every user,
# root and service sessions included, start the game by its name.
set(root ${CPACK_TEMPORARY_INSTALL_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX})
file(MAKE_DIRECTORY ${root}/games)
file(RENAME ${root}/bin/korvo-game ${root}/games/korvo-game)
file(CREATE_LINK ../games/korvo-game ${root}/bin/korvo-game SYMBOLIC)
