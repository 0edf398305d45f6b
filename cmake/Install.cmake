# What `cmake --install` puts in place, and the two Debian packages `make
# package` builds from it with CPack: horizonmill-render (component `render`:
# the command-line renderer and everything it needs, no Qt) and horizonmill
# (component `window`: the desktop program, depending on the renderer's package
# of the same version). Every install() names its component.
include(GNUInstallDirs)

set(HORIZONMILL_RELEASE_DATE "2026-12-10" CACHE STRING "The release date of this version (CHANGELOG.md)")
set(HORIZONMILL_HOMEPAGE "https://horizonmill.org" CACHE STRING
    "Where the project and its documentation are published (the AppStream screenshots lie below it)")
set(HORIZONMILL_MAINTAINER "Horizonmill developers <developers@horizonmill.org>" CACHE STRING
    "Who answers for the package (its Maintainer field and changelog)")

install(TARGETS horizonmill-render RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT render)
if(HORIZONMILL_GUI)
  install(TARGETS horizonmill RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT window)
  install(FILES desktop/horizonmill.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications
          COMPONENT window)
  # The icon in every size desktops ask for, and drawn to any size. The PNGs
  # are drawn from desktop/horizonmill.svg and committed (desktop/icons), so
  # that building needs no SVG renderer; 128 x 128 is the original drawing.
  install(FILES desktop/horizonmill.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/128x128/apps COMPONENT window)
  foreach(size 16 22 24 32 48 64 96 256 512)
    install(FILES desktop/icons/horizonmill-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME horizonmill.png COMPONENT window)
  endforeach()
  install(FILES desktop/horizonmill.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps COMPONENT window)
  configure_file(desktop/org.horizonmill.Horizonmill.metainfo.xml.in
                 ${PROJECT_BINARY_DIR}/desktop/org.horizonmill.Horizonmill.metainfo.xml @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/desktop/org.horizonmill.Horizonmill.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT window)
endif()
# A stripped program (make package strips them) keeps no compiler
# identification (.comment) or .note section either, as Debian's own stripping
# leaves none; the .note.* sections the loader and debuggers read stay.
find_program(HORIZONMILL_OBJCOPY NAMES ${CMAKE_OBJCOPY} objcopy)
set(HORIZONMILL_PROGRAMS horizonmill-render:render)
if(HORIZONMILL_GUI)
  list(APPEND HORIZONMILL_PROGRAMS horizonmill:window)
