# The install layout (GNU directories): the SDK and the platform library are
# public (hosts link both: the platform carries the C window API); the modules go
# to a private folder beside them, where the platform finds and registers them at
# first use (docs/installed.md). The build tree is never needed at run time.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(QUVO_MODULE_INSTALL_DIR ${CMAKE_INSTALL_LIBDIR}/quvosdk)

install(TARGETS QuvoSDK quvo_platform EXPORT QuvoSDKTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} NAMELINK_COMPONENT Development
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(FILES ${CMAKE_SOURCE_DIR}/sdk/include/quvo/QuvoSDK.h
              ${CMAKE_SOURCE_DIR}/platform/win32/include/quvo/QuvoWindow.h
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/quvo)

get_property(quvo_installed_modules GLOBAL PROPERTY QUVO_MODULES)
install(TARGETS ${quvo_installed_modules} LIBRARY DESTINATION ${QUVO_MODULE_INSTALL_DIR})

set(quvo_programs regsvr quvorec boardctl)
if(TARGET encoderdesk)
  list(APPEND quvo_programs encoderdesk)
endif()
install(TARGETS ${quvo_programs} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# pkg-config: the SDK and the platform both, as a host calls into each.
configure_file(${CMAKE_SOURCE_DIR}/cmake/install/quvosdk.pc.in ${CMAKE_BINARY_DIR}/quvosdk.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/quvosdk.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

# CMake package: find_package(QuvoSDK) gives QuvoSDK::QuvoSDK (the platform comes along).
set(quvo_cmake_dir ${CMAKE_INSTALL_LIBDIR}/cmake/QuvoSDK)
install(EXPORT QuvoSDKTargets NAMESPACE QuvoSDK:: DESTINATION ${quvo_cmake_dir})
configure_package_config_file(${CMAKE_SOURCE_DIR}/cmake/install/QuvoSDKConfig.cmake.in
  ${CMAKE_BINARY_DIR}/QuvoSDKConfig.cmake INSTALL_DESTINATION ${quvo_cmake_dir})
write_basic_package_version_file(${CMAKE_BINARY_DIR}/QuvoSDKConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/QuvoSDKConfig.cmake ${CMAKE_BINARY_DIR}/QuvoSDKConfigVersion.cmake
  DESTINATION ${quvo_cmake_dir})

install(FILES ${CMAKE_SOURCE_DIR}/examples/record5s.c ${CMAKE_SOURCE_DIR}/examples/Makefile
  DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)

# Desktop data and man pages, where desktops and man look for them.
if(TARGET encoderdesk)
  install(FILES ${CMAKE_SOURCE_DIR}/app/data/org.quvo.encoderdesk.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${CMAKE_SOURCE_DIR}/app/data/org.quvo.encoderdesk.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(FILES ${CMAKE_SOURCE_DIR}/app/data/org.quvo.encoderdesk.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()
foreach(program ${quvo_programs})
  install(FILES ${CMAKE_SOURCE_DIR}/docs/man/${program}.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
