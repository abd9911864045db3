# Helpers for modules, tests and fuzz targets.

# quvo_module(<name> SOURCES ... [LIBS ...] [TEST]): an in-process server module
# (shared object with hidden visibility exporting only the four Dll* entry points),
# registered into the build tree's registry after each build. Modules not marked
# TEST are the system's: they are installed and registered at first use.
function(quvo_module name)
  cmake_parse_arguments(M "TEST" "" "SOURCES;LIBS" ${ARGN})
  if(NOT M_TEST)
    set_property(GLOBAL APPEND PROPERTY QUVO_MODULES ${name})
  endif()
  add_library(${name} MODULE ${M_SOURCES})
  set_target_properties(${name} PROPERTIES PREFIX "" CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON C_VISIBILITY_PRESET hidden
    LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/modules)
  target_link_libraries(${name} PRIVATE quvo_filterbase ${M_LIBS})
  target_link_options(${name} PRIVATE -Wl,--version-script=${CMAKE_SOURCE_DIR}/cmake/module.map)
  # Sanitizer runtimes are linked into executables only, so a sanitized module
  # leaves their symbols undefined until it is loaded.
  if(NOT QUVO_SANITIZE)
    target_link_options(${name} PRIVATE -Wl,--no-undefined)
  endif()
  quvo_strict(${name})
  add_custom_command(TARGET ${name} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E env QUVO_REGISTRY_DIR=${QUVO_BUILD_REGISTRY}
            $<TARGET_FILE:regsvr> -s $<TARGET_FILE:${name}>
    COMMENT "Registering ${name}")
  add_dependencies(${name} regsvr)
endfunction()

# quvo_test(<name> SOURCES ... [LIBS ...] [LABELS ...] [THREADS]): a GoogleTest
# executable run by CTest with its own registry and temporary directory.
# Only tests marked THREADS are built in the ThreadSanitizer configuration.
function(quvo_test name)
  cmake_parse_arguments(T "THREADS" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  # Under ThreadSanitizer only THREADS tests run; the others still exist as targets
  # (so per-test settings after this call work) but are neither built nor run.
  if(QUVO_SANITIZE STREQUAL "thread" AND NOT T_THREADS)
    add_executable(${name} EXCLUDE_FROM_ALL ${T_SOURCES})
    quvo_link_platform_twin(${name})
    target_link_libraries(${name} PRIVATE GTest::gtest GTest::gtest_main quvo_platform quvo_platform_headers ${T_LIBS})
    return()
  endif()
  add_executable(${name} ${T_SOURCES})
  # Tests reach the platform's internals through its twin (cmake/QuvoPlatformTwin.cmake).
  quvo_link_platform_twin(${name})
  target_link_libraries(${name} PRIVATE GTest::gtest GTest::gtest_main quvo_platform quvo_platform_headers ${T_LIBS})
  quvo_strict(${name})
  set(work ${CMAKE_BINARY_DIR}/testwork/${name})
  add_test(NAME ${name} COMMAND ${CMAKE_COMMAND} -E env
    QUVO_REGISTRY_DIR=${work}/registry TMPDIR=${work}/tmp
    QUVO_BUILD_DIR=${CMAKE_BINARY_DIR} QUVO_MODULE_DIR=${CMAKE_BINARY_DIR}/modules
    QT_QPA_PLATFORM=offscreen SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
    ${CMAKE_COMMAND} -P ${CMAKE_SOURCE_DIR}/cmake/RunInFreshDir.cmake ${work} $<TARGET_FILE:${name}>)
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT} LABELS "${T_LABELS}")
endfunction()

# quvo_fuzz_instrument(<library>...): in the fuzz configuration, libraries that fuzz
# targets drive get libFuzzer's coverage instrumentation too, so the fuzzer is
# guided by their branches and not only by the target's own.
function(quvo_fuzz_instrument)
  if(QUVO_FUZZ)
    foreach(lib ${ARGN})
      target_compile_options(${lib} PRIVATE -fsanitize=fuzzer-no-link)
    endforeach()
  endif()
endfunction()

# quvo_fuzz(<name> SOURCES ... [LIBS ...] [SECONDS n]): a libFuzzer target, run
# for a bounded time by CTest in the fuzz configuration.
function(quvo_fuzz name)
  cmake_parse_arguments(F "" "SECONDS" "SOURCES;LIBS" ${ARGN})
  if(NOT QUVO_FUZZ)
    return()
  endif()
  if(NOT F_SECONDS)
    set(F_SECONDS 60)
  endif()
  add_executable(${name} ${F_SOURCES})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  quvo_link_platform_twin(${name})
  target_link_libraries(${name} PRIVATE quvo_platform quvo_platform_headers ${F_LIBS})
  quvo_strict(${name})
  set(work ${CMAKE_BINARY_DIR}/testwork/${name})
  add_test(NAME ${name} COMMAND ${CMAKE_COMMAND} -E env
    QUVO_REGISTRY_DIR=${work}/registry TMPDIR=${work}/tmp
    ${CMAKE_COMMAND} -P ${CMAKE_SOURCE_DIR}/cmake/RunInFreshDir.cmake ${work}
    $<TARGET_FILE:${name}> -max_total_time=${F_SECONDS} -timeout=10 -rss_limit_mb=4096)
  set_tests_properties(${name} PROPERTIES TIMEOUT 600 LABELS fuzz)
endfunction()
