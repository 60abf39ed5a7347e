# The portable zip (make windows): the program, which needs nothing installed
# and writes nothing, with a short LEAME.txt and the licence, in a folder of
# its own. Its texts are for Notepad: lines ending in CR LF, and UTF-8 marked
# as such, which Notepad before Windows 10 needs to show the accents. Every
# date in it is the last commit's, as in the Debian package.
#
#   cmake -DSOURCE_DIR=... -DPROGRAM=korvo-game.exe -DVERSION=1.1.1 -DWORK=dir -DZIP=out.zip -P portable.cmake

string(ASCII 239 187 191 utf8_mark)

function(write_for_notepad path text)
    string(REPLACE "\r\n" "\n" text "${text}")
    string(REPLACE "\n" "\r\n" text "${text}")
    file(WRITE ${path} "${utf8_mark}${text}")
endfunction()

set(folder korvo-game-${VERSION})
file(REMOVE_RECURSE ${WORK}/${folder})
file(MAKE_DIRECTORY ${WORK}/${folder})
file(COPY_FILE ${PROGRAM} ${WORK}/${folder}/korvo-game.exe)

file(READ ${SOURCE_DIR}/packaging/windows/LEAME.txt leame)
write_for_notepad(${WORK}/${folder}/LEAME.txt "${leame}")

# The licence as the Debian copyright file states it, one text for both.
file(STRINGS ${SOURCE_DIR}/packaging/debian/copyright copyright)
set(licence "")
set(in_licence FALSE)
foreach(line IN LISTS copyright)
    if(line MATCHES "^Copyright: (.*)" AND NOT holder)
        set(holder ${CMAKE_MATCH_1})
    elseif(line STREQUAL "License: LicenseRef-proprietary")
        set(in_licence TRUE)
    elseif(in_licence AND line MATCHES "^ (.*)")
        string(APPEND licence "${CMAKE_MATCH_1}\n")
    elseif(in_licence)
        break()
    endif()
endforeach()
if(licence STREQUAL "" OR NOT holder)
    message(FATAL_ERROR "No licence found in packaging/debian/copyright")
endif()
write_for_notepad(${WORK}/${folder}/LICENCIA.txt "Korvo Game ${VERSION}\nCopyright ${holder}\n\n${licence}")

if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
    execute_process(COMMAND git -C ${SOURCE_DIR} log -1 --format=%ct
        OUTPUT_VARIABLE epoch RESULT_VARIABLE status OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    if(status EQUAL 0 AND epoch MATCHES "^[0-9]+$")
        set(ENV{SOURCE_DATE_EPOCH} ${epoch})
    endif()
endif()
# string(TIMESTAMP) reads SOURCE_DATE_EPOCH when it is set.
string(TIMESTAMP date "%Y-%m-%d %H:%M:%S" UTC)
file(REMOVE ${ZIP})
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${ZIP} --format=zip "--mtime=${date} UTC"
        ${folder}/korvo-game.exe ${folder}/LEAME.txt ${folder}/LICENCIA.txt
    WORKING_DIRECTORY ${WORK} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "Could not make ${ZIP}")
endif()
