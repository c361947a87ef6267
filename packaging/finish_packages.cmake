# CPack's post-build script, run on each package before CPack copies it out. The zip is
# written again in a fixed form; after the installer, the last package, come SHA256SUMS
# and the winget manifests, made from the final files.

if(CPACK_GENERATOR STREQUAL "ZIP")
  # CPack's own zip holds each file's owner, access and change times: made again from the
  # same folder, in name order, with the release time and fixed permissions only.
  foreach(zip IN LISTS CPACK_PACKAGE_FILES)
    execute_process(COMMAND "${CPACK_QV_PYTHON3}" "${CPACK_QV_REPRODUCIBLE_PY}" zip
      "${CPACK_TEMPORARY_DIRECTORY}" "${CPACK_QV_SOURCE_DATE_EPOCH}" "${zip}"
      RESULT_VARIABLE failed)
    if(failed)
      message(FATAL_ERROR "Could not write ${zip}")
    endif()
  endforeach()
  return()
endif()
if(NOT CPACK_GENERATOR STREQUAL "NSIS")
  return()
endif()

set(out "${CPACK_PACKAGE_DIRECTORY}")
set(name "Quorvane-${CPACK_PACKAGE_VERSION}-win64")
set(zip "${out}/${name}.zip")
set(setup "${out}/${name}-setup.exe")
# The installer is copied out now, so that the checksums are taken from the final files.
foreach(file IN LISTS CPACK_PACKAGE_FILES)
  file(COPY_FILE "${file}" "${out}/${name}-setup.exe")
endforeach()
if(NOT EXISTS "${zip}")
  message(FATAL_ERROR "${zip} is missing: SHA256SUMS lists both packages")
endif()

# sha256sum's format: the hash, two blanks, the file name; LF line ends.
set(sums "")
foreach(file IN ITEMS "${zip}" "${setup}")
  file(SHA256 "${file}" hash)
  get_filename_component(file_name "${file}" NAME)
  string(APPEND sums "${hash}  ${file_name}\n")
  if(file STREQUAL setup)
    set(setup_hash "${hash}")
  endif()
endforeach()
file(WRITE "${out}/SHA256SUMS" "${sums}")
message(STATUS "Quorvane: ${out}/SHA256SUMS written")

include("${CPACK_QV_WINGET_DIR}/winget_manifests.cmake")
qv_write_winget_manifests("${out}/winget" "${setup_hash}")
message(STATUS "Quorvane: winget manifests written to ${out}/winget")
