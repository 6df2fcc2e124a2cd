# Packages: `cpack -G DEB` in a build folder (or the `package` workflow preset) makes the Debian
# package illanimation_<version>_<arch>.deb with the installed tree under /usr;
# `cpack --config CPackSourceConfig.cmake` makes the source archive illanimation-<version>.tar.gz.

# What Debian asks of every package beyond the installed tree: the copyright, the changelog in
# Debian's form, and the lintian findings accepted on purpose with their reasons. Only the
# package installs them; `cmake --install` leaves them out.
set(ILL_DEBIAN_CHANGELOG ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz)
ill_add_gzipped_file(debian_changelog ${PROJECT_SOURCE_DIR}/cmake/debian/changelog
  ${ILL_DEBIAN_CHANGELOG})
install(FILES cmake/debian/copyright ${ILL_DEBIAN_CHANGELOG}
  DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT debian EXCLUDE_FROM_ALL)
install(FILES cmake/debian/lintian-overrides RENAME illanimation
  DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides COMPONENT debian EXCLUDE_FROM_ALL)

# Both changelogs have an entry for the version that this tree builds: a version raised in the
# top CMakeLists without saying what changed stops the configuration here.
file(STRINGS cmake/debian/changelog ill_debian_latest LIMIT_COUNT 1)
if(NOT ill_debian_latest MATCHES "^illanimation \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "cmake/debian/changelog: the latest entry is not version ${PROJECT_VERSION}")
endif()
file(STRINGS CHANGELOG.md ill_changelog_entry REGEX "^## \\[${PROJECT_VERSION}\\]")
if(NOT ill_changelog_entry)
  message(FATAL_ERROR "CHANGELOG.md: no entry \"## [${PROJECT_VERSION}]\"")
endif()

set(CPACK_PACKAGE_NAME illanimation)
set(CPACK_PACKAGE_VENDOR "illanimation developers")
set(CPACK_PACKAGE_CONTACT "illanimation developers <illanimation@example.com>"
  CACHE STRING "Maintainer named in the Debian package")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
# Debian shows the description as written: lines stay within 79 columns.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "illanimation supplies the item track that the host application uses for"
  "illustrations. It decides whether a track's name follows its target (a part,"
  "an SBOM instance, a face, a centre line, a callout label) or is the track's"
  "own, and keeps that decision through renames, copies, cuts, saves and loads."
  ""
  "This package holds the loadable module, its public header, the illhost"
  "command that runs the module against a stand-in of the host's libraries, the"
  "documentation and examples.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
# One package: the whole install, plus the Debian files that only the package installs.
set(CPACK_INSTALL_CMAKE_PROJECTS
  "${CMAKE_BINARY_DIR};${PROJECT_NAME};ALL;/"
  "${CMAKE_BINARY_DIR};${PROJECT_NAME};debian;/")
set(CPACK_STRIP_FILES ON)
set(CPACK_ILL_OBJCOPY ${CMAKE_OBJCOPY})
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/debian/remove_comment_sections.cmake)
set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/debian/drop_ldconfig_scripts.cmake)
set(CPACK_GENERATOR DEB)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The module and illhost link to the stand-in host, which the package itself ships; the
# folder is relative to the staged tree, where the dependencies are computed.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS usr/${ILL_INSTALL_STANDINDIR})

set(CPACK_SOURCE_GENERATOR TGZ)
set(CPACK_SOURCE_PACKAGE_FILE_NAME ${PROJECT_NAME}-${PROJECT_VERSION})
# Regular expressions, escaped twice: CPack writes them into its own configuration file.
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git$" "/\\\\.git/" "/build/" "/out/" "\\\\.swp$"
  "/__pycache__/")

include(CPack)
