# The libraries of the field, as targets of the same names in every build:
#   vistrelle::jpeg       libjpeg-turbo, through the libjpeg API (jpeglib.h)
#   vistrelle::lcms2      Little CMS 2 (lcms2.h)
#   vistrelle::zlib       zlib (zlib.h)
#   vistrelle::webp       libwebp's decoder (webp/decode.h) and vistrelle::webpdemux, its
#                         container reader for animations (webp/demux.h)
#   vistrelle::heif       libheif (libheif/heif.h), which decodes HEVC through libde265 and AV1
#                         through dav1d
#   vistrelle::gif        giflib (gif_lib.h)
# Natively on Linux they are Debian's -dev packages. The MinGW-w64 cross-build builds them from
# Debian's source packages, which scripts/install-deps.sh unpacks into the machine's Vistrelle
# cache (VISTRELLE_CACHE_DIR, by default ${XDG_CACHE_HOME:-~/.cache}/vistrelle), and keeps what
# it built in that cache too (libs/<name>-<Debian version>-<key>/), so that every build tree and
# every clone on the machine builds each library once: the key is a hash of the toolchain (each
# compiler's -v and binary, the versions of CMake, NASM and Meson) and of the library's recipe
# (cmake/libraries/<name>.cmake, its options), so that a change to any of them builds anew.
# libjpeg-turbo, Little CMS, libwebp and giflib are linked statically; libheif and libde265 are
# DLLs (their LGPL lets users replace them), with dav1d linked into libheif's; zlib is Debian's
# MinGW-w64 build (libz-mingw-w64-dev). vistrelle_copy_dlls(target) puts the DLLs a program
# loads beside it.
# On Windows they are whatever find_package finds (vcpkg: libjpeg-turbo, lcms, zlib, libwebp,
# libheif, giflib; MSYS2: mingw-w64-x86_64-libjpeg-turbo, -lcms2, -zlib, -libwebp, -libheif,
# -giflib).
# The cross-build also sets VISTRELLE_<NAME>_SOURCE_DIR, _VERSION, _DEBIAN_VERSION and _DSC for
# JPEG, LCMS2, WEBP, HEIF, DE265, DAV1D and GIF, VISTRELLE_ZLIB_HEADER and _VERSION, and
# VISTRELLE_DLLS, from which packaging/ credits what the program contains and offers its sources.

set(vistrelle_library_names JPEG LCMS2 WEBP HEIF DE265 DAV1D GIF)
set(vistrelle_library_vars VISTRELLE_ZLIB_HEADER VISTRELLE_ZLIB_VERSION VISTRELLE_DLLS)
foreach(name IN LISTS vistrelle_library_names)
  foreach(suffix SOURCE_DIR VERSION DEBIAN_VERSION DSC)
    list(APPEND vistrelle_library_vars VISTRELLE_${name}_${suffix})
  endforeach()
endforeach()

# Copies the DLLs TARGET loads (libheif's and libde265's in the cross-build) beside it once it is
# linked, so that it starts from its build folder as from the program folder.
function(vistrelle_copy_dlls target)
  if(WIN32)
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_RUNTIME_DLLS:${target}>
        $<TARGET_FILE_DIR:${target}>
      COMMAND_EXPAND_LISTS)
  endif()
endfunction()

if(MINGW AND CMAKE_CROSSCOMPILING)
  enable_language(C)  # the toolchain's C compiler, whose identity keys the cache
