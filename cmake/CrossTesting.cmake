# Tests of a cross-build: GoogleTest built from Debian's sources
# (googletest package, /usr/src/googletest) with the cross compiler, and
# every test program run through Wine by ctest.
set(KARSIDAN_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest's sources")
if(NOT EXISTS ${KARSIDAN_GOOGLETEST_SOURCE}/CMakeLists.txt)
  message(FATAL_ERROR "GoogleTest's sources are missing in ${KARSIDAN_GOOGLETEST_SOURCE} "
                      "(Debian: apt-get install googletest)")
endif()
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${KARSIDAN_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

if(CMAKE_SYSTEM_NAME STREQUAL "Windows")
  find_program(KARSIDAN_WINE wine REQUIRED)
  # One prefix for the whole build, made by the first test that runs.
  set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_SOURCE_DIR}/scripts/wine-run.sh ${CMAKE_BINARY_DIR}/wineprefix)
endif()
