# Cross-compiles 64-bit Windows programs with Debian's MinGW-w64 (POSIX
# threads flavour), so the Win32 code can be built and run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KORVO_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KORVO_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KORVO_MINGW_PREFIX}-g++-posix)
# Icons, pictures, version information and the manifest.
set(CMAKE_RC_COMPILER ${KORVO_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KORVO_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Everything linked in statically (libstdc++, libgcc, winpthread): a bare
# Wine prefix, or a Windows machine without MinGW, needs no extra DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
