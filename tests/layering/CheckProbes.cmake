# cmake -DBUILD_DIR=... -DCOMPILES=a,b -DFAILS=c:header,d:header -P CheckProbes.cmake
# Builds each probe target: those in COMPILES must build; those in FAILS must fail
# because their header is not found (any other error fails the check).
string(REPLACE "," ";" COMPILES "${COMPILES}")
string(REPLACE "," ";" FAILS "${FAILS}")
foreach(probe ${COMPILES})
  execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD_DIR} --target ${probe}
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(rc EQUAL 0)
    message(STATUS "${probe}: compiles, as it should")
  else()
    message(SEND_ERROR "${probe} should compile:\n${out}")
  endif()
endforeach()
foreach(entry ${FAILS})
  string(REPLACE ":" ";" parts ${entry})
  list(GET parts 0 probe)
  list(GET parts 1 header)
  execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD_DIR} --target ${probe}
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  # GCC: "HEADER: No such file or directory"; clang: "'HEADER' file not found".
  string(FIND "${out}" "${header}: No such file or directory" gcc_missing)
  string(FIND "${out}" "'${header}' file not found" clang_missing)
  if(NOT rc EQUAL 0 AND (gcc_missing GREATER -1 OR clang_missing GREATER -1))
    message(STATUS "${probe}: ${header} is out of reach, as it should be")
  else()
    message(SEND_ERROR "${probe} should fail for want of ${header}:\n${out}")
  endif()
endforeach()
