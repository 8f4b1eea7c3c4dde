# On a Linux host the Windows programs run under Wine: every target gets a
# wrapper as its emulator, with a prefix kept in the build folder.
if(NOT CMAKE_CROSSCOMPILING OR CMAKE_HOST_WIN32)
  return()
endif()

set(NT_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
set(NT_CMAKE_DIR ${CMAKE_CURRENT_LIST_DIR})
configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.in ${CMAKE_BINARY_DIR}/wine-run
               @ONLY FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
               GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)
