# giflib: its library's sources (those of its own Makefile's SOURCES) as a static library; its
# Makefile builds for Unix only.
include(${CMAKE_CURRENT_LIST_DIR}/common.cmake)
file(WRITE ${BINARY_DIR}/project/CMakeLists.txt [=[
cmake_minimum_required(VERSION 3.25)
project(giflib C)
separate_arguments(GIF_SOURCES UNIX_COMMAND "${GIF_SOURCES}")
list(TRANSFORM GIF_SOURCES PREPEND ${SOURCE_DIR}/)
add_library(gif STATIC ${GIF_SOURCES})
target_compile_options(gif PRIVATE -w -O2)
install(TARGETS gif ARCHIVE DESTINATION lib)
install(FILES ${SOURCE_DIR}/gif_lib.h DESTINATION include)
]=])
file(READ ${SOURCE_DIR}/Makefile makefile)
if(NOT makefile MATCHES "\nSOURCES = ([^\n]*)\\\\\n[ \t]*([^\n]*)\n")
  message(FATAL_ERROR "giflib's Makefile no longer lists its SOURCES as this recipe reads them")
endif()
string(REGEX REPLACE "[ \t]+" ";" sources "${CMAKE_MATCH_1} ${CMAKE_MATCH_2}")
list(FILTER sources EXCLUDE REGEX "^$")
list(JOIN sources " " sources)
set(package ${SOURCE_DIR})
set(SOURCE_DIR ${BINARY_DIR}/project)
# Passed as one word list: a ; would split the command line.
vistrelle_cmake_library(-DSOURCE_DIR=${package} "-DGIF_SOURCES=${sources}")
