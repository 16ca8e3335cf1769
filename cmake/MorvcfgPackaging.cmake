# Installation and packages: the tools, their manual pages, the licence and changelog, and the
# CMake package (morvcfg::morvcfg and morvcfg_generate()). `cpack` in the build directory makes a
# .tar.gz and, when a maintainer is known, a .deb that Debian's lintian accepts; for Windows, a .zip.
include(CMakePackageConfigHelpers)
include(cmake/MorvcfgDebianChangelog.cmake)

set(CMAKE_INSTALL_DEFAULT_COMPONENT_NAME Runtime)
set(MORVCFG_PACKAGE_DIR lib/cmake/morvcfg)
set(docs "${PROJECT_BINARY_DIR}/docs")

# The Debian maintainer is whoever builds and ships the package, named the way Debian's own tools
# find the packager; the project writes no address of its own into it.
if(DEFINED ENV{DEBEMAIL} AND "$ENV{DEBEMAIL}" MATCHES "<")
  set(maintainer_default "$ENV{DEBEMAIL}")
elseif(DEFINED ENV{DEBEMAIL} AND DEFINED ENV{DEBFULLNAME})
  set(maintainer_default "$ENV{DEBFULLNAME} <$ENV{DEBEMAIL}>")
else()
  set(maintainer_default "")
endif()
set(MORVCFG_MAINTAINER "${maintainer_default}" CACHE STRING
    "Maintainer of the .deb, as 'Name <address>' (default: DEBFULLNAME and DEBEMAIL)")

install(TARGETS morvcfg morvcfg-check EXPORT morvcfgTargets RUNTIME DESTINATION bin)

# Manual pages carry the project's version; Debian wants them compressed, which man reads anywhere
# it runs, so they are installed compressed wherever gzip is at hand.
find_program(MORVCFG_GZIP gzip)
set(manual_pages "")
foreach(page morvcfg.1 morvcfg-check.1)
  configure_file(docs/${page}.in "${docs}/${page}" @ONLY)
  list(APPEND manual_pages "${docs}/${page}")
endforeach()
if(MORVCFG_GZIP AND NOT WIN32)
  set(compressed "")
  foreach(page IN LISTS manual_pages)
    # -n leaves the name and time out, so the same page always gives the same bytes.
    add_custom_command(OUTPUT "${page}.gz" COMMAND "${MORVCFG_GZIP}" -9 -n -k -f "${page}" DEPENDS "${page}"
                       VERBATIM)
    list(APPEND compressed "${page}.gz")
  endforeach()
  add_custom_target(morvcfg_docs ALL DEPENDS ${compressed})
  set(manual_pages ${compressed})
endif()
install(FILES ${manual_pages} DESTINATION share/man/man1)

# The licence and changelog as written, for every package but the .deb (EXCLUDE_FROM_ALL keeps
# each set out of the other's package, see below).
install(FILES LICENSE CHANGELOG.md DESTINATION ${MORVCFG_DOC_DIR} COMPONENT Docs)
# The page that explains each kind of warning, which the language server's diagnostics link to.
install(FILES docs/morvcfg-check-warnings.html DESTINATION ${MORVCFG_DOC_DIR})

# The same two in Debian's places and forms: a machine-readable copyright file holding the licence,
# and the changelog in Debian's format, compressed.
file(STRINGS LICENSE license_lines)
set(copyright "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n")
string(APPEND copyright "Upstream-Name: morvcfg\n\nFiles: *\nCopyright: 2026 the morvcfg authors\nLicense: Expat\n")
set(in_terms FALSE)
foreach(line IN LISTS license_lines)
  if(line MATCHES "^Permission is hereby granted")
    set(in_terms TRUE)
  endif()
  if(in_terms)
    if(line STREQUAL "")
      string(APPEND copyright " .\n")
    else()
      string(APPEND copyright " ${line}\n")
    endif()
  endif()
endforeach()
file(WRITE "${docs}/copyright.new" "${copyright}")
configure_file("${docs}/copyright.new" "${docs}/copyright" COPYONLY)

