#include "processProbe.h"

#include <cstdio>
#include <ctime>
#include <filesystem>

#include "platform/files.h"
#include "platform/platform.h"

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
