# Writes the winget manifests of this release (multi-file form, schema 1.10.0) from the
# templates beside this file; included by CPack's post-build script.

# The release notes and date of one version in a "Keep a Changelog" file: the text below
# "## [<version>] - <date>" up to the next version.
function(qv_changelog_section changelog version notes_var date_var)
  file(READ "${changelog}" text)
  string(REPLACE "\r" "" text "${text}")
  string(REPLACE "[${version}]" "<version>" text "${text}")
  if(NOT text MATCHES "\n## <version> - ([0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9])\n(.*)$")
    message(FATAL_ERROR "${changelog} has no section \"## [${version}] - <date>\"")
  endif()
  set(date "${CMAKE_MATCH_1}")
  set(notes "${CMAKE_MATCH_2}")
  string(FIND "${notes}" "\n## " end)
  if(NOT end EQUAL -1)
    string(SUBSTRING "${notes}" 0 ${end} notes)
  endif()
  # Link definitions ("[3.1.0]: https://...") close the file; they are not notes.
  string(REGEX REPLACE "\n\\[[^]\n]+\\]: [^\n]*" "" notes "${notes}")
  string(STRIP "${notes}" notes)
  set(${notes_var} "${notes}" PARENT_SCOPE)
  set(${date_var} "${date}" PARENT_SCOPE)
endfunction()

function(qv_write_winget_manifests folder setup_sha256)
  set(QV_PACKAGE_IDENTIFIER Quorvane.Quorvane)
  set(QV_SETUP_NAME "${CPACK_PACKAGE_NAME}-${CPACK_PACKAGE_VERSION}-win64-setup.exe")
  string(TOUPPER "${setup_sha256}" QV_SETUP_SHA256)
  qv_changelog_section("${CPACK_QV_SOURCE_DIR}/CHANGELOG.md" "${CPACK_PACKAGE_VERSION}"
    notes QV_RELEASE_DATE)
  # A literal block: every line indented by two blanks, empty lines left empty.
  string(REPLACE "\n" "\n  " notes "  ${notes}")
  string(REGEX REPLACE "\n  \n" "\n\n" notes "${notes}")
  string(REGEX REPLACE "\n  \n" "\n\n" QV_RELEASE_NOTES "${notes}")
  file(REMOVE_RECURSE "${folder}")
  foreach(manifest IN ITEMS Quorvane.Quorvane Quorvane.Quorvane.installer
                            Quorvane.Quorvane.locale.en-US)
    file(READ "${CPACK_QV_WINGET_DIR}/${manifest}.yaml.in" text)
    string(CONFIGURE "${text}" text @ONLY)
    file(WRITE "${folder}/${manifest}.yaml" "${text}")
  endforeach()
endfunction()
