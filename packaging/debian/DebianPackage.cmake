# zarelcom_debian_package(COMPONENT NAME SECTION SUMMARY DESCRIPTION
#                         [DEPENDS ...] [SUGGESTS ...] [ARCHITECTURE all])
# Declares the Debian package NAME made of the install component COMPONENT: its control fields,
# and the files every Debian package carries in /usr/share/doc/NAME (copyright, changelog.gz, the
# project's README.md.gz and CHANGELOG.md.gz) and, when debian/NAME.lintian-overrides exists, its
# lintian overrides. DESCRIPTION is the long
# description as lines of at most 79 characters (a lone "." is an empty line). Libraries the
# package's programs link are added to DEPENDS by dpkg-shlibdeps. Call before include(CPack).
include_guard()

# Debian's copyright file, in its machine-readable form, from the project's licence.
file(READ ${PROJECT_SOURCE_DIR}/LICENSE licence)
string(REGEX MATCH "\nCopyright \\(c\\) ([^\n]+)\n+(.*[^\n])" licence "${licence}")
set(ZARELCOM_COPYRIGHT "${CMAKE_MATCH_1}")
string(REPLACE "\n\n" "\n.\n" licence "${CMAKE_MATCH_2}")
string(REPLACE "\n" "\n " ZARELCOM_LICENCE_TEXT " ${licence}")
configure_file(${CMAKE_CURRENT_LIST_DIR}/copyright.in ${CMAKE_CURRENT_BINARY_DIR}/debian/copyright @ONLY)

# A native package's changelog: the release and where its changes are told. The date honours
# SOURCE_DATE_EPOCH, so that a rebuild of the same sources makes the same package.
string(TIMESTAMP ZARELCOM_RELEASE_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
configure_file(${CMAKE_CURRENT_LIST_DIR}/changelog.in ${CMAKE_CURRENT_BINARY_DIR}/debian/changelog @ONLY)
execute_process(COMMAND gzip -9nf ${CMAKE_CURRENT_BINARY_DIR}/debian/changelog COMMAND_ERROR_IS_FATAL ANY)

# The project's README and CHANGELOG, which every package carries beside them.
foreach(document README.md CHANGELOG.md)
  configure_file(${PROJECT_SOURCE_DIR}/${document} ${CMAKE_CURRENT_BINARY_DIR}/debian/${document} COPYONLY)
  execute_process(COMMAND gzip -9nf ${CMAKE_CURRENT_BINARY_DIR}/debian/${document} COMMAND_ERROR_IS_FATAL ANY)
endforeach()

function(zarelcom_debian_package)
  cmake_parse_arguments(PARSE_ARGV 0 arg "" "COMPONENT;NAME;SECTION;SUMMARY;ARCHITECTURE"
                        "DESCRIPTION;DEPENDS;SUGGESTS")
  string(TOUPPER ${arg_COMPONENT} component)
  set(prefix CPACK_DEBIAN_${component})
  list(JOIN arg_DESCRIPTION "\n" description)
  list(JOIN arg_DEPENDS ", " depends)
  list(JOIN arg_SUGGESTS ", " suggests)
  set(${prefix}_PACKAGE_NAME ${arg_NAME} PARENT_SCOPE)
  set(${prefix}_PACKAGE_SECTION ${arg_SECTION} PARENT_SCOPE)
  set(${prefix}_DESCRIPTION "${arg_SUMMARY}\n${description}" PARENT_SCOPE)
  set(${prefix}_PACKAGE_DEPENDS "${depends}" PARENT_SCOPE)
  set(${prefix}_PACKAGE_SUGGESTS "${suggests}" PARENT_SCOPE)
  if(arg_ARCHITECTURE)
    set(${prefix}_PACKAGE_ARCHITECTURE ${arg_ARCHITECTURE} PARENT_SCOPE)
  endif()

  # Only in the package: an install into a prefix does not need them.
  set(doc ${CMAKE_INSTALL_DATADIR}/doc/${arg_NAME})
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/debian/copyright ${CMAKE_CURRENT_BINARY_DIR}/debian/changelog.gz
    ${CMAKE_CURRENT_BINARY_DIR}/debian/README.md.gz ${CMAKE_CURRENT_BINARY_DIR}/debian/CHANGELOG.md.gz
    DESTINATION ${doc} COMPONENT ${arg_COMPONENT} EXCLUDE_FROM_ALL)
  set(overrides ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/${arg_NAME}.lintian-overrides)
  if(EXISTS ${overrides})
    install(FILES ${overrides} DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME ${arg_NAME}
      COMPONENT ${arg_COMPONENT} EXCLUDE_FROM_ALL)
  endif()
  set(CPACK_COMPONENTS_ALL ${CPACK_COMPONENTS_ALL} ${arg_COMPONENT} PARENT_SCOPE)
endfunction()
