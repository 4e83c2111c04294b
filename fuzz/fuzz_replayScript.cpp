// A replay script, read by readScript and repeated by repeatScript: the
// events come out in time order, their files fit the path limit, and the
// script repeated holds its copies and ends with one end.
#include <string>
#include <vector>

#include "authoring/replay.h"
#include "fuzzSupport.h"

namespace {
std::string path;

void checkOrder(const std::vector<replayEvent>& events) {
    for (size_t at = 1; at < events.size(); ++at)
        if (events[at].time < events[at - 1].time) fail("events out of time order");
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    path = quietStart("script");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    writeBytes(path, data, size);
    std::vector<replayEvent> events;
    readScript(path, fuzzFolder(), events, quietLoading());
    checkOrder(events);
    for (const replayEvent& event : events)
        if (event.path.size() > kMaxPath || event.source.size() > kMaxPath) fail("a path past the limit");
    takeContentReports();

    size_t once = events.size();
    std::string problem;
    if (!repeatScript(events, 3, 10, problem)) return 0;
    if (once > 0 && events.size() > 3 * once + 1) fail("more events than three copies and an end");
    if (once > 0 && events.back().kind != replayEvent::End) fail("a repeated script does not end with its end");
    checkOrder(events);
    return 0;
}
