# The libraries of the field, as targets of the same names in every build:
#   vistrelle::jpeg   libjpeg-turbo, through the libjpeg API (jpeglib.h)
#   vistrelle::lcms2  Little CMS 2 (lcms2.h)
#   vistrelle::zlib   zlib (zlib.h)
# Natively on Linux they are Debian's -dev packages. The MinGW-w64 cross-build builds
# libjpeg-turbo and Little CMS once into this build tree from Debian's source packages, which
# scripts/install-deps.sh unpacks into build/sources/, and links them statically; its zlib is
# Debian's MinGW-w64 build (libz-mingw-w64-dev). On Windows they are whatever find_package finds
# (vcpkg: libjpeg-turbo, lcms, zlib; MSYS2: mingw-w64-x86_64-libjpeg-turbo, -lcms2, -zlib).
# The cross-build also sets VISTRELLE_<JPEG|LCMS2>_SOURCE_DIR, _VERSION and _DEBIAN_VERSION, and
# VISTRELLE_ZLIB_HEADER and _VERSION, from which packaging/ credits what Vistrelle.exe contains.

if(MINGW AND CMAKE_CROSSCOMPILING)
  enable_language(C)  # for Little CMS; in the directory's own scope, not the block's
endif()
block(PROPAGATE VISTRELLE_JPEG_SOURCE_DIR VISTRELLE_JPEG_VERSION VISTRELLE_JPEG_DEBIAN_VERSION
  VISTRELLE_LCMS2_SOURCE_DIR VISTRELLE_LCMS2_VERSION VISTRELLE_LCMS2_DEBIAN_VERSION
  VISTRELLE_ZLIB_HEADER VISTRELLE_ZLIB_VERSION)
