# cmake -P RunInFreshDir.cmake <work dir> <program> [args...]
# Empties the test's work directory, creates its registry and tmp folders, runs the
# program there and fails when it fails.
set(args "")
math(EXPR last "${CMAKE_ARGC} - 1")
foreach(i RANGE 4 ${last})
  list(APPEND args "${CMAKE_ARGV${i}}")
endforeach()
set(work "${CMAKE_ARGV3}")
file(REMOVE_RECURSE "${work}")
file(MAKE_DIRECTORY "${work}/registry" "${work}/tmp")
execute_process(COMMAND ${args} WORKING_DIRECTORY "${work}" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "test exited with ${rc}")
endif()
