# Run at every build (cmake -P): writes OUTPUT, the header that names the source the build is
# made from, as "VERSION (commit ID)", "VERSION (commit ID, modified)" when the tree differs from
# the commit (untracked files included), or "VERSION (commit unknown)" outside the checkout's own
# repository. Read at each build, not at configuration, so that an edit made since is marked.
# The file is written only when its text changes, so that nothing is rebuilt for nothing.
#
#   cmake -DSOURCE_DIR=DIR -DVERSION=2.5.0.N -DOUTPUT=FILE -P WriteVersion.cmake

function(git_answer out)
  execute_process(
    COMMAND git --no-optional-locks ${ARGN}
    WORKING_DIRECTORY "${SOURCE_DIR}"
    OUTPUT_VARIABLE answer
    RESULT_VARIABLE result
    OUTPUT_STRIP_TRAILING_WHITESPACE
    ERROR_QUIET)
  if(NOT result EQUAL 0)
    set(answer "")
  endif()
  set(${out} "${answer}" PARENT_SCOPE)
endfunction()

set(source "unknown")
git_answer(toplevel rev-parse --show-toplevel)
if(toplevel)
  file(REAL_PATH "${toplevel}" toplevel)
  file(REAL_PATH "${SOURCE_DIR}" source_real)
  git_answer(commit rev-parse --verify HEAD)
  if(toplevel STREQUAL source_real AND commit MATCHES "^[0-9a-f]+$")
    set(source "${commit}")
    git_answer(changes status --porcelain)
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
