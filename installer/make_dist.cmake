# Makes the release packages from an installed tree and lists their sums:
#   cmake -DCONFIG=CPackConfig.cmake -DWORK=dir -DDIST=dir -DNAME=Name-Version -DCPACK=cpack
#         -DSOURCE=source-dir -P make_dist.cmake
# A stale package must not be taken for a new one: dist/ starts empty.
file(REMOVE_RECURSE ${DIST})
file(MAKE_DIRECTORY ${DIST})

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
