# On a Linux host the Windows programs run under Wine: every target gets a
# wrapper as its emulator, with a prefix kept in the build folder. A 64-bit
# build runs under 64-bit Wine in a win64 prefix, called through its own loader:
# /usr/bin/wine picks the 32-bit loader whenever it is installed, even on hosts
# where it cannot run.
if(NOT CMAKE_CROSSCOMPILING OR CMAKE_HOST_WIN32)
  return()
endif()

set(NT_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
set(NT_CMAKE_DIR ${CMAKE_CURRENT_LIST_DIR})
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(NT_WINE_BITS 64)
  set(NT_WINEARCH win64)
  set(NT_WINELOADER /usr/lib/wine/wine64)
else()
  set(NT_WINE_BITS 32)
  set(NT_WINEARCH win32)
  set(NT_WINELOADER /usr/lib/wine/wine)
endif()
configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.in ${CMAKE_BINARY_DIR}/wine-run
               @ONLY FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
               GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)