if(MINGW AND CMAKE_CROSSCOMPILING)
  set(VISTRELLE_SOURCES_DIR ${PROJECT_SOURCE_DIR}/build/sources CACHE PATH
    "Where scripts/install-deps.sh unpacks Debian's source packages of the libraries")

  # Finds the unpacked source package NAME (the newest, should there be two) and sets
  # <PREFIX>_SOURCE_DIR, <PREFIX>_VERSION (upstream's) and <PREFIX>_DEBIAN_VERSION.
  function(vistrelle_debian_source name prefix)
    file(GLOB dirs LIST_DIRECTORIES true ${VISTRELLE_SOURCES_DIR}/${name}-[0-9]*)
    list(FILTER dirs INCLUDE REGEX "/${name}-[0-9][^/]*$")
    list(SORT dirs COMPARE NATURAL)
    list(POP_BACK dirs dir)
    if(NOT dir OR NOT EXISTS ${dir}/debian/changelog)
      message(FATAL_ERROR "Debian's source package ${name} is not unpacked in "
        "${VISTRELLE_SOURCES_DIR}: run scripts/install-deps.sh")
    endif()
    file(STRINGS ${dir}/debian/changelog entry LIMIT_COUNT 1)
    string(REGEX MATCH "^[^ ]+ \\(([^)]+)\\)" entry "${entry}")
    set(${prefix}_DEBIAN_VERSION ${CMAKE_MATCH_1} PARENT_SCOPE)
    get_filename_component(unpacked ${dir} NAME)
    string(REGEX REPLACE "^${name}-" "" version ${unpacked})
    set(${prefix}_SOURCE_DIR ${dir} PARENT_SCOPE)
    set(${prefix}_VERSION ${version} PARENT_SCOPE)
    set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
      ${dir}/debian/changelog)
  endfunction()

  # libjpeg-turbo by its own CMake build with NASM's SIMD code, configured once per build tree;
  # only its static libjpeg is built (about 30 s of processor time), then copied with the four
  # public headers. That inner build runs beside this one's jobs: as many jobs as processors,
  # not Ninja's default of two more.
  include(ExternalProject)
  vistrelle_debian_source(libjpeg-turbo VISTRELLE_JPEG)
  cmake_host_system_information(RESULT cores QUERY NUMBER_OF_LOGICAL_CORES)
  set(jpeg ${CMAKE_BINARY_DIR}/libraries/libjpeg-turbo)
  file(MAKE_DIRECTORY ${jpeg}/include ${jpeg}/lib)
  ExternalProject_Add(libjpeg_turbo
    SOURCE_DIR ${VISTRELLE_JPEG_SOURCE_DIR}
    PREFIX ${jpeg}
    BINARY_DIR ${jpeg}/build
    INSTALL_DIR ${jpeg}
    # Without an install prefix of its own, its packaging rules stop the configuration.
    CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${CMAKE_TOOLCHAIN_FILE} -DCMAKE_BUILD_TYPE=Release
      -DCMAKE_INSTALL_PREFIX=<INSTALL_DIR> -DENABLE_SHARED=OFF -DWITH_TURBOJPEG=OFF
      -DREQUIRE_SIMD=ON
    BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR> --target jpeg-static --parallel ${cores}
    INSTALL_COMMAND ${CMAKE_COMMAND} -E copy <BINARY_DIR>/libjpeg.a <INSTALL_DIR>/lib
      COMMAND ${CMAKE_COMMAND} -E copy <SOURCE_DIR>/jpeglib.h <SOURCE_DIR>/jmorecfg.h
        <SOURCE_DIR>/jerror.h <BINARY_DIR>/jconfig.h <INSTALL_DIR>/include
    BUILD_BYPRODUCTS ${jpeg}/lib/libjpeg.a
    LOG_CONFIGURE ON LOG_BUILD ON LOG_INSTALL ON LOG_OUTPUT_ON_FAILURE ON)
  add_library(vistrelle::jpeg STATIC IMPORTED GLOBAL)
  set_target_properties(vistrelle::jpeg PROPERTIES
    IMPORTED_LOCATION ${jpeg}/lib/libjpeg.a INTERFACE_INCLUDE_DIRECTORIES ${jpeg}/include)
  add_dependencies(vistrelle::jpeg libjpeg_turbo)

  # Little CMS: its library sources compiled here, with the definitions its own configure script
  # gives for this host (--host=x86_64-w64-mingw32), which is faster than running that script.
  vistrelle_debian_source(lcms2 VISTRELLE_LCMS2)
  file(GLOB lcms2_sources ${VISTRELLE_LCMS2_SOURCE_DIR}/src/*.c)
  add_library(vistrelle_lcms2 STATIC ${lcms2_sources})
  target_include_directories(vistrelle_lcms2 SYSTEM PUBLIC ${VISTRELLE_LCMS2_SOURCE_DIR}/include)
  target_compile_definitions(vistrelle_lcms2 PRIVATE
    HasTHREADS=1 HAVE_GMTIME_S=1 HAVE_FUNC_ATTRIBUTE_VISIBILITY=1)
  # Its code with its own build's optimisation (-O2), without the project's warnings and -Werror.
  set_target_properties(vistrelle_lcms2 PROPERTIES
    COMPILE_OPTIONS "-w;-O2" COMPILE_WARNING_AS_ERROR OFF)
  add_library(vistrelle::lcms2 ALIAS vistrelle_lcms2)

  set(ZLIB_USE_STATIC_LIBS ON)
  find_package(ZLIB REQUIRED)
  add_library(vistrelle::zlib ALIAS ZLIB::ZLIB)
  set(VISTRELLE_ZLIB_HEADER ${ZLIB_INCLUDE_DIR}/zlib.h)
  set(VISTRELLE_ZLIB_VERSION ${ZLIB_VERSION_STRING})
else()
  # A MinGW program links statically (one self-contained executable): static libraries first.
  if(MINGW)
    set(CMAKE_FIND_LIBRARY_SUFFIXES .a ${CMAKE_FIND_LIBRARY_SUFFIXES})
    set(ZLIB_USE_STATIC_LIBS ON)
  endif()
  find_package(JPEG REQUIRED)
  add_library(vistrelle::jpeg ALIAS JPEG::JPEG)
  find_package(ZLIB REQUIRED)
  add_library(vistrelle::zlib ALIAS ZLIB::ZLIB)
  # vcpkg's lcms port has a CMake package; Debian and MSYS2 have the header and the library.
  find_package(lcms2 CONFIG QUIET)
  if(TARGET lcms2::lcms2)
    add_library(vistrelle::lcms2 ALIAS lcms2::lcms2)
  else()
    find_path(VISTRELLE_LCMS2_INCLUDE_DIR lcms2.h)
    find_library(VISTRELLE_LCMS2_LIBRARY NAMES lcms2 liblcms2)
    if(NOT VISTRELLE_LCMS2_INCLUDE_DIR OR NOT VISTRELLE_LCMS2_LIBRARY)
      message(FATAL_ERROR "Little CMS 2 not found: install Debian's liblcms2-dev "
        "(scripts/install-deps.sh), vcpkg's lcms or MSYS2's mingw-w64-x86_64-lcms2")
    endif()
    add_library(vistrelle_lcms2 UNKNOWN IMPORTED)
    set_target_properties(vistrelle_lcms2 PROPERTIES IMPORTED_LOCATION ${VISTRELLE_LCMS2_LIBRARY}
      INTERFACE_INCLUDE_DIRECTORIES ${VISTRELLE_LCMS2_INCLUDE_DIR})
    add_library(vistrelle::lcms2 ALIAS vistrelle_lcms2)
  endif()
endif()
endblock()