if(MORVCFG_MAINTAINER AND MORVCFG_GZIP AND NOT WIN32)
  morvcfg_debian_changelog("${PROJECT_SOURCE_DIR}/CHANGELOG.md" "${docs}/changelog.new" "${MORVCFG_MAINTAINER}"
                           "${PROJECT_VERSION}")
  configure_file("${docs}/changelog.new" "${docs}/changelog" COPYONLY)
  add_custom_command(OUTPUT "${docs}/changelog.gz" COMMAND "${MORVCFG_GZIP}" -9 -n -k -f "${docs}/changelog"
                     DEPENDS "${docs}/changelog" VERBATIM)
  add_custom_target(morvcfg_debian_docs ALL DEPENDS "${docs}/changelog.gz")
  install(FILES "${docs}/copyright" "${docs}/changelog.gz" DESTINATION ${MORVCFG_DOC_DIR} COMPONENT Debian
          EXCLUDE_FROM_ALL)
  set(MORVCFG_MAKE_DEB TRUE)
else()
  set(MORVCFG_MAKE_DEB FALSE)
endif()

install(EXPORT morvcfgTargets NAMESPACE morvcfg:: DESTINATION ${MORVCFG_PACKAGE_DIR})
configure_package_config_file(cmake/morvcfgConfig.cmake.in ${PROJECT_BINARY_DIR}/morvcfgConfig.cmake
                              INSTALL_DESTINATION ${MORVCFG_PACKAGE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/morvcfgConfigVersion.cmake COMPATIBILITY SameMajorVersion
                                 ARCH_INDEPENDENT)
install(FILES ${PROJECT_BINARY_DIR}/morvcfgConfig.cmake ${PROJECT_BINARY_DIR}/morvcfgConfigVersion.cmake
              cmake/MorvcfgGenerate.cmake cmake/MorvcfgRun.cmake cmake/MorvcfgCheck.cmake
        DESTINATION ${MORVCFG_PACKAGE_DIR})

if(WIN32)
  set(CPACK_GENERATOR ZIP)
else()
  set(CPACK_GENERATOR TGZ)
endif()
if(MORVCFG_MAKE_DEB)
  list(APPEND CPACK_GENERATOR DEB)
endif()
set(CPACK_PACKAGE_NAME morvcfg)
set(CPACK_PACKAGE_VENDOR "the morvcfg authors")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_DESCRIPTION
    "morvcfg reads the configuration text of an embedded target, in which network\n"
    "settings are written as MORV_ directive lines, and writes a pass-through copy\n"
    "without the directives, morv_cfg.c with the target's IPv4 address arrays and a\n"
    "build stamp, and morv_cfg.h with the sizes of its Ethernet receive memory\n"
    "pools. Its output is the same bytes on every host.\n"
    "\n"
    "morvcfg-check explains what the translator silently does with a description\n"
    "file, in the warning form compilers use. A CMake package provides\n"
    "morvcfg_generate() for firmware builds.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_RESOURCE_FILE_LICENSE "${PROJECT_SOURCE_DIR}/LICENSE")
set(CPACK_PACKAGE_CONTACT "${MORVCFG_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The C++ runtime is linked in, so the C library is the one dependency; its version comes from
# dpkg-shlibdeps where the build machine has it.
find_program(MORVCFG_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(MORVCFG_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6")
endif()
set(CPACK_STRIP_FILES ON)
# Each package takes the tools with its own form of the licence and changelog.
set(CPACK_PROJECT_CONFIG_FILE "${PROJECT_BINARY_DIR}/MorvcfgCPackOptions.cmake")
# Said when packages are made, not at every configure.
if(NOT MORVCFG_MAKE_DEB AND NOT WIN32)
  set(MORVCFG_NO_DEB_NOTICE "No .deb: set MORVCFG_MAINTAINER='Name <address>' (or DEBFULLNAME and DEBEMAIL) and configure again to make one")
endif()
file(CONFIGURE OUTPUT "${CPACK_PROJECT_CONFIG_FILE}" @ONLY CONTENT [[
if(NOT "@MORVCFG_NO_DEB_NOTICE@" STREQUAL "" AND CPACK_GENERATOR STREQUAL "TGZ")
  message(STATUS "@MORVCFG_NO_DEB_NOTICE@")
endif()
if(CPACK_GENERATOR STREQUAL "DEB")
  set(CPACK_INSTALL_CMAKE_PROJECTS "@PROJECT_BINARY_DIR@;morvcfg;Runtime;/;@PROJECT_BINARY_DIR@;morvcfg;Debian;/")
else()
  set(CPACK_INSTALL_CMAKE_PROJECTS "@PROJECT_BINARY_DIR@;morvcfg;Runtime;/;@PROJECT_BINARY_DIR@;morvcfg;Docs;/")
endif()
]])
include(CPack)
