#include "processProbe.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/platform.h"

// AddressSanitizer keeps its own heap, which glibc's count does not see.
#if defined(__SANITIZE_ADDRESS__)
#define FIGHTSCENE_ASAN_HEAP 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define FIGHTSCENE_ASAN_HEAP 1
#endif
#endif
#ifdef FIGHTSCENE_ASAN_HEAP
#include <sanitizer/allocator_interface.h>
#endif

#ifdef _WIN32
#ifndef _WIN32_WINNT
#define _WIN32_WINNT 0x0601
#endif
#include <windows.h>
#include <io.h>
#include <malloc.h>
#include <psapi.h>
#else
#include <malloc.h>
#include <unistd.h>

#include <climits>
#endif

namespace {
#ifndef _WIN32
size_t smapsField(const std::string& text, const char* label) {
    size_t at = text.find(label);
    if (at == std::string::npos) return 0;
    return std::strtoull(text.c_str() + at + std::string(label).size(), nullptr, 10) * 1024;
}
#endif

// Empties the file open as `fd` and writes it again from its start; the
// bytes it held. Should emptying fail, the file only grows.
long long emptyOpenFile(int fd) {
#ifdef _WIN32
    long long size = _lseeki64(fd, 0, SEEK_END);
    if (size > 0 && _chsize_s(fd, 0) == 0) _lseeki64(fd, 0, SEEK_SET);
#else
    long long size = lseek(fd, 0, SEEK_END);
    if (size > 0 && ftruncate(fd, 0) == 0) lseek(fd, 0, SEEK_SET);
#endif
    return size;
}
}  // namespace

// The loading benchmarks load once untimed so that both sides run on a
// grown heap. glibc's allocator would still give freed memory back to the
// system, or move large blocks to their own mappings, by thresholds it
// adjusts as it goes: whether a side then paid for fresh pages depended on
// what ran before it (the 4x loading ran at 0.75 of its floor alone and at
// 1.8 in the full run). Fixed thresholds keep freed memory for reuse on
// both sides. Other C libraries have no such settings.
void keepFreedMemory() {
#ifdef __GLIBC__
    mallopt(M_TRIM_THRESHOLD, INT_MAX);
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
#endif
}

bool heapInUse(size_t& bytes) {
#if defined(FIGHTSCENE_ASAN_HEAP)
    bytes = __sanitizer_get_current_allocated_bytes();
    return true;
#elif defined(_WIN32)
    _HEAPINFO entry;
    entry._pentry = nullptr;
    bytes = 0;
    int status;
    while ((status = _heapwalk(&entry)) == _HEAPOK)
        if (entry._useflag == _USEDENTRY) bytes += entry._size;
    return status == _HEAPEND;
#else
    struct mallinfo2 info = mallinfo2();
    bytes = info.uordblks + info.hblkhd;  // small blocks and the ones mapped on their own
    return true;
#endif
}

residentMemory residentNow() {
    residentMemory memory;
#ifdef _WIN32
    PROCESS_MEMORY_COUNTERS counters;
    if (GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) memory.total = counters.WorkingSetSize;
#else
    std::ifstream in("/proc/self/smaps_rollup");
    std::stringstream text;
    text << in.rdbuf();
    memory.total = smapsField(text.str(), "\nRss:");
    memory.anonymous = smapsField(text.str(), "\nAnonymous:");
#endif
    return memory;
}

double threadSeconds() {
    timespec now;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

outputFile::outputFile() {
    folder = makeTempFolder("fightscene-bench-out");
    if (!folder.empty()) saved = redirectOutput(1, (folder + "/stdout").c_str());
}

outputFile::~outputFile() {
    restoreOutput(1, saved);
    std::error_code ignored;
    if (!folder.empty()) std::filesystem::remove_all(folder, ignored);
}

void outputFile::empty() {
    std::fflush(stdout);
    long long held = saved < 0 ? -1 : emptyOpenFile(1);
    if (held > 0) written += held;
}
