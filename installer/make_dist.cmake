# Makes the release packages from an installed tree and lists their sums:
#   cmake -DCONFIG=CPackConfig.cmake -DWORK=dir -DDIST=dir -DNAME=Name-Version -DCPACK=cpack
#         -DSOURCE=source-dir [-DSIGN=ON] -P make_dist.cmake
# A stale package must not be taken for a new one: dist/ starts empty, and so
# do the signed programs that the packages share (stage.cmake).
file(REMOVE_RECURSE ${DIST} ${WORK}/signed)
file(MAKE_DIRECTORY ${DIST})

# Read by per-package.cmake; installer/sign reads the key from the environment.
if(SIGN)
  if(NOT DEFINED ENV{NT_SIGN_PKCS12})
    message(FATAL_ERROR "Signing needs NT_SIGN_PKCS12 (the key file, PKCS#12) and NT_SIGN_PASSWORD")
  endif()
  set(ENV{NT_SIGN} 1)
endif()

# The packed files' times are the last commit's (stage.cmake), unless the
# caller sets SOURCE_DATE_EPOCH: a build of one commit gives the same bytes
# whenever and wherever it runs.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  execute_process(COMMAND git -C ${SOURCE} log -1 --format=%ct OUTPUT_VARIABLE epoch
                  OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET RESULT_VARIABLE result)
  if(result EQUAL 0 AND epoch)
    set(ENV{SOURCE_DATE_EPOCH} ${epoch})
  endif()
endif()
execute_process(COMMAND ${CPACK} --config ${CONFIG} -B ${WORK} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cpack failed (${result})")
endif()

set(sums "")
foreach(file ${NAME}-setup.exe ${NAME}.zip)
  if(NOT EXISTS ${WORK}/${file})
    message(FATAL_ERROR "cpack made no ${file}")
  endif()
  file(RENAME ${WORK}/${file} ${DIST}/${file})
  file(SHA256 ${DIST}/${file} sum)
  # The format sha256sum -c reads: two spaces, then the name.
  string(APPEND sums "${sum}  ${file}\n")
endforeach()
file(WRITE ${DIST}/SHA256SUMS "${sums}")
