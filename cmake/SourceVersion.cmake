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

include(${CMAKE_CURRENT_LIST_DIR}/GitAnswer.cmake)

function(pendulon_read_checkout dir)
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
  pendulon_git(top "${dir}" rev-parse --show-toplevel)
  if(top)
    file(REAL_PATH "${top}" top)
  endif()
  file(REAL_PATH "${dir}" dir_real)
  if(NOT top STREQUAL dir_real)
    set(refusal "${dir} has no git history of its own, which a release takes its build number, "
                "commit and date from: build the release from a clone of the repository")
  else()
    pendulon_git(time "${dir}" log -1 --format=%ct HEAD)
    pendulon_git(shallow "${dir}" rev-parse --is-shallow-repository)
    if(shallow STREQUAL "true")
      if(given STREQUAL "")
        set(refusal "this clone is shallow, so its commits cannot be counted for the build "
                    "number: fetch the whole history (git fetch --unshallow), or give the number "
                    "with -DPENDULON_BUILD_NUMBER=N")
      endif()
    else()
      pendulon_git(number "${dir}" rev-list --count HEAD)
      if(NOT number MATCHES "^[0-9]+$" OR number GREATER 65535)
        message(FATAL_ERROR "git counts \"${number}\" commits in ${dir}: no build number")
      endif()
    endif()
    if(NOT time MATCHES "^[0-9]+$")
      set(refusal "git tells no time of the commit HEAD in ${dir}")
    endif()

    # Each of these changes with a commit, an amend, a reset or a checkout.
    pendulon_git(branch "${dir}" symbolic-ref -q HEAD)
    foreach(name HEAD logs/HEAD ${branch} packed-refs)
      pendulon_git(path "${dir}" rev-parse --git-path ${name})
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
