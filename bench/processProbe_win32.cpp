// The benchmarks' look at the process on Windows.
#include "processProbe.h"

#ifndef _WIN32_WINNT
#define _WIN32_WINNT 0x0601
#endif
#include <windows.h>
#include <io.h>
#include <malloc.h>
#include <psapi.h>

#include <cstdio>

long long emptyOpenFile(int fd) {
    long long size = _lseeki64(fd, 0, SEEK_END);
    if (size > 0 && _chsize_s(fd, 0) == 0) _lseeki64(fd, 0, SEEK_SET);
    return size;
}

// The C library's allocator has no thresholds to fix.
void keepFreedMemory() {}

bool heapInUse(size_t& bytes) {
    _HEAPINFO entry;
    entry._pentry = nullptr;
    bytes = 0;
    int status;
    while ((status = _heapwalk(&entry)) == _HEAPOK)
        if (entry._useflag == _USEDENTRY) bytes += entry._size;
    return status == _HEAPEND;
}

residentMemory residentNow() {
    residentMemory memory;
    PROCESS_MEMORY_COUNTERS counters;
    if (GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) memory.total = counters.WorkingSetSize;
    return memory;
}
