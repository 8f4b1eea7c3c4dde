# Shared by the MinGW-w64 toolchain files, which set NT_MINGW_PREFIX and
# CMAKE_SYSTEM_PROCESSOR first: cross-builds Windows programs on Linux with
# posix threads.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${NT_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${NT_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${NT_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${NT_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
