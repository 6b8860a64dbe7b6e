# pendulon_read_checkout(DIR): what the checkout in DIR tells of the build, read when the build is
# configured. Sets:
#
#   PENDULON_BUILD_NUMBER     the last part of every version: the count of commits up to HEAD
#   PENDULON_COMMIT_TIME      the time of HEAD's commit (seconds since 1970), which dates the
#                             release's files, so that a rebuild gives the same bytes
#   PENDULON_RELEASE_REFUSAL  why no release archive may be built from DIR; empty when one may
#
# A clone made with --depth, or a tree without its own .git, cannot count its commits: it builds
# with number 0, and the release archive refuses, so that no release carries a wrong number.
# -DPENDULON_BUILD_NUMBER=N gives the number for this one run of the configuration only: it is
# taken out of the cache at once, so that the next run counts again.
#
# A commit, an amend, a reset or a checkout configures the build anew. Which commit it is, and
# whether the tree was modified, are read at every build (cmake/WriteVersion.cmake).

# _pendulon_git(OUT ARGS...): git's answer in the checkout, or empty when git fails.
function(_pendulon_git out)
  execute_process(
    COMMAND git ${ARGN}
    WORKING_DIRECTORY "${_pendulon_checkout}"
    OUTPUT_VARIABLE answer
    RESULT_VARIABLE result
    OUTPUT_STRIP_TRAILING_WHITESPACE
    ERROR_QUIET)
  if(NOT result EQUAL 0)
    set(answer "")
  endif()
  set(${out} "${answer}" PARENT_SCOPE)
endfunction()

function(pendulon_read_checkout dir)
  set(_pendulon_checkout "${dir}")
  set(given "")
  if(DEFINED CACHE{PENDULON_BUILD_NUMBER})
    set(given "$CACHE{PENDULON_BUILD_NUMBER}")
    unset(PENDULON_BUILD_NUMBER CACHE)
    if(NOT given MATCHES "^[0-9]+$" OR given GREATER 65535)
      message(FATAL_ERROR
        "PENDULON_BUILD_NUMBER is \"${given}\": a build number is a whole number from 0 to 65535 "
        "(the last of the four numbers of a Windows version)")
    endif()
  endif()

  set(number 0)
  set(time "")
  set(refusal "")
  # Only a repository whose top is DIR itself counts: a tree unpacked inside another repository
  # would otherwise take that one's history for its own.
  _pendulon_git(top rev-parse --show-toplevel)
  if(top)
    file(REAL_PATH "${top}" top)
  endif()
  file(REAL_PATH "${dir}" dir_real)
  if(NOT top STREQUAL dir_real)
    set(refusal "${dir} has no git history of its own, which a release takes its build number, "
                "commit and date from: build the release from a clone of the repository")
  else()
    _pendulon_git(time log -1 --format=%ct HEAD)
    _pendulon_git(shallow rev-parse --is-shallow-repository)
    if(shallow STREQUAL "true")
      if(given STREQUAL "")
        set(refusal "this clone is shallow, so its commits cannot be counted for the build "
                    "number: fetch the whole history (git fetch --unshallow), or give the number "
                    "with -DPENDULON_BUILD_NUMBER=N")
      endif()
    else()
      _pendulon_git(number rev-list --count HEAD)
      if(NOT number MATCHES "^[0-9]+$" OR number GREATER 65535)
        message(FATAL_ERROR "git counts \"${number}\" commits in ${dir}: no build number")
      endif()
    endif()
    if(NOT time MATCHES "^[0-9]+$")
      set(refusal "git tells no time of the commit HEAD in ${dir}")
    endif()

    # Each of these changes with a commit, an amend, a reset or a checkout.
    _pendulon_git(branch symbolic-ref -q HEAD)
    foreach(name HEAD logs/HEAD ${branch} packed-refs)
      _pendulon_git(path rev-parse --git-path ${name})
      if(path AND NOT IS_ABSOLUTE "${path}")
        set(path "${dir}/${path}")
      endif()
      if(path AND EXISTS "${path}")
        set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${path}")
      endif()
    endforeach()
  endif()
  if(NOT given STREQUAL "")
    set(number ${given})
  endif()
  string(REPLACE ";" "" refusal "${refusal}")
  set(PENDULON_BUILD_NUMBER ${number} PARENT_SCOPE)
  set(PENDULON_COMMIT_TIME "${time}" PARENT_SCOPE)
  set(PENDULON_RELEASE_REFUSAL "${refusal}" PARENT_SCOPE)
endfunction()
