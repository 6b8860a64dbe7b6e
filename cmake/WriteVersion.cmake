# Run at every build (cmake -P): writes OUTPUT, the header that names the source the build is
# made from, as "VERSION (commit ID)", "VERSION (commit ID, modified)" when the tree differs from
# the commit (untracked files included), or "VERSION (commit unknown)" outside the checkout's own
# repository. Read at each build, not at configuration, so that an edit made since is marked.
# The file is written only when its text changes, so that nothing is rebuilt for nothing.
#
#   cmake -DSOURCE_DIR=DIR -DVERSION=2.5.0.N -DOUTPUT=FILE -P WriteVersion.cmake

include(${CMAKE_CURRENT_LIST_DIR}/GitAnswer.cmake)

set(source "unknown")
pendulon_git(toplevel "${SOURCE_DIR}" rev-parse --show-toplevel)
if(toplevel)
  file(REAL_PATH "${toplevel}" toplevel)
  file(REAL_PATH "${SOURCE_DIR}" source_real)
  pendulon_git(commit "${SOURCE_DIR}" rev-parse --verify HEAD)
  if(toplevel STREQUAL source_real AND commit MATCHES "^[0-9a-f]+$")
    set(source "${commit}")
    pendulon_git(changes "${SOURCE_DIR}" status --porcelain)
    if(NOT changes STREQUAL "")
      string(APPEND source ", modified")
    endif()
  endif()
endif()

set(text "// Written at every build by cmake/WriteVersion.cmake.
#define PENDULON_VERSION_TEXT \"${VERSION} (commit ${source})\"
")
set(old "")
if(EXISTS "${OUTPUT}")
  file(READ "${OUTPUT}" old)
endif()
if(NOT old STREQUAL text)
  file(WRITE "${OUTPUT}" "${text}")
endif()
