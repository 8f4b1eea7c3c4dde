# Settings every target of ours shares, for MinGW-w64 and MSVC alike.

# Windows 7 is the oldest system the programs support.
set(NT_WIN32_DEFINES WIN32_LEAN_AND_MEAN NOMINMAX STRICT _WIN32_WINNT=0x0601 WINVER=0x0601)

# The processor a program's manifest names: the one it is built for.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(NT_MANIFEST_ARCH amd64)
else()
  set(NT_MANIFEST_ARCH x86)
endif()

# The version header that the resource scripts include (as "nt_version.h").
set(NT_VERSION_INCLUDE_DIR ${PROJECT_BINARY_DIR}/version)
configure_file(${CMAKE_CURRENT_LIST_DIR}/version.h.in ${NT_VERSION_INCLUDE_DIR}/nt_version.h @ONLY)

# Writes a program's manifest for this build's processor into the build folder,
# where the resource script that includes it finds it.
function(nt_manifest template output)
  configure_file(${template} ${output} @ONLY)
endfunction()

function(nt_target_defaults target)
  target_compile_features(${target} PRIVATE cxx_std_20)
  target_compile_definitions(${target} PRIVATE ${NT_WIN32_DEFINES})
  # Sources include each other by their path from the top, e.g. "card/Stream.h".
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR})
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4 /WX /permissive- /utf-8)
    set_property(TARGET ${target} PROPERTY MSVC_RUNTIME_LIBRARY "MultiThreaded$<$<CONFIG:Debug>:Debug>")
  else()
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wimplicit-fallthrough -Werror)
    # The compiler's run-time goes into the executable: nothing but the .exe
    # ships; a release build carries no symbols, and no link time, so that
    # two builds of one commit give the same bytes.
    target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++ -Wl,--no-insert-timestamp
                        $<$<CONFIG:Release>:-s>)
  endif()
endfunction()

# A console program whose entry point is wmain (UTF-16 command line).
function(nt_wide_console target)
  if(MINGW)
    target_link_options(${target} PRIVATE -municode)
  endif()
endfunction()
