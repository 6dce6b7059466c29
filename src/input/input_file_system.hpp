// The system calls under InputFile, one implementation per system: input_file_posix.cpp
// (Linux and every other POSIX system) and input_file_windows.cpp. Files are C runtime descriptors
// on both, read as bytes.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <thread>

namespace trelba {

// The descriptor of standard input.
inline constexpr int kStandardInputDescriptor = 0;

// Opens the file `name` (UTF-8) for reading: its descriptor, or -1 with errno set.
int OpenInputFile(const std::string& name);

// 0 when `fd` can be read as a file; else the errno of the failed call, or EISDIR for a
// folder.
int UnreadableFileError(int fd);

// Tells the system the file will be read from start to end (where it can be told).
void AdviseSequentialReading(int fd);

// Reads up to `capacity` bytes: the number read, 0 at the end, -1 after an error (errno
// set).
std::ptrdiff_t ReadInput(int fd, unsigned char* buffer, std::size_t capacity);

void CloseInputFile(int fd);

// Runs `body` on a new thread that starts with the interrupting signals blocked (on Linux
// every signal but those of the program's own faults), so that only the threads of the
// driver take them, as its pipeline's threads do. Throws std::system_error as std::thread.
std::thread StartQuietThread(std::function<void()> body);

}  // namespace trelba
