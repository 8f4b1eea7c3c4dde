# Cross-builds 32-bit Windows programs, the ones that ship.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(NT_MINGW_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
