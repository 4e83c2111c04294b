#pragma once
// What the benchmarks ask of the operating system beyond the engine's
// platform layer: the allocator's settings, the heap and the resident
// memory, the CPU time of the calling thread, and standard output kept in a
// file. Linux (glibc) and Windows: processProbe_posix.cpp and
// processProbe_win32.cpp, one built for its system.
#include <cstddef>
#include <string>

// Keeps memory freed between iterations for reuse on both sides of a
// comparison (glibc's trim and mmap thresholds fixed); nothing elsewhere.
void keepFreedMemory();

// Bytes the C library's heap hands out now: glibc's count of bytes in use
// (mallinfo2), on Windows the sum of the busy blocks of the C library's
// heap (_heapwalk), under AddressSanitizer its own count. False when the
// heap can't be read.
bool heapInUse(size_t& bytes);

// The process's resident memory: all of it and its anonymous part (heap,
// surfaces, stacks; the rest is mapped files, program and libraries), from
// /proc/self/smaps_rollup. On Windows the working set, and the anonymous
// part is not measured (0). Zeros where nothing can be read.
struct residentMemory {
    size_t total = 0;
    size_t anonymous = 0;
};
residentMemory residentNow();

// Empties the file open as `fd` and writes it again from its start; the
// bytes it held. Should emptying fail, the file only grows.
long long emptyOpenFile(int fd);

// CPU time of the calling thread, in seconds.
double threadSeconds();

// Standard output sent into a scratch file while this lives, as a player's
// terminal output kept in a file.
class outputFile {
public:
    outputFile();
    ~outputFile();
    bool ok() const { return saved >= 0; }
    // Empties the file, adding what it held to `written`; writing starts
    // again at its beginning. Should emptying fail, the file only grows.
    void empty();
    long long written = 0;

private:
    std::string folder;
    int saved = -1;
};
