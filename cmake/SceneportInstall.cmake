# What `cmake --install` puts into a prefix: the plug-in and the host library with their SONAME
# links, the sceneport command, the headers a host application is built against, a CMake package
# (find_package(Sceneport)) and a pkg-config file (sceneport.pc).
#
# Only the product is installed. Sceneport_static, Sceneport_unpinned and the object library
# exist for the tests alone.
#
# The installed tree does not depend on where it is installed or later moved to: programs and
# libraries find the project's libraries relative to themselves, the CMake package computes its
# prefix from its own location, and the pkg-config file from its own directory.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(SCENEPORT_INSTALL_INCLUDEDIR ${CMAKE_INSTALL_INCLUDEDIR}/sceneport)
set(SCENEPORT_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/Sceneport)
set(SCENEPORT_INSTALL_PKGCONFIGDIR ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

# Relative paths between install directories. They are computed rather than written as "..":
# under /usr, Debian's libdir has two components (lib/<multiarch>).
file(RELATIVE_PATH SCENEPORT_BIN_TO_LIB ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_LIBDIR})
file(RELATIVE_PATH SCENEPORT_PKGCONFIG_TO_PREFIX
  ${CMAKE_INSTALL_FULL_LIBDIR}/pkgconfig ${CMAKE_INSTALL_PREFIX})
string(REGEX REPLACE "/$" "" SCENEPORT_PKGCONFIG_TO_PREFIX "${SCENEPORT_PKGCONFIG_TO_PREFIX}")

# The libraries of the export set under their package names: Sceneport::Sceneport (the plug-in)
# and Sceneport::host. The host's headers use std::span, so whoever compiles against them needs
# C++20; the package says so instead of leaving each consumer to find out.
set_target_properties(sceneport_host PROPERTIES EXPORT_NAME host)
set_target_properties(sceneport_io PROPERTIES EXPORT_NAME io)
target_compile_features(sceneport_host PUBLIC cxx_std_20)

# The plug-in finds the host library beside itself, and the command in the library directory
# next to its own, without LD_LIBRARY_PATH or ldconfig; only Gmsh comes from the system's paths.
set_target_properties(Sceneport sceneport_host sceneport_io PROPERTIES INSTALL_RPATH "$ORIGIN")
set_target_properties(sceneport_mesh_faces PROPERTIES EXPORT_NAME mesh_faces)
install(TARGETS Sceneport sceneport_host sceneport_io sceneport_mesh_faces EXPORT SceneportTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  INCLUDES DESTINATION ${SCENEPORT_INSTALL_INCLUDEDIR})

if(TARGET sceneport)
  set_target_properties(sceneport PROPERTIES INSTALL_RPATH "$ORIGIN/${SCENEPORT_BIN_TO_LIB}")
  install(TARGETS sceneport RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

# Headers in the layout the code includes them by: flat, readers under io/. The plug-in's are its
# public ones (the adapter, result codes, scene text, element kinds); the host's own are the ones
# an application uses to set up and inspect a scene, with what they include; the rest of host/ is
# the implementation, and so are the gmsh_* and vtk_* headers of io/ (how the readers turn Gmsh's
# and VTK's data into the host's; the vtk_* ones include VTK's headers). Directories are read at install time, so
# a new reader's header is installed without a reconfigure.
install(FILES
    ${PROJECT_SOURCE_DIR}/Sources/Sceneport/ZVRMLAdapter.h
    ${PROJECT_SOURCE_DIR}/Sources/Sceneport/SceneportApi.h
    ${PROJECT_SOURCE_DIR}/Sources/Sceneport/SceneportModule.h
    ${PROJECT_SOURCE_DIR}/Sources/Sceneport/ZVRMLElementKinds.h
    ${PROJECT_SOURCE_DIR}/Sources/Sceneport/ZVRMLExportResult.h
    ${PROJECT_SOURCE_DIR}/Sources/Sceneport/ZVRMLSceneText.h
    ${PROJECT_SOURCE_DIR}/meshfaces/mesh_faces.h
    ${PROJECT_SOURCE_DIR}/host/scene.h
    ${PROJECT_SOURCE_DIR}/host/scene_builder.h
    ${PROJECT_SOURCE_DIR}/host/session.h
    ${PROJECT_SOURCE_DIR}/host/host_log.h
    ${PROJECT_SOURCE_DIR}/host/mesh_types.h
    ${PROJECT_SOURCE_DIR}/host/demo_model.h
    ${PROJECT_SOURCE_DIR}/host/placement.h
  DESTINATION ${SCENEPORT_INSTALL_INCLUDEDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/hostapi/
  DESTINATION ${SCENEPORT_INSTALL_INCLUDEDIR} FILES_MATCHING PATTERN "*.h")
install(DIRECTORY ${PROJECT_SOURCE_DIR}/host/io/
  DESTINATION ${SCENEPORT_INSTALL_INCLUDEDIR}/io
  FILES_MATCHING PATTERN "*.h" PATTERN "gmsh_*" EXCLUDE PATTERN "vtk_*" EXCLUDE)

# The CMake package. SameMajorVersion: the adapter class's layout is the binary interface with
# the host, and only a new major (a new SONAME) may change it.
install(EXPORT SceneportTargets
  NAMESPACE Sceneport::
  DESTINATION ${SCENEPORT_INSTALL_CMAKEDIR})
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/SceneportConfig.cmake.in
  ${PROJECT_BINARY_DIR}/SceneportConfig.cmake
  INSTALL_DESTINATION ${SCENEPORT_INSTALL_CMAKEDIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/SceneportConfigVersion.cmake
  VERSION ${PROJECT_VERSION}
  COMPATIBILITY SameMajorVersion)
install(FILES
    ${PROJECT_BINARY_DIR}/SceneportConfig.cmake
    ${PROJECT_BINARY_DIR}/SceneportConfigVersion.cmake
  DESTINATION ${SCENEPORT_INSTALL_CMAKEDIR})

configure_file(${PROJECT_SOURCE_DIR}/cmake/sceneport.pc.in ${PROJECT_BINARY_DIR}/sceneport.pc
  @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/sceneport.pc DESTINATION ${SCENEPORT_INSTALL_PKGCONFIGDIR})
