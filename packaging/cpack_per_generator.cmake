# Read by CPack once per package, before it is made.

# The installer's file name says what it is.
if(CPACK_GENERATOR STREQUAL "NSIS")
  set(CPACK_PACKAGE_FILE_NAME "${CPACK_PACKAGE_FILE_NAME}-setup")
endif()

# The release time, which every time stamp in the packages takes: SOURCE_DATE_EPOCH when
# it is set, otherwise the time of the last commit.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(CPACK_QV_SOURCE_DATE_EPOCH "$ENV{SOURCE_DATE_EPOCH}")
else()
  execute_process(COMMAND git -C "${CPACK_QV_SOURCE_DIR}" log -1 --format=%ct
    OUTPUT_VARIABLE CPACK_QV_SOURCE_DATE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE
    RESULT_VARIABLE failed ERROR_QUIET)
  if(failed)
    message(FATAL_ERROR "The packages take their time stamps from the last commit, and "
      "${CPACK_QV_SOURCE_DIR} is no git checkout: set SOURCE_DATE_EPOCH to the release time.")
  endif()
endif()
if(NOT CPACK_QV_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
  message(FATAL_ERROR "SOURCE_DATE_EPOCH must be seconds since 1970: \"${CPACK_QV_SOURCE_DATE_EPOCH}\"")
endif()

# The first package of a run takes away what the last run published, so a run that fails
# half-way leaves no checksums or manifests of older files behind.
if(CPACK_GENERATOR STREQUAL "ZIP")
  file(REMOVE_RECURSE "${CPACK_PACKAGE_DIRECTORY}/SHA256SUMS" "${CPACK_PACKAGE_DIRECTORY}/winget")
  if(CPACK_QV_SIGN_SCRIPT)
    # quorvane.exe is signed again in every run, so that a wrong password stops the run
    # before anything is packed, with its reason in the build's output.
    file(REMOVE "${CPACK_QV_SIGNED_EXE}")
  else()
    message(STATUS "Quorvane: the packages are not signed (configure with -DQUORVANE_SIGN_PFX=<file.pfx> to sign them)")
  endif()
endif()
