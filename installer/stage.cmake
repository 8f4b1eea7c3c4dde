# Run by CPack for each package once it has staged the package's files in
# CPACK_TEMPORARY_DIRECTORY, before it packs them (CPACK_PRE_BUILD_SCRIPTS).

# Signed packages: the programs are signed before they are packed. The first
# package signs them and keeps the signed copies; the second takes those, so
# that the setup and the zip hold the same files.
if(CPACK_NT_SIGN)
  set(signed ${CPACK_PACKAGE_DIRECTORY}/signed)
  file(GLOB programs RELATIVE ${CPACK_TEMPORARY_DIRECTORY} ${CPACK_TEMPORARY_DIRECTORY}/*.exe)
  foreach(program ${programs})
    if(EXISTS ${signed}/${program})
      file(COPY_FILE ${signed}/${program} ${CPACK_TEMPORARY_DIRECTORY}/${program})
    else()
      execute_process(COMMAND ${CPACK_NT_SIGN} ${CPACK_PACKAGE_NAME} ${CPACK_TEMPORARY_DIRECTORY}/${program}
                      RESULT_VARIABLE result)
      if(NOT result EQUAL 0)
        message(FATAL_ERROR "cannot sign ${program}")
      endif()
      file(COPY ${CPACK_TEMPORARY_DIRECTORY}/${program} DESTINATION ${signed})
    endif()
  endforeach()
endif()

# Every staged file and folder takes the commit's time (SOURCE_DATE_EPOCH, set
# by make_dist.cmake): the setup and the zip keep file times, and two builds
# of one commit must pack the same bytes.
# CMake sets no given time; a host without touch packs the build's times.
find_program(NT_TOUCH touch)
if(DEFINED ENV{SOURCE_DATE_EPOCH} AND NOT NT_TOUCH)
  message(WARNING "No touch: the packages keep the build's file times and differ from build to build")
elseif(DEFINED ENV{SOURCE_DATE_EPOCH})
  file(GLOB_RECURSE staged LIST_DIRECTORIES true ${CPACK_TEMPORARY_DIRECTORY}/*)
  execute_process(COMMAND ${NT_TOUCH} -h -d @$ENV{SOURCE_DATE_EPOCH} ${CPACK_TEMPORARY_DIRECTORY} ${staged}
                  RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "cannot set the staged files' times (${result})")
  endif()
endif()
