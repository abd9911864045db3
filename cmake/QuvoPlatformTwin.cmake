# The platform's test twin: the same objects and libraries as quvo_platform, every
# symbol visible, and the same soname, so that the tests can reach the platform's
# internals while the modules and the SDK they load bind to this one copy (the
# loader finds a soname already loaded). It lives in build/testing, which the
# tests search first; nothing installed ever sees it.
set(QUVO_TWIN_DIR ${CMAKE_BINARY_DIR}/testing)
add_library(quvo_platform_twin SHARED $<TARGET_OBJECTS:quvo_platform>)
target_link_libraries(quvo_platform_twin
  PUBLIC Threads::Threads ${CMAKE_DL_LIBS}
  PRIVATE $<TARGET_PROPERTY:quvo_platform,LINK_LIBRARIES>)
target_include_directories(quvo_platform_twin INTERFACE
  $<TARGET_PROPERTY:quvo_platform,INTERFACE_INCLUDE_DIRECTORIES>)
set_target_properties(quvo_platform_twin PROPERTIES LIBRARY_OUTPUT_DIRECTORY ${QUVO_TWIN_DIR} NO_SONAME ON)
# The file has a name of its own (CMake would see two libraries of one name and no
# safe search order); the soname and a link of that name make it the platform.
target_link_options(quvo_platform_twin PRIVATE -Wl,-z,nodelete
  -Wl,-soname,$<TARGET_SONAME_FILE_NAME:quvo_platform>)
add_custom_command(TARGET quvo_platform_twin POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E create_symlink $<TARGET_FILE_NAME:quvo_platform_twin>
          ${QUVO_TWIN_DIR}/$<TARGET_SONAME_FILE_NAME:quvo_platform>)

# quvo_link_platform_twin(<target>): links the twin ahead of everything else, keeps
# it for the static libraries that follow (the toolchain links --as-needed), and
# searches build/testing first at run time.
function(quvo_link_platform_twin target)
  target_link_libraries(${target} PRIVATE quvo_platform_twin)
  target_link_options(${target} BEFORE PRIVATE -Wl,--no-as-needed -Wl,-rpath,${QUVO_TWIN_DIR})
endfunction()
