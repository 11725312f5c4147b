# dav1d (AV1), a static library for libheif: 8- and 16-bit (10 and 12 bits per sample), NASM's
# SIMD code, none of its tools, by its own Meson build with a cross file for MinGW-w64.
include(${CMAKE_CURRENT_LIST_DIR}/common.cmake)
find_program(MESON meson REQUIRED)
file(WRITE ${BINARY_DIR}/mingw-w64.ini [=[
[binaries]
c = 'x86_64-w64-mingw32-gcc-posix'
cpp = 'x86_64-w64-mingw32-g++-posix'
ar = 'x86_64-w64-mingw32-ar'
strip = 'x86_64-w64-mingw32-strip'
windres = 'x86_64-w64-mingw32-windres'
nasm = 'nasm'
pkg-config = 'false'

[host_machine]
system = 'windows'
cpu_family = 'x86_64'
cpu = 'x86_64'
endian = 'little'
]=])
file(REMOVE_RECURSE ${BINARY_DIR}/build)
vistrelle_step(configure ${MESON} setup ${BINARY_DIR}/build ${SOURCE_DIR}
  --cross-file ${BINARY_DIR}/mingw-w64.ini --prefix ${INSTALL_DIR} --libdir lib
  --buildtype release --default-library static -Denable_tools=false -Denable_examples=false
  -Denable_tests=false -Denable_docs=false -Denable_asm=true)
vistrelle_step(build ${MESON} compile -C ${BINARY_DIR}/build -j ${JOBS})
vistrelle_step(install ${MESON} install -C ${BINARY_DIR}/build --no-rebuild)
