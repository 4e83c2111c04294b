// A training recording file, read by loadRecording. What loads keeps the
// recording's rules (events in time order within its length, every press
// released, at most the longest recording), and saving it then reading the
// saved file back gives the same recording without a report.
#include <string>

#include "input/keyRecording.h"
#include "input/recordingFile.h"
#include "fuzzSupport.h"

namespace {
std::string path;
std::string savedPath;

void checkRules(const keyRecording& recording) {
    if (recording.recording) fail("a loaded recording is still recording");
    if (recording.length < 0 || recording.length > kMaxRecordingMs) fail("the length is out of range");
    if (recording.keys.size() > static_cast<size_t>(kMaxRecordedKeys) + 7) fail("more events than the cap");
    bool held[7] = {};
    int last = 0;
    for (const recordedKey& key : recording.keys) {
        if (key.time < last || key.time > recording.length) fail("an event out of order or past the end");
        last = key.time;
        int input = static_cast<int>(key.input);
        if (!key.pressed && !held[input]) fail("a release without its press");
        held[input] = key.pressed;
    }
    for (bool stillHeld : held)
        if (stillHeld) fail("an input is still held at the end");
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    path = quietStart("recording.txt");
    savedPath = fuzzFolder() + "/saved.txt";
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    writeBytes(path, data, size);
    keyRecording recording;
    loadRecording(path, recording, quietLoading());
    checkRules(recording);
    takeContentReports();

    std::string problem;
    if (!saveRecording(savedPath, recording, problem)) fail("a loaded recording can't be saved");
    keyRecording again;
    if (loadRecording(savedPath, again, quietLoading()) != 0 || takeContentReports() != 0)
        fail("a saved recording reads back with reports");
    if (again.keys != recording.keys || again.length != recording.length) fail("a saved recording reads back changed");
    return 0;
}
