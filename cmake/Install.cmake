# What `cmake --install` puts in place, and the Debian package `make package`
# builds from it with CPack.
include(GNUInstallDirs)

set(HORIZONMILL_RELEASE_DATE "2026-12-10" CACHE STRING "The release date of this version (CHANGELOG.md)")
set(HORIZONMILL_HOMEPAGE "https://horizonmill.org" CACHE STRING
    "Where the project and its documentation are published (the AppStream screenshots lie below it)")
set(HORIZONMILL_MAINTAINER "Horizonmill developers <developers@horizonmill.org>" CACHE STRING
    "Who answers for the package (its Maintainer field and changelog)")

install(TARGETS horizonmill-render RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(HORIZONMILL_GUI)
  install(TARGETS horizonmill RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES desktop/horizonmill.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  # The icon in every size desktops ask for, and drawn to any size. The PNGs
  # are drawn from desktop/horizonmill.svg and committed (desktop/icons), so
  # that building needs no SVG renderer; 128 x 128 is the original drawing.
  install(FILES desktop/horizonmill.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/128x128/apps)
  foreach(size 16 22 24 32 48 64 96 256 512)
    install(FILES desktop/icons/horizonmill-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME horizonmill.png)
  endforeach()
  install(FILES desktop/horizonmill.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  configure_file(desktop/org.horizonmill.Horizonmill.metainfo.xml.in
                 ${PROJECT_BINARY_DIR}/desktop/org.horizonmill.Horizonmill.metainfo.xml @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/desktop/org.horizonmill.Horizonmill.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()
# A stripped program (make package strips them) keeps no compiler
# identification (.comment) or .note section either, as Debian's own stripping
# leaves none; the .note.* sections the loader and debuggers read stay.
find_program(HORIZONMILL_OBJCOPY NAMES ${CMAKE_OBJCOPY} objcopy)
set(HORIZONMILL_PROGRAMS horizonmill-render)
if(HORIZONMILL_GUI)
  list(APPEND HORIZONMILL_PROGRAMS horizonmill)
endif()
foreach(program ${HORIZONMILL_PROGRAMS})
  install(CODE "
    set(program \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${program}\")
    if(CMAKE_INSTALL_DO_STRIP AND EXISTS \"\${program}\")
      execute_process(COMMAND \"${HORIZONMILL_OBJCOPY}\" --remove-section=.comment
                              --remove-section=.note \"\${program}\" COMMAND_ERROR_IS_FATAL ANY)
    endif()")
endforeach()

# The scene files' type, their thumbnails, and the renderer's completion.
install(FILES desktop/horizonmill.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
install(FILES desktop/horizonmill.thumbnailer DESTINATION ${CMAKE_INSTALL_DATADIR}/thumbnailers)
install(FILES desktop/horizonmill-render.bash
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
        RENAME horizonmill-render)
install(DIRECTORY examples/ DESTINATION ${CMAKE_INSTALL_DATADIR}/horizonmill/examples)

# The manual pages, with the version and date filled in, compressed as Debian
# keeps them (gzip -n: no name or time inside, so a rebuild is the same file).
find_program(GZIP_PROGRAM gzip REQUIRED)
set(HORIZONMILL_MANUAL_PAGES horizonmill.1 horizonmill-render.1 horizonmill-hm.5)
if(NOT HORIZONMILL_GUI)
  list(REMOVE_ITEM HORIZONMILL_MANUAL_PAGES horizonmill.1)
endif()
set(HORIZONMILL_COMPRESSED_DOCS)
foreach(page ${HORIZONMILL_MANUAL_PAGES})
  configure_file(man/${page}.in ${PROJECT_BINARY_DIR}/man/${page} @ONLY)
  string(REGEX REPLACE ".*\\.([0-9])$" "\\1" section ${page})
  add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/man/${page}.gz
                     COMMAND ${GZIP_PROGRAM} -9nkf ${PROJECT_BINARY_DIR}/man/${page}
                     DEPENDS ${PROJECT_BINARY_DIR}/man/${page} VERBATIM)
  list(APPEND HORIZONMILL_COMPRESSED_DOCS ${PROJECT_BINARY_DIR}/man/${page}.gz)
  install(FILES ${PROJECT_BINARY_DIR}/man/${page}.gz
          DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section})
endforeach()

# The documentation folder: the licence as Debian's copyright file, the
# changelog, the README.
# The package's changelog.gz is in Debian's format and points to the
# project's CHANGELOG.md, which lies beside it.
configure_file(packaging/copyright.in ${PROJECT_BINARY_DIR}/doc/copyright @ONLY)
execute_process(COMMAND date -u -R -d "${HORIZONMILL_RELEASE_DATE}"
                OUTPUT_VARIABLE HORIZONMILL_CHANGELOG_TIME OUTPUT_STRIP_TRAILING_WHITESPACE)
# The changelog names the version of the build (a later commit's too), so it is
# written at build time, whenever that version changes.
add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/doc/changelog
                   COMMAND ${CMAKE_COMMAND} -DTEMPLATE=${PROJECT_SOURCE_DIR}/packaging/changelog.in
                           -DVERSION_FILE=${HORIZONMILL_GENERATED}/version.txt
                           -DOUTPUT=${PROJECT_BINARY_DIR}/doc/changelog
                           "-DHORIZONMILL_MAINTAINER=${HORIZONMILL_MAINTAINER}"
                           "-DHORIZONMILL_CHANGELOG_TIME=${HORIZONMILL_CHANGELOG_TIME}"
                           -P ${PROJECT_SOURCE_DIR}/cmake/Version.cmake
                   DEPENDS ${HORIZONMILL_GENERATED}/version.txt packaging/changelog.in
                           cmake/Version.cmake VERBATIM)
foreach(doc changelog CHANGELOG.md)
  if(doc STREQUAL changelog)
    set(source ${PROJECT_BINARY_DIR}/doc/changelog)
  else()
    set(source ${PROJECT_SOURCE_DIR}/${doc})
  endif()
  add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/doc/${doc}.gz
                     COMMAND ${GZIP_PROGRAM} -9nc ${source} > ${PROJECT_BINARY_DIR}/doc/${doc}.gz
                     DEPENDS ${source} VERBATIM)
  list(APPEND HORIZONMILL_COMPRESSED_DOCS ${PROJECT_BINARY_DIR}/doc/${doc}.gz)
endforeach()
add_custom_target(horizonmill_docs ALL DEPENDS ${HORIZONMILL_COMPRESSED_DOCS})
install(FILES ${PROJECT_BINARY_DIR}/doc/copyright ${PROJECT_BINARY_DIR}/doc/changelog.gz
              ${PROJECT_BINARY_DIR}/doc/CHANGELOG.md.gz README.md
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/horizonmill)

# make package: build/horizonmill_VERSION_ARCH.deb.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME horizonmill)
set(CPACK_PACKAGE_VENDOR "the Horizonmill developers")
set(CPACK_PACKAGE_CONTACT ${HORIZONMILL_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "full-turn panorama backgrounds for 3D animation")
set(CPACK_PACKAGE_HOMEPAGE_URL ${HORIZONMILL_HOMEPAGE})
# The build's version, read again when the package is made (the commit may
# have changed since CMake configured the build).
set(CPACK_PACKAGE_VERSION ${HORIZONMILL_VERSION})
set(HORIZONMILL_VERSION_FILE ${HORIZONMILL_GENERATED}/version.txt)
configure_file(packaging/CPackVersion.cmake.in ${PROJECT_BINARY_DIR}/CPackVersion.cmake @ONLY)
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_BINARY_DIR}/CPackVersion.cmake)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries' packages from the programs themselves (dpkg-shlibdeps).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
# Qt's Japanese texts for its own dialogs and buttons; a Japanese font.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, fonts-noto-cjk")
# The long description below the summary; CPack indents it and marks the
# empty line between the paragraphs.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Horizonmill paints full-turn panorama backgrounds (2:1, 3072 x 1536 by
default) from a stack of layers: a sky gradation, a sun glow that also lights
the objects, a seeded star field, aerial perspective, tiled clouds above the
horizon, a tiled ground below it that can mirror the sky, and far, middle and
near groups of picture objects.

The desktop program horizonmill previews every change as it is made; the
command-line renderer horizonmill-render renders scene files without a
window. Pictures are written as PNG, JPEG or BMP marked as 360-degree
panoramas, as OpenEXR or Radiance HDR that light a 3D scene, or as cube maps
in the layouts game engines import.")
include(CPack)
