# Cross-builds 64-bit Windows programs: the test vehicle for hosts that cannot
# run 32-bit programs (and so no 32-bit Wine). Never shipped.
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(NT_MINGW_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
