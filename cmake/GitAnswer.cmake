# pendulon_git(OUT DIR ARGS...): what `git ARGS...` prints in DIR, without its last line end, or
# empty when git fails or is missing. It takes no lock, so that reading the version never holds
# up a git command the user runs meanwhile.
function(pendulon_git out dir)
  execute_process(
    COMMAND git --no-optional-locks ${ARGN}
    WORKING_DIRECTORY "${dir}"
    OUTPUT_VARIABLE answer
    RESULT_VARIABLE result
    OUTPUT_STRIP_TRAILING_WHITESPACE
    ERROR_QUIET)
  if(NOT result EQUAL 0)
    set(answer "")
  endif()
  set(${out} "${answer}" PARENT_SCOPE)
endfunction()