endif()
foreach(entry ${HORIZONMILL_PROGRAMS})
  string(REPLACE ":" ";" entry ${entry})
  list(GET entry 0 program)
  list(GET entry 1 component)
  install(CODE "
    set(program \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${program}\")
    if(CMAKE_INSTALL_DO_STRIP AND EXISTS \"\${program}\")
      execute_process(COMMAND \"${HORIZONMILL_OBJCOPY}\" --remove-section=.comment
                              --remove-section=.note \"\${program}\" COMMAND_ERROR_IS_FATAL ANY)
    endif()" COMPONENT ${component})
endforeach()

# The scene files' type, their thumbnails, and the renderer's completion: the
# renderer's, as it makes the thumbnails without a window.
install(FILES desktop/horizonmill.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
        COMPONENT render)
install(FILES desktop/horizonmill.thumbnailer DESTINATION ${CMAKE_INSTALL_DATADIR}/thumbnailers
        COMPONENT render)
install(FILES desktop/horizonmill-render.bash
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
        RENAME horizonmill-render COMPONENT render)
install(DIRECTORY examples/ DESTINATION ${CMAKE_INSTALL_DATADIR}/horizonmill/examples
        COMPONENT render)

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
  if(page STREQUAL horizonmill.1)
    set(component window)
  else()
    set(component render)
  endif()
  install(FILES ${PROJECT_BINARY_DIR}/man/${page}.gz
          DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section} COMPONENT ${component})
endforeach()

# Each package's documentation folder, /usr/share/doc/PACKAGE: the licence as
# Debian's copyright file and the changelog in both, as Debian wants them in
# every package; beside them the pages of the user's manual about what the
# package holds (the README and the renderer's, scene files' and outputs'
# pages in the renderer's, the window's in the desktop program's), compressed
# as Debian keeps documents.
# The changelog.gz is in Debian's format, under the name of the source both
# packages are built from, and points to the project's CHANGELOG.md, which lies
# beside it.
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
set(HORIZONMILL_RENDER_DOCS changelog CHANGELOG.md README.md docs/command-line.md
    docs/scene-format.md docs/outputs.md)
set(HORIZONMILL_WINDOW_DOCS changelog CHANGELOG.md docs/manual.md docs/window.md)
foreach(doc IN LISTS HORIZONMILL_RENDER_DOCS HORIZONMILL_WINDOW_DOCS)
  get_filename_component(name ${doc} NAME)
  set(compressed ${PROJECT_BINARY_DIR}/doc/${name}.gz)
  if(compressed IN_LIST HORIZONMILL_COMPRESSED_DOCS)
    continue()
  endif()
  if(doc STREQUAL changelog)
    set(source ${PROJECT_BINARY_DIR}/doc/changelog)
  else()
    set(source ${PROJECT_SOURCE_DIR}/${doc})
  endif()
  add_custom_command(OUTPUT ${compressed} COMMAND ${GZIP_PROGRAM} -9nc ${source} > ${compressed}
                     DEPENDS ${source} VERBATIM)
  list(APPEND HORIZONMILL_COMPRESSED_DOCS ${compressed})
endforeach()
add_custom_target(horizonmill_docs ALL DEPENDS ${HORIZONMILL_COMPRESSED_DOCS})
set(HORIZONMILL_PACKAGES horizonmill-render:render:HORIZONMILL_RENDER_DOCS)
if(HORIZONMILL_GUI)
  list(APPEND HORIZONMILL_PACKAGES horizonmill:window:HORIZONMILL_WINDOW_DOCS)
endif()
foreach(entry ${HORIZONMILL_PACKAGES})
  string(REPLACE ":" ";" entry ${entry})
  list(GET entry 0 package)
  list(GET entry 1 component)
  list(GET entry 2 docs)
  set(files ${PROJECT_BINARY_DIR}/doc/copyright)
  foreach(doc IN LISTS ${docs})
    get_filename_component(name ${doc} NAME)
    list(APPEND files ${PROJECT_BINARY_DIR}/doc/${name}.gz)
  endforeach()
  install(FILES ${files} DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${package} COMPONENT ${component})
  # What lintian takes for a fault and is none, each said why in the file.
  install(FILES packaging/lintian/${package}
          DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides COMPONENT ${component})
endforeach()

# make package: horizonmill-render_VERSION_ARCH.deb and horizonmill_VERSION_ARCH.deb.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME horizonmill)
set(CPACK_PACKAGE_VENDOR "the Horizonmill developers")
set(CPACK_PACKAGE_CONTACT ${HORIZONMILL_MAINTAINER})
set(CPACK_PACKAGE_HOMEPAGE_URL ${HORIZONMILL_HOMEPAGE})
# The build's version, read again when the packages are made (the commit may
# have changed since CMake configured the build).
set(CPACK_PACKAGE_VERSION ${HORIZONMILL_VERSION})
set(HORIZONMILL_VERSION_FILE ${HORIZONMILL_GENERATED}/version.txt)
configure_file(packaging/CPackVersion.cmake.in ${PROJECT_BINARY_DIR}/CPackVersion.cmake @ONLY)
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_BINARY_DIR}/CPackVersion.cmake)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# One package per component; the desktop program's depends on the renderer's of
# the very same version.
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL render)
set(CPACK_DEBIAN_RENDER_PACKAGE_NAME horizonmill-render)
if(HORIZONMILL_GUI)
  list(APPEND CPACK_COMPONENTS_ALL window)
  set(CPACK_DEBIAN_WINDOW_PACKAGE_NAME horizonmill)
  set(CPACK_COMPONENT_WINDOW_DEPENDS render)
  set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
endif()
# Both are built from the one source named in their changelog.
set(CPACK_DEBIAN_RENDER_PACKAGE_SOURCE horizonmill)
# Up to release 1.1.0 one package, horizonmill, held the renderer and its files
# too: the renderer's package takes them over from it, so that upgrading from
# there replaces the files instead of refusing them.
set(CPACK_DEBIAN_RENDER_PACKAGE_BREAKS "horizonmill (<< 1.1.0+git)")
set(CPACK_DEBIAN_RENDER_PACKAGE_REPLACES "horizonmill (<< 1.1.0+git)")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries' packages from each package's own programs (dpkg-shlibdeps):
# Qt only for the desktop program.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
# Qt's Japanese texts for its own dialogs and buttons; a Japanese font.
set(CPACK_DEBIAN_WINDOW_PACKAGE_RECOMMENDS "qt6-translations-l10n, fonts-noto-cjk")
# Each description's first line is its package's summary (no common summary is
# set, so CPack puts none before it); CPack indents the rest and marks the
# empty lines between the paragraphs.
set(HORIZONMILL_DESCRIPTION
    "Horizonmill paints full-turn panorama backgrounds (2:1, 3072 x 1536 by
default) from a stack of layers: a sky gradation, a sun glow that also lights
the objects, a seeded star field, aerial perspective, tiled clouds above the
horizon, a tiled ground below it that can mirror the sky, and far, middle and
near groups of picture objects.")
set(CPACK_DEBIAN_RENDER_DESCRIPTION
    "full-turn panorama backgrounds for 3D animation - command-line renderer
${HORIZONMILL_DESCRIPTION}

This package holds the command-line renderer horizonmill-render, which renders
scene files without a window and needs no graphical environment, with the
example scenes, the scene files' MIME type and the thumbnailer that shows them
in file managers. Pictures are written as PNG, JPEG or BMP marked as
360-degree panoramas, as OpenEXR or Radiance HDR that light a 3D scene, or as
cube maps in the layouts game engines import.")
set(CPACK_DEBIAN_WINDOW_DESCRIPTION
    "full-turn panorama backgrounds for 3D animation - desktop program
${HORIZONMILL_DESCRIPTION}

This package holds the desktop program horizonmill, whose preview follows
every change as it is made, with its menu entry and icon; its interface is
Japanese and English. The command-line renderer is in horizonmill-render.")
include(CPack)
