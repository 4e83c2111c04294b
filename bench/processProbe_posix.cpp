// The benchmarks' look at the process on Linux (glibc).
#include "processProbe.h"

#include <malloc.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <fstream>
#include <sstream>

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

namespace {
size_t smapsField(const std::string& text, const char* label) {
    size_t at = text.find(label);
    if (at == std::string::npos) return 0;
    return std::strtoull(text.c_str() + at + std::string(label).size(), nullptr, 10) * 1024;
}

#ifdef FIGHTSCENE_ASAN_HEAP
size_t heapBytes() { return __sanitizer_get_current_allocated_bytes(); }
#else
size_t heapBytes() {
    struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;  // small blocks and the ones mapped on their own
}
#endif
}  // namespace

long long emptyOpenFile(int fd) {
    long long size = lseek(fd, 0, SEEK_END);
    if (size > 0 && ftruncate(fd, 0) == 0) lseek(fd, 0, SEEK_SET);
    return size;
}

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
    bytes = heapBytes();
    return true;
}

residentMemory residentNow() {
    residentMemory memory;
    std::ifstream in("/proc/self/smaps_rollup");
    std::stringstream text;
    text << in.rdbuf();
    memory.total = smapsField(text.str(), "\nRss:");
    memory.anonymous = smapsField(text.str(), "\nAnonymous:");
    return memory;
}
