# Include folders per layer. Sources name headers from the repository root
# ("platform/com/Guid.h", "sdk/EncoderDevice.h"), but no target sees the root:
# each header target below shows one folder under its own name, through a
# symbolic link in a folder of its own in the build tree, and a target sees the
# folders of the layers it links and nothing else.

# quvo_headers(<target> <folder>): an INTERFACE library showing <folder> as "<folder>/...".
function(quvo_headers target folder)
  if(NOT IS_DIRECTORY ${CMAKE_SOURCE_DIR}/${folder})
    message(FATAL_ERROR "quvo_headers(${target}): ${folder} is not a folder of the source tree")
  endif()
  set(root ${CMAKE_BINARY_DIR}/include/${target})
  get_filename_component(parent ${root}/${folder} DIRECTORY)
  file(MAKE_DIRECTORY ${parent})
  file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC)
  add_library(${target} INTERFACE)
  target_include_directories(${target} INTERFACE ${root})
  set_property(GLOBAL APPEND PROPERTY QUVO_HEADER_ROOTS ${target}=${root})
endfunction()

# The platform's C++ interfaces, for modules, the SDK, tools and tests (hosts get
# the C window API only, from the platform library itself).
quvo_headers(quvo_platform_headers platform)
# Interfaces that cross module boundaries: the writer's control interface, the
# board's status interface.
quvo_headers(quvo_interfaces interfaces)
target_link_libraries(quvo_interfaces INTERFACE quvo_platform_headers)
# Each layer's own folder, for its targets and their tests.
quvo_headers(quvo_sdk_headers sdk)
quvo_headers(quvo_filewriter_headers filewriter)
quvo_headers(quvo_board_headers outside/board)
quvo_headers(quvo_mpeg_headers outside/mpeg)
quvo_headers(quvo_maker_headers outside/maker)
quvo_headers(quvo_boardctl_headers tools/boardctl)
