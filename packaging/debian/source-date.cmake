# Run by CPack before it builds the Debian package: every time the package
# holds (its members, its files) is the last commit's, so that two builds of
# one commit, wherever and whenever they are made, give the same bytes. A
# SOURCE_DATE_EPOCH already set, by a distributor's build for one, wins;
# without a git history the changelog's last entry gives the date.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
    return()
endif()
execute_process(COMMAND git -C ${CPACK_KORVO_SOURCE_DIR} log -1 --format=%ct
    OUTPUT_VARIABLE epoch RESULT_VARIABLE status OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
if(NOT status EQUAL 0 OR NOT epoch MATCHES "^[0-9]+$")
    execute_process(COMMAND dpkg-parsechangelog -l ${CPACK_KORVO_SOURCE_DIR}/packaging/debian/changelog -STimestamp
        OUTPUT_VARIABLE epoch RESULT_VARIABLE status OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
endif()
if(NOT status EQUAL 0 OR NOT epoch MATCHES "^[0-9]+$")
    message(FATAL_ERROR "The package's date comes from the last commit or from packaging/debian/changelog, "
        "and neither could be read in ${CPACK_KORVO_SOURCE_DIR}: set SOURCE_DATE_EPOCH to build it anyway.")
endif()
set(ENV{SOURCE_DATE_EPOCH} ${epoch})
