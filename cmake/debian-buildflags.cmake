# The flags Debian builds its own packages with, from dpkg-buildflags: its
# hardening (all of it, bind-now included), -Wformat -Werror=format-security,
# and whatever Debian adds later. A distributor's own DEB_BUILD_MAINT_OPTIONS,
# DEB_BUILD_OPTIONS and DEB_*FLAGS_APPEND still have the last word.
#
# They go first in CMAKE_<LANG>_FLAGS, as CFLAGS from the environment would,
# so a build type's own optimisation (the benchmarks' -O3) still wins.
#
# dpkg-buildflags, run from the source folder, maps that folder to "." in
# every path the compiler writes down (debug information, __FILE__); the build
# folder is mapped to "." too. A stripped program keeps the build id, a hash
# taken over its debug information, so without these maps two builds of one
# commit in two places would differ.

find_program(KORVO_DPKG_BUILDFLAGS dpkg-buildflags)
if(NOT KORVO_DPKG_BUILDFLAGS)
    message(STATUS "No dpkg-buildflags (package dpkg-dev): built with the compiler's own defaults, "
        "and the program depends on the folders it was built in")
    return()
endif()

function(_korvo_dpkg_buildflag name out)
    execute_process(
        COMMAND ${CMAKE_COMMAND} -E env "DEB_BUILD_MAINT_OPTIONS=hardening=+all $ENV{DEB_BUILD_MAINT_OPTIONS}"
            ${KORVO_DPKG_BUILDFLAGS} --get ${name}
        WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
        OUTPUT_VARIABLE value
        ERROR_VARIABLE error
        RESULT_VARIABLE status
        OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "dpkg-buildflags --get ${name} failed (${status}): ${error}")
    endif()
    set(${out} "${value}" PARENT_SCOPE)
endfunction()

_korvo_dpkg_buildflag(CPPFLAGS cppflags)
_korvo_dpkg_buildflag(CXXFLAGS cxxflags)
_korvo_dpkg_buildflag(LDFLAGS ldflags)

# The build folder's map comes last: GCC takes the last map that matches, and
# the build folder may lie inside the source folder.
string(PREPEND CMAKE_CXX_FLAGS "${cppflags} ${cxxflags} -ffile-prefix-map=${PROJECT_BINARY_DIR}=. ")
foreach(kind EXE SHARED MODULE)
    string(PREPEND CMAKE_${kind}_LINKER_FLAGS "${ldflags} ")
endforeach()
message(STATUS "Debian's build flags: ${cppflags} ${cxxflags} ${ldflags}")
