# Writes the build information of libSceneport.so into a header: the version with its build id,
# and the name of the machine that builds it. Runs at every build (cmake -P, from the
# SceneportBuildInfo target), so a new commit gives a new build id without a new configure;
# configure_file rewrites the header only when its text changes, so the module is recompiled
# only then.
#
#   SOURCE_DIR      the source tree, whose commit names the build
#   VERSION         the project version, MAJOR.MINOR.PATCH
#   GIT_EXECUTABLE  the git found at configure time; empty or NOTFOUND without one
#   TEMPLATE        SceneportBuildInfo.h.in
#   OUTPUT          the header to write
foreach(input SOURCE_DIR VERSION TEMPLATE OUTPUT)
  if(NOT DEFINED ${input})
    message(FATAL_ERROR "SceneportBuildInfo.cmake needs -D${input}=...")
  endif()
endforeach()

# The build id: the first eleven hexadecimal digits of the commit the source tree is at, or
# eleven zeros outside a checkout, without git, or before the first commit.
set(SCENEPORT_BUILD_ID 00000000000)
if(GIT_EXECUTABLE)
  execute_process(
    COMMAND ${GIT_EXECUTABLE} rev-parse --verify --quiet HEAD
    WORKING_DIRECTORY ${SOURCE_DIR}
    RESULT_VARIABLE gitResult
    OUTPUT_VARIABLE commit
    ERROR_QUIET
    OUTPUT_STRIP_TRAILING_WHITESPACE)
  string(TOLOWER "${commit}" commit)
  string(LENGTH "${commit}" commitLength)
  if(gitResult EQUAL 0 AND commit MATCHES "^[0-9a-f]+$" AND commitLength GREATER_EQUAL 11)
    string(SUBSTRING ${commit} 0 11 SCENEPORT_BUILD_ID)
  endif()
endif()

set(SCENEPORT_VERSION_STRING ${VERSION}.${SCENEPORT_BUILD_ID})

# The host name goes into a C string literal.
cmake_host_system_information(RESULT SCENEPORT_BUILD_HOST QUERY HOSTNAME)
if(SCENEPORT_BUILD_HOST STREQUAL "")
  set(SCENEPORT_BUILD_HOST unknown)
endif()
string(REPLACE "\\" "\\\\" SCENEPORT_BUILD_HOST "${SCENEPORT_BUILD_HOST}")
string(REPLACE "\"" "\\\"" SCENEPORT_BUILD_HOST "${SCENEPORT_BUILD_HOST}")

configure_file(${TEMPLATE} ${OUTPUT} @ONLY)
