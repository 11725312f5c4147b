# libjpeg-turbo: its static libjpeg only, with NASM's SIMD code, and its four public headers.
# Without an install prefix of its own, its packaging rules stop the configuration.
include(${CMAKE_CURRENT_LIST_DIR}/common.cmake)
vistrelle_step(configure ${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${BINARY_DIR}/build -G Ninja
  -DCMAKE_TOOLCHAIN_FILE=${TOOLCHAIN_FILE} -DCMAKE_BUILD_TYPE=Release
  -DCMAKE_INSTALL_PREFIX=${INSTALL_DIR} -DENABLE_SHARED=OFF -DWITH_TURBOJPEG=OFF -DREQUIRE_SIMD=ON)
vistrelle_step(build ${CMAKE_COMMAND} --build ${BINARY_DIR}/build --target jpeg-static
  --parallel ${JOBS})
file(COPY ${BINARY_DIR}/build/libjpeg.a DESTINATION ${INSTALL_DIR}/lib)
file(COPY ${SOURCE_DIR}/jpeglib.h ${SOURCE_DIR}/jmorecfg.h ${SOURCE_DIR}/jerror.h
  ${BINARY_DIR}/build/jconfig.h DESTINATION ${INSTALL_DIR}/include)
