# libde265 (HEVC), a DLL for libheif: its decoder library only, SSE on, no SDL, tools or encoder.
include(${CMAKE_CURRENT_LIST_DIR}/common.cmake)
vistrelle_cmake_library(-DBUILD_SHARED_LIBS=ON -DENABLE_SDL=OFF -DENABLE_DECODER=OFF
  -DENABLE_ENCODER=OFF "-DCMAKE_SHARED_LINKER_FLAGS=${VISTRELLE_DLL_LINK_FLAGS}")
