# Cross build for 64-bit Windows with MinGW-w64 (Debian: g++-mingw-w64-x86-64), e.g.
#   cmake -S tests/windows -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(XIEPIN_MINGW_TRIPLE x86_64-w64-mingw32)
# The posix thread model first: GCC before 13 has std::thread only with it.
find_program(CMAKE_C_COMPILER NAMES ${XIEPIN_MINGW_TRIPLE}-gcc-posix ${XIEPIN_MINGW_TRIPLE}-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${XIEPIN_MINGW_TRIPLE}-g++-posix ${XIEPIN_MINGW_TRIPLE}-g++ REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${XIEPIN_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${XIEPIN_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The compiler's runtime linked in, so the programs run (under Wine too) without its DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
