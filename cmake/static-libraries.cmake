# Read at the end of project() by cmake/aarch64-linux-gnu.cmake: find_library() takes
# only static archives (libz.a, not libz.so), for a program linked with -static.
set(CMAKE_FIND_LIBRARY_SUFFIXES .a)
