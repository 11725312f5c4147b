# The project's warnings, given to the project's own targets only, so that code of others built
# in the same tree (GoogleTest from its sources in the MinGW build) is compiled as its authors
# meant and a new compiler's new warning there cannot break our build.
#
#   vistrelle_warnings         every target of ours: the program, its libraries, test programs,
#                              the benchmark and the fuzz targets
#   vistrelle_strict_warnings  on top of that, for the libraries of the program's logic: shadowed
#                              names and silent narrowing are where a size or a colour goes wrong
#
# vistrelle_use_warnings() gives vistrelle_warnings to every target defined under the source tree
# once all are defined, so that a test program added later cannot be built without it.

# Each set is for C++ sources only: the resource compiler takes none of these flags.
add_library(vistrelle_warnings INTERFACE)
add_library(vistrelle_strict_warnings INTERFACE)
if(MSVC)
  target_compile_options(vistrelle_warnings INTERFACE
    "$<$<COMPILE_LANGUAGE:CXX>:/W4;/WX;/utf-8;/permissive->")
else()
  target_compile_options(vistrelle_warnings INTERFACE
    "$<$<COMPILE_LANGUAGE:CXX>:-Wall;-Wextra;-Werror>")
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    # GCC 12 reports a false overlap in libstdc++'s string concatenation when inlining at -O2
    # and above (GCC bug 105329), e.g. for "text" + std::string{...} in the MinGW release build.
    target_compile_options(vistrelle_warnings INTERFACE "$<$<COMPILE_LANGUAGE:CXX>:-Wno-restrict>")
  endif()
  target_compile_options(vistrelle_strict_warnings INTERFACE
    "$<$<COMPILE_LANGUAGE:CXX>:-Wshadow;-Wconversion;-Wpedantic>")
endif()

set(VISTRELLE_BUILD_FOLDER ${PROJECT_SOURCE_DIR}/build)
function(vistrelle_use_warnings dir)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    if(type MATCHES "^(EXECUTABLE|STATIC_LIBRARY|SHARED_LIBRARY|MODULE_LIBRARY|OBJECT_LIBRARY)$")
      target_link_libraries(${target} PRIVATE vistrelle_warnings)
    endif()
  endforeach()
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(subdir IN LISTS subdirs)
    # Only folders of this source tree (/usr/src/googletest is added from tests/), and none of
    # the build folder, where the presets put their trees and the scripts others' sources.
    cmake_path(IS_PREFIX PROJECT_SOURCE_DIR "${subdir}" NORMALIZE in_tree)
    cmake_path(IS_PREFIX VISTRELLE_BUILD_FOLDER "${subdir}" NORMALIZE in_build)
    cmake_path(IS_PREFIX CMAKE_BINARY_DIR "${subdir}" NORMALIZE in_binary)
    if(in_tree AND NOT in_build AND NOT in_binary)
      vistrelle_use_warnings(${subdir})
    endif()
  endforeach()
endfunction()
