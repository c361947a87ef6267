# CPack's pre-build script: the files put together for a package take the release time,
# which the installer stores for each file it installs.
execute_process(COMMAND find "${CPACK_TEMPORARY_DIRECTORY}" -exec
  touch -h -d "@${CPACK_QV_SOURCE_DATE_EPOCH}" {} +
  RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "Could not date the files in ${CPACK_TEMPORARY_DIRECTORY}")
endif()
