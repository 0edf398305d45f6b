# The version a build says: the project's own (project(... VERSION) in
# CMakeLists.txt) for a release and for a source tree without git, and for a
# build of a commit after the release that version followed by
# "+git.N.gSHA": N the commits since the release, SHA the commit built. Debian
# orders "1.1.0+git.3.gabc1234" after "1.1.0" and before "1.1.1", and the
# commit names the sources a report is about.
#
# The release is the tag vVERSION when there is one; without it, the commit
# that last changed the version in project(), which is where a release sets
# it. A clone too shallow to hold that commit says "+git.gSHA".
#
# Run as a script at every build (the horizonmill_version_stamp target):
#   cmake -DSOURCE_DIR=... -DPROJECT_VERSION=... -DOUTPUT_DIR=... -P Version.cmake
# it writes OUTPUT_DIR/Version.cpp (kVersion) and OUTPUT_DIR/version.txt, each
# only when its text changes, so a build of the same commit compiles nothing
# again and a new commit recompiles Version.cpp alone. With
#   -DTEMPLATE=... -DVERSION_FILE=.../version.txt -DOUTPUT=...
# it fills in a template with that version instead (the package's changelog).

function(horizonmill_git_version source_dir project_version out)
  set(version ${project_version})
  find_package(Git QUIET)
  if(GIT_FOUND)
    execute_process(COMMAND ${GIT_EXECUTABLE} -C ${source_dir} rev-parse --show-toplevel
                    OUTPUT_VARIABLE top RESULT_VARIABLE failed
                    OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    # Only the project's own repository counts: sources unpacked inside some
    # other repository are a tarball's.
    if(NOT failed)
      file(REAL_PATH ${top} top)
      file(REAL_PATH ${source_dir} source)
    endif()
    if(NOT failed AND top STREQUAL source)
      execute_process(COMMAND ${GIT_EXECUTABLE} -C ${source_dir} rev-parse --short=7 HEAD
                      OUTPUT_VARIABLE sha RESULT_VARIABLE failed
                      OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
      execute_process(COMMAND ${GIT_EXECUTABLE} -C ${source_dir} rev-parse -q --verify
                              "refs/tags/v${project_version}^{commit}"
                      OUTPUT_VARIABLE release OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
      if(release STREQUAL "")
        execute_process(COMMAND ${GIT_EXECUTABLE} -C ${source_dir} log -1 --format=%H
                                "-G^project\\(.*VERSION" -- CMakeLists.txt
                        OUTPUT_VARIABLE release OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
      endif()
      set(count "")
      if(NOT release STREQUAL "")
        execute_process(COMMAND ${GIT_EXECUTABLE} -C ${source_dir} rev-list --count
                                ${release}..HEAD
                        OUTPUT_VARIABLE count OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
      endif()
      if(failed)
        # No commit yet: the project's version.
      elseif(count STREQUAL "")
        set(version "${project_version}+git.g${sha}")
      elseif(NOT count STREQUAL "0")
        set(version "${project_version}+git.${count}.g${sha}")
      endif()
    endif()
  endif()
  set(${out} ${version} PARENT_SCOPE)
endfunction()

# Writes `text` into `file` unless the file holds it already.
function(horizonmill_write_if_changed file text)
  if(EXISTS ${file})
    file(READ ${file} old)
    if(old STREQUAL text)
      return()
    endif()
  endif()
  file(WRITE ${file} "${text}")
endfunction()

if(CMAKE_SCRIPT_MODE_FILE AND DEFINED TEMPLATE)
  # The other use: TEMPLATE configured into OUTPUT with @HORIZONMILL_VERSION@
  # the version VERSION_FILE holds (the package's changelog).
  file(STRINGS ${VERSION_FILE} HORIZONMILL_VERSION LIMIT_COUNT 1)
  file(READ ${TEMPLATE} template)
  string(CONFIGURE "${template}" text @ONLY)
  horizonmill_write_if_changed(${OUTPUT} "${text}")
elseif(CMAKE_SCRIPT_MODE_FILE)
  horizonmill_git_version(${SOURCE_DIR} ${PROJECT_VERSION} HORIZONMILL_VERSION)
  horizonmill_write_if_changed(${OUTPUT_DIR}/Version.cpp
"// Written by cmake/Version.cmake at build time.
#include \"Version.h\"

namespace horizonmill {

const char* const kVersion = \"${HORIZONMILL_VERSION}\";

}  // namespace horizonmill
")
  horizonmill_write_if_changed(${OUTPUT_DIR}/version.txt "${HORIZONMILL_VERSION}\n")
endif()
