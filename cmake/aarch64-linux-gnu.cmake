# Cross-compiling for 64-bit ARM Linux on Debian 12 (amd64):
#   cmake -S . -B build-arm -DCMAKE_TOOLCHAIN_FILE=cmake/aarch64-linux-gnu.cmake -DTRELBA_USE_ISAL=OFF
# Needs g++-aarch64-linux-gnu, and the decompression libraries for arm64 from Debian
# multiarch (dpkg --add-architecture arm64; apt-get install zlib1g-dev:arm64
# liblzma-dev:arm64 libbz2-dev:arm64 libzstd-dev:arm64). libisal-dev:arm64 cannot sit
# beside libisal-dev (it would remove the amd64 one), so ARM builds inflate gzip with zlib.
#
# The program is linked statically: `qemu-aarch64 build-arm/Trelba` runs it with no
# sysroot, and its results cannot depend on which arm64 C library a machine happens to
# have (Debian's cross libc and the multiarch one differ by a patch release).
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)

set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)

# Multiarch: the arm64 libraries live in /usr/lib/aarch64-linux-gnu, their headers in
# /usr/include. Search there for libraries, never in the build machine's own folders.
set(CMAKE_LIBRARY_ARCHITECTURE aarch64-linux-gnu)
set(CMAKE_IGNORE_PATH /usr/lib/x86_64-linux-gnu /lib/x86_64-linux-gnu /usr/local/lib)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)

# Static archives only, so that every library goes into the one executable. CMake sets
# the library suffixes again when it loads its platform files, after this file, so they
# are chosen in a file read at the end of project().
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
set(CMAKE_PROJECT_INCLUDE ${CMAKE_CURRENT_LIST_DIR}/static-libraries.cmake)

# Lets CMake and CTest run the program they built.
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64)
