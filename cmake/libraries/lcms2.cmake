# Little CMS: its library sources compiled as a static library with the definitions its own
# configure script gives for this host (--host=x86_64-w64-mingw32), which is faster than running
# that script, and its own build's optimisation (-O2).
include(${CMAKE_CURRENT_LIST_DIR}/common.cmake)
file(WRITE ${BINARY_DIR}/project/CMakeLists.txt [=[
cmake_minimum_required(VERSION 3.25)
project(lcms2 C)
file(GLOB sources ${SOURCE_DIR}/src/*.c)
add_library(lcms2 STATIC ${sources})
target_include_directories(lcms2 PRIVATE ${SOURCE_DIR}/include)
target_compile_definitions(lcms2 PRIVATE HasTHREADS=1 HAVE_GMTIME_S=1
  HAVE_FUNC_ATTRIBUTE_VISIBILITY=1)
target_compile_options(lcms2 PRIVATE -w -O2)
install(TARGETS lcms2 ARCHIVE DESTINATION lib)
install(FILES ${SOURCE_DIR}/include/lcms2.h ${SOURCE_DIR}/include/lcms2_plugin.h
  DESTINATION include)
]=])
set(SOURCE_DIR_OF_PACKAGE ${SOURCE_DIR})
set(SOURCE_DIR ${BINARY_DIR}/project)
vistrelle_cmake_library(-DSOURCE_DIR=${SOURCE_DIR_OF_PACKAGE})
