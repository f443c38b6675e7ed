# Read by cpack once for each package it makes (CPACK_PROJECT_CONFIG_FILE):
# which install components go into which package (packaging/install.cmake
# lists them), each package a single archive.
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
if(CPACK_GENERATOR STREQUAL "DEB")
  set(CPACK_DEB_COMPONENT_INSTALL ON)
  set(CPACK_COMPONENTS_ALL program manual debian)
  if(NOT CPACK_PIGRECO_CHANGELOG_VERSION STREQUAL CPACK_PACKAGE_VERSION)
    message(FATAL_ERROR "packaging/debian/changelog's newest entry is version "
                        "${CPACK_PIGRECO_CHANGELOG_VERSION}, project() says ${CPACK_PACKAGE_VERSION}: "
                        "add an entry for this version")
  endif()
elseif(CPACK_GENERATOR STREQUAL "TGZ")
  set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
  set(CPACK_COMPONENT_INCLUDE_TOPLEVEL_DIRECTORY ON)
  set(CPACK_COMPONENTS_ALL program manual bundle)
elseif(CPACK_GENERATOR STREQUAL "ZIP")
  set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
  set(CPACK_COMPONENT_INCLUDE_TOPLEVEL_DIRECTORY ON)
  set(CPACK_COMPONENTS_ALL bundle)
endif()
