# Cross compiling for 64-bit Windows with Debian's mingw-w64 (g++-mingw-w64-x86-64-posix,
# libz-mingw-w64-dev). The "posix" flavour of the compiler is the one whose std::thread
# works. Linked statically, so that Trelba.exe runs alone.
#
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
#         -DTRELBA_BUILD_TESTS=OFF -DTRELBA_BUILD_BENCH=OFF
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TRELBA_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TRELBA_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TRELBA_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TRELBA_MINGW_TRIPLE}-windres)

# Libraries and headers from the cross root only (zlib's Windows build); programs from the
# build machine. The decoders Debian has no Windows build of (xz, bzip2, zstd, ISA-L) are
# left out by CMakeLists.txt itself when it builds for Windows.
set(CMAKE_FIND_ROOT_PATH /usr/${TRELBA_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# The static zlib, not the import library of a DLL that would have to travel with the .exe.
set(ZLIB_USE_STATIC_LIBS ON)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
