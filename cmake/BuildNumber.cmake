# The build's own number, the last part of every version: the count of commits of the checkout,
# unless given with -DPENDULON_BUILD_NUMBER=.
if(NOT DEFINED PENDULON_BUILD_NUMBER)
  execute_process(
    COMMAND git rev-list --count HEAD
    WORKING_DIRECTORY ${CMAKE_CURRENT_LIST_DIR}/..
    OUTPUT_VARIABLE PENDULON_BUILD_NUMBER
    OUTPUT_STRIP_TRAILING_WHITESPACE
    RESULT_VARIABLE _build_number_result
    ERROR_QUIET)
  if(NOT _build_number_result EQUAL 0 OR NOT PENDULON_BUILD_NUMBER MATCHES "^[0-9]+$")
    set(PENDULON_BUILD_NUMBER 0)
  endif()
endif()
