# Warnings as errors for our own targets; sanitizer flags for the whole build.

function(quvo_strict target)
  # No -Wnon-virtual-dtor: interfaces have protected non-virtual destructors by design
  # (objects die through Release).
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror -Wno-unused-parameter)
  # GCC 12 at -O3 (Release) reports -Wrestrict and -Wstringop-overflow inside the
  # standard library's own string and vector code, false positives that would fail
  # the build; there they stay warnings.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(${target} PRIVATE
      "$<$<CONFIG:Release>:-Wno-error=restrict;-Wno-error=stringop-overflow>")
  endif()
endfunction()

if(QUVO_SANITIZE STREQUAL "address")
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
elseif(QUVO_SANITIZE STREQUAL "thread")
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
elseif(NOT QUVO_SANITIZE STREQUAL "")
  message(FATAL_ERROR "QUVO_SANITIZE must be empty, address or thread")
endif()

if(QUVO_FUZZ AND NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(STATUS "QUVO_FUZZ needs clang; fuzz targets are skipped")
  set(QUVO_FUZZ OFF)
endif()
