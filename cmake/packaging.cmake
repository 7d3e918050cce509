# What `cmake --install` puts where, and the packages `cpack` makes of it: a
# .deb (Debian layout, man pages, copyright and changelog) and, for the
# Windows build, a .zip with everything in one folder. The version comes from
# the project() line, as everywhere else.
include(GNUInstallDirs)

set(VIGIL_PACKAGE_MAINTAINER "The Vigil developers <vigil@example.org>"
    CACHE STRING "The Maintainer of the Debian package")

if(WIN32)
  set(vigil_bin_dir .)
  set(vigil_doc_dir .)
  install(FILES LICENSE DESTINATION .)
  install(FILES docs/language.md DESTINATION docs)
else()
  set(vigil_bin_dir ${CMAKE_INSTALL_BINDIR})
  set(vigil_doc_dir ${CMAKE_INSTALL_DATAROOTDIR}/doc/vigil)
  install(FILES docs/language.md DESTINATION ${vigil_doc_dir})
endif()
install(TARGETS vigilc vigil RUNTIME DESTINATION ${vigil_bin_dir})
install(FILES README.md DESTINATION ${vigil_doc_dir})
file(GLOB vigil_examples CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/examples/*.txt)
install(FILES ${vigil_examples} DESTINATION ${vigil_doc_dir}/examples)

# Debian wants the man pages, the changelog and nothing else in its doc folder
# compressed, and the license as debian/copyright.
if(NOT WIN32)
  find_program(VIGIL_GZIP gzip REQUIRED)
  set(generated ${PROJECT_BINARY_DIR}/packaging)
  foreach(page vigilc.1 vigil.1)
    set(VIGIL_VERSION ${PROJECT_VERSION})
    configure_file(docs/man/${page} ${generated}/${page} @ONLY)
    add_custom_command(OUTPUT ${generated}/${page}.gz
                       COMMAND ${VIGIL_GZIP} -9nf -k ${generated}/${page}
                       DEPENDS ${generated}/${page})
    list(APPEND vigil_compressed ${generated}/${page}.gz)
    install(FILES ${generated}/${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  endforeach()
  configure_file(packaging/changelog ${generated}/changelog COPYONLY)
  add_custom_command(OUTPUT ${generated}/changelog.gz
                     COMMAND ${VIGIL_GZIP} -9nf -k ${generated}/changelog
                     DEPENDS ${generated}/changelog)
  add_custom_target(vigil_package_docs ALL DEPENDS ${vigil_compressed} ${generated}/changelog.gz)
  install(FILES ${generated}/changelog.gz DESTINATION ${vigil_doc_dir})

  file(READ LICENSE vigil_license)
  string(REGEX REPLACE "\n\n" "\n.\n" vigil_license "${vigil_license}")
  string(REGEX REPLACE "\n([^\n])" "\n \\1" vigil_license "${vigil_license}")
  file(WRITE ${generated}/copyright
       "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
       "Upstream-Name: vigil\n\n"
       "Files: *\nCopyright: 2026 The Vigil developers\nLicense: Expat\n ${vigil_license}")
  install(FILES ${generated}/copyright DESTINATION ${vigil_doc_dir})
endif()

set(CPACK_PACKAGE_NAME vigil)
set(CPACK_PACKAGE_VENDOR "The Vigil developers")
set(CPACK_PACKAGE_CONTACT "${VIGIL_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "compiler for the event scripts of an alarm and access-control controller")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
       "vigilc turns an event script into the controller's download file and\n"
       "writes a listing, an error file and a settings table beside it. vigil\n"
       "checks scripts with readable diagnostics, explains error numbers and\n"
       "prints download files readably.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Debian's rules forbid static programs: the .deb links the C++ runtime as a
# shared library and depends on the packages that hold it.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(WIN32)
  set(CPACK_SYSTEM_NAME win64)
endif()
include(CPack)