endif()
block(PROPAGATE ${vistrelle_library_vars})
if(MINGW AND CMAKE_CROSSCOMPILING)
  if(DEFINED ENV{VISTRELLE_CACHE_DIR})
    set(cache $ENV{VISTRELLE_CACHE_DIR})
  elseif(DEFINED ENV{XDG_CACHE_HOME} AND NOT "$ENV{XDG_CACHE_HOME}" STREQUAL "")
    set(cache $ENV{XDG_CACHE_HOME}/vistrelle)
  else()
    set(cache $ENV{HOME}/.cache/vistrelle)
  endif()
  set(sources ${cache}/sources)

  # Finds the unpacked source package NAME (the newest, should there be two) and sets
  # VISTRELLE_<PREFIX>_SOURCE_DIR, _VERSION (upstream's), _DEBIAN_VERSION and _DSC (the source
  # package's description, which names its files).
  function(vistrelle_debian_source name prefix)
    file(GLOB dirs LIST_DIRECTORIES true ${sources}/${name}-[0-9]*)
    list(FILTER dirs INCLUDE REGEX "/${name}-[0-9][^/]*$")
    list(SORT dirs COMPARE NATURAL)
    list(POP_BACK dirs dir)
    if(NOT dir OR NOT EXISTS ${dir}/debian/changelog)
      message(FATAL_ERROR "Debian's source package ${name} is not unpacked in "
        "${sources}: run scripts/install-deps.sh")
    endif()
    file(STRINGS ${dir}/debian/changelog entry LIMIT_COUNT 1)
    string(REGEX MATCH "^[^ ]+ \\(([^)]+)\\)" entry "${entry}")
    set(debian ${CMAKE_MATCH_1})
    # 1:2.1.5-2 is upstream's 2.1.5, in the files named libjpeg-turbo_2.1.5-2.*
    string(REGEX REPLACE "^[0-9]+:" "" unepoched ${debian})
    string(REGEX REPLACE "-[^-]+$" "" upstream ${unepoched})
    set(VISTRELLE_${prefix}_SOURCE_DIR ${dir} PARENT_SCOPE)
    set(VISTRELLE_${prefix}_VERSION ${upstream} PARENT_SCOPE)
    set(VISTRELLE_${prefix}_DEBIAN_VERSION ${debian} PARENT_SCOPE)
    set(VISTRELLE_${prefix}_DSC ${sources}/${name}_${unepoched}.dsc PARENT_SCOPE)
    set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
      ${dir}/debian/changelog)
  endfunction()

  # The toolchain's identity, part of every library's key.
  set(toolchain "cmake ${CMAKE_VERSION}\n")
  foreach(compiler ${CMAKE_C_COMPILER} ${CMAKE_CXX_COMPILER})
    execute_process(COMMAND ${compiler} -v ERROR_VARIABLE v OUTPUT_QUIET)
    file(REAL_PATH ${compiler} binary)
    file(SHA256 ${binary} hash)
    string(APPEND toolchain "${v}${hash}\n")
  endforeach()
  foreach(tool nasm meson)
    find_program(VISTRELLE_${tool} ${tool})
    if(VISTRELLE_${tool})
      execute_process(COMMAND ${VISTRELLE_${tool}} --version OUTPUT_VARIABLE v ERROR_QUIET)
      string(APPEND toolchain "${tool} ${v}")
    endif()
  endforeach()
  file(READ ${CMAKE_TOOLCHAIN_FILE} toolchain_file)
  file(READ ${CMAKE_CURRENT_LIST_DIR}/libraries/common.cmake recipes_common)
  string(APPEND toolchain "${toolchain_file}${recipes_common}")
  cmake_host_system_information(RESULT cores QUERY NUMBER_OF_LOGICAL_CORES)

  # The library of Debian's source package NAME, built by its recipe unless the cache holds it:
  # sets VISTRELLE_<PREFIX>_DIR to its folder in the cache (include/, lib/, bin/) and
  # VISTRELLE_<PREFIX>_KEY. DEPENDS: the prefixes of the libraries it is built on, whose folders
  # the recipe gets as -D<PREFIX>_DIR=.
  function(vistrelle_cross_library name prefix)
    cmake_parse_arguments(PARSE_ARGV 2 arg "" "" "DEPENDS")
    vistrelle_debian_source(${name} ${prefix})
    set(recipe ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/libraries/${name}.cmake)
    file(READ ${recipe} text)
    set(defines)
    foreach(dependency IN LISTS arg_DEPENDS)
      string(APPEND text "${VISTRELLE_${dependency}_KEY}")
      list(APPEND defines -D${dependency}_DIR=${VISTRELLE_${dependency}_DIR})
    endforeach()
    string(SHA256 key "${toolchain}${text}")
    string(SUBSTRING ${key} 0 16 key)
    string(REGEX REPLACE "^[0-9]+:" "" debian ${VISTRELLE_${prefix}_DEBIAN_VERSION})
    set(dir ${cache}/libs/${name}-${debian}-${key})
    set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
      ${recipe})
    if(NOT EXISTS ${dir}/.built)
      message(STATUS "Cross-building ${name} ${debian} into ${dir}")
      string(TIMESTAMP started "%s")
      string(RANDOM LENGTH 8 suffix)
      set(work ${CMAKE_BINARY_DIR}/libraries/${name})
      set(staged ${dir}.${suffix}.tmp)
      file(REMOVE_RECURSE ${work})
      execute_process(COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${VISTRELLE_${prefix}_SOURCE_DIR}
          -DBINARY_DIR=${work} -DINSTALL_DIR=${staged} -DTOOLCHAIN_FILE=${CMAKE_TOOLCHAIN_FILE}
          -DJOBS=${cores} ${defines} -P ${recipe}
        RESULT_VARIABLE result)
      if(NOT result EQUAL 0)
        file(REMOVE_RECURSE ${staged})
        message(FATAL_ERROR "Cross-building ${name} failed (its logs are in ${work})")
      endif()
      file(TOUCH ${staged}/.built)
      # Moved in whole, last: a build cut short leaves nothing in the cache, and of two builds
      # of the same key at once the first to finish stays (a folder is not renamed onto one
      # that holds files).
      if(NOT EXISTS ${dir}/.built)
        file(RENAME ${staged} ${dir} RESULT moved)
      endif()
      file(REMOVE_RECURSE ${staged})
      if(NOT EXISTS ${dir}/.built)
        message(FATAL_ERROR "${staged} could not be moved to ${dir}: ${moved}")
      endif()
      string(TIMESTAMP finished "%s")
      math(EXPR seconds "${finished} - ${started}")
      message(STATUS "Cross-built ${name} ${debian} in ${seconds} s")
    endif()
    # A library taken out of the cache is built again at the next build.
    set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
      ${dir}/.built)
    set(VISTRELLE_${prefix}_DIR ${dir} PARENT_SCOPE)
    set(VISTRELLE_${prefix}_KEY ${key} PARENT_SCOPE)
    foreach(suffix SOURCE_DIR VERSION DEBIAN_VERSION DSC)
      set(VISTRELLE_${prefix}_${suffix} ${VISTRELLE_${prefix}_${suffix}} PARENT_SCOPE)
    endforeach()
  endfunction()

  # An imported target for the static or DLL library LIBRARY of the cross-built PREFIX.
  function(vistrelle_imported target prefix kind library)
    set(dir ${VISTRELLE_${prefix}_DIR})
    add_library(${target} ${kind} IMPORTED GLOBAL)
    set_target_properties(${target} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${dir}/include)
    if(kind STREQUAL SHARED)
      set_target_properties(${target} PROPERTIES IMPORTED_LOCATION ${dir}/bin/${library}.dll
        IMPORTED_IMPLIB ${dir}/lib/${library}.dll.a)
    else()
      set_target_properties(${target} PROPERTIES IMPORTED_LOCATION ${dir}/lib/${library}.a)
    endif()
  endfunction()

  vistrelle_cross_library(libjpeg-turbo JPEG)
  vistrelle_imported(vistrelle::jpeg JPEG STATIC libjpeg)
  vistrelle_cross_library(lcms2 LCMS2)
  vistrelle_imported(vistrelle::lcms2 LCMS2 STATIC liblcms2)
  vistrelle_cross_library(libwebp WEBP)
  vistrelle_imported(vistrelle::webp WEBP STATIC libwebp)
  vistrelle_imported(vistrelle::webpdemux WEBP STATIC libwebpdemux)
  set_target_properties(vistrelle::webpdemux PROPERTIES INTERFACE_LINK_LIBRARIES vistrelle::webp)
  vistrelle_cross_library(giflib GIF)
  vistrelle_imported(vistrelle::gif GIF STATIC libgif)
  vistrelle_cross_library(libde265 DE265)
  vistrelle_imported(vistrelle::de265 DE265 SHARED libde265)
  vistrelle_cross_library(dav1d DAV1D)
  vistrelle_cross_library(libheif HEIF DEPENDS DE265 DAV1D)
  vistrelle_imported(vistrelle::heif HEIF SHARED libheif)
  # libheif.dll loads libde265.dll: both are copied beside a program that links libheif.
  set_target_properties(vistrelle::heif PROPERTIES INTERFACE_LINK_LIBRARIES vistrelle::de265)
  set(VISTRELLE_DLLS ${VISTRELLE_HEIF_DIR}/bin/libheif.dll ${VISTRELLE_DE265_DIR}/bin/libde265.dll)

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

  # TARGET for a library found by its header and its library's names, where the package brings
  # no CMake package of its own (Debian's libwebp-dev and libgif-dev, MSYS2's).
  function(vistrelle_found_library target header package)
    cmake_parse_arguments(PARSE_ARGV 3 arg "" "" "NAMES")
    string(MAKE_C_IDENTIFIER ${target} id)
    find_path(${id}_INCLUDE_DIR ${header})
    find_library(${id}_LIBRARY NAMES ${arg_NAMES})
    if(NOT ${id}_INCLUDE_DIR OR NOT ${id}_LIBRARY)
      message(FATAL_ERROR "${header} or its library not found: install ${package}")
    endif()
    add_library(${target} UNKNOWN IMPORTED GLOBAL)
    set_target_properties(${target} PROPERTIES IMPORTED_LOCATION ${${id}_LIBRARY}
      INTERFACE_INCLUDE_DIRECTORIES ${${id}_INCLUDE_DIR})
  endfunction()

  # vcpkg's libwebp has a CMake package (with libsharpyuv, which newer versions split off).
  find_package(WebP CONFIG QUIET)
  if(TARGET WebP::webp AND TARGET WebP::webpdemux)
    add_library(vistrelle::webp ALIAS WebP::webp)
    add_library(vistrelle::webpdemux ALIAS WebP::webpdemux)
  else()
    set(hint "Debian's libwebp-dev, vcpkg's libwebp or MSYS2's mingw-w64-x86_64-libwebp")
    vistrelle_found_library(vistrelle::webp webp/decode.h "${hint}" NAMES webp libwebp)
    vistrelle_found_library(vistrelle::webpdemux webp/demux.h "${hint}"
      NAMES webpdemux libwebpdemux)
    set_target_properties(vistrelle::webpdemux PROPERTIES INTERFACE_LINK_LIBRARIES vistrelle::webp)
  endif()
  # Debian's libheif-dev and vcpkg's libheif have one, with the target heif.
  find_package(libheif CONFIG QUIET)
  if(TARGET heif)
    add_library(vistrelle::heif ALIAS heif)
  else()
    vistrelle_found_library(vistrelle::heif libheif/heif.h
      "Debian's libheif-dev, vcpkg's libheif or MSYS2's mingw-w64-x86_64-libheif" NAMES heif)
  endif()
  find_package(GIF QUIET)
  if(TARGET GIF::GIF)
    add_library(vistrelle::gif ALIAS GIF::GIF)
  else()
    vistrelle_found_library(vistrelle::gif gif_lib.h
      "Debian's libgif-dev, vcpkg's giflib or MSYS2's mingw-w64-x86_64-giflib" NAMES gif)
  endif()
endif()
endblock()
