# Shared part of the MinGW-w64 toolchain files; the caller sets QF_MINGW_TRIPLE and
# CMAKE_SYSTEM_PROCESSOR. The -posix compilers from Debian's g++-mingw-w64 packages.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${QF_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QF_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${QF_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${QF_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# The C and C++ runtimes (and winpthread) linked in, so the exe needs no DLL beyond the
# system's own.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
