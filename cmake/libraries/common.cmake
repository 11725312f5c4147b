# Shared by the recipes in this folder, each run as a script (cmake -P) by cmake/libraries.cmake
# to cross-build one library from its unpacked Debian source package:
#   -DSOURCE_DIR=  the unpacked source package      -DBINARY_DIR=  a build folder of its own
#   -DINSTALL_DIR= where its headers and libraries go (include/, lib/, bin/ for DLLs)
#   -DTOOLCHAIN_FILE= cmake/mingw-w64.cmake         -DJOBS=        jobs for its build
# and, for a library built on others, -D<NAME>_DIR= the install folders of those.
# A recipe's whole text is part of its library's cache key: a changed recipe builds anew.
foreach(var SOURCE_DIR BINARY_DIR INSTALL_DIR TOOLCHAIN_FILE JOBS)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "${CMAKE_SCRIPT_MODE_FILE}: -D${var}= is missing")
  endif()
endforeach()
# Only what the recipe passes reaches the compilers, not the flags of whoever runs the build.
foreach(var CFLAGS CXXFLAGS CPPFLAGS LDFLAGS PKG_CONFIG_PATH)
  unset(ENV{${var}})
endforeach()
file(MAKE_DIRECTORY ${BINARY_DIR})
# pkg-config would offer the build machine's own libraries to a Windows build.
set(ENV{PKG_CONFIG_LIBDIR} ${BINARY_DIR}/no-pkg-config)

# The DLLs carry their C and C++ runtimes (libgcc, libstdc++, winpthreads) inside, so that the
# program folder needs no MinGW DLLs, and export only their own functions (a DLL exports every
# symbol by default, the runtimes' too, which then clash in whatever links two of them); they are
# stripped of symbol tables.
set(VISTRELLE_DLL_LINK_FLAGS "-static -s -Wl,--exclude-libs,ALL")

# Runs one step of the build, its output in BINARY_DIR/<step>.log; stops with that log's end
# when it fails.
function(vistrelle_step step)
  execute_process(COMMAND ${ARGN} OUTPUT_FILE ${BINARY_DIR}/${step}.log
    ERROR_FILE ${BINARY_DIR}/${step}.log RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    file(READ ${BINARY_DIR}/${step}.log log)
    string(LENGTH "${log}" length)
    if(length GREATER 6000)
      math(EXPR from "${length} - 6000")
      string(SUBSTRING "${log}" ${from} -1 log)
    endif()
    message(FATAL_ERROR "${step} failed (${result}); the end of ${BINARY_DIR}/${step}.log:\n${log}")
  endif()
endfunction()

# A library with a CMake build of its own: configured for Windows with the toolchain file,
# built and installed into INSTALL_DIR. ARGN: its options.
function(vistrelle_cmake_library)
  vistrelle_step(configure ${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${BINARY_DIR}/build -G Ninja
    -DCMAKE_TOOLCHAIN_FILE=${TOOLCHAIN_FILE} -DCMAKE_BUILD_TYPE=Release
    -DCMAKE_INSTALL_PREFIX=${INSTALL_DIR} -DCMAKE_INSTALL_LIBDIR=lib ${ARGN})
  vistrelle_step(build ${CMAKE_COMMAND} --build ${BINARY_DIR}/build --parallel ${JOBS})
  vistrelle_step(install ${CMAKE_COMMAND} --install ${BINARY_DIR}/build)
endfunction()
