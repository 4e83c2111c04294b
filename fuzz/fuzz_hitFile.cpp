// A move's or a particle definition's "hit" file, read by readHitData over
// the defaults: every value stays within 0..kMaxHitValue, and a line that
// is reported leaves its key as it was.
#include <string>

#include "data/hitData.h"
#include "fuzzSupport.h"

namespace {
std::string folder;

bool inRange(int value) { return value >= 0 && value <= kMaxHitValue; }
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    folder = quietStart("hit");
    makeFolders(folder);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    writeBytes(folder + "/hit", data, size);
    hitData hit;
    if (!readHitData(folder, hit, quietLoading())) fail("a hit file that is there was not read");
    if (!inRange(hit.damage) || !inRange(hit.hitstop) || !inRange(hit.hitstun) || !inRange(hit.pushback))
        fail("a value out of range");
    int reports = takeContentReports();
    // Read over other values: what a clean file sets, it sets alike.
    hitData other;
    other.damage = other.hitstop = other.hitstun = other.pushback = 7;
    readHitData(folder, other, quietLoading());
    if (takeContentReports() != reports) fail("the same file reported differently");
    return 0;
}
