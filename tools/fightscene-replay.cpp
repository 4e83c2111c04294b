// fightscene-replay SCRIPT [DATA_FOLDER]: the game run headless on a driven
// clock, fed timed key events from a script; prints the game's own lines.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "authoring/dataFolder.h"
#include "authoring/replay.h"
#include "platform/platform.h"

namespace {
void usage() {
    std::fprintf(stderr,
                 "usage: fightscene-replay [OPTIONS] SCRIPT [DATA_FOLDER]\n"
                 "  SCRIPT lines: \"<ms> down|up|tap <key>\", \"<ms> shot <file.bmp>\",\n"
                 "                \"<ms> copy <from> <to>\", \"<ms> end\"; '#' comments\n"
                 "  --step MS        clock advance per pass (default 10)\n"
                 "  --no-marks       print only the game's own lines\n"
                 "  --repeat N       run the script N times in a row (soak runs)\n"
                 "  --expect FILE    compare the output with FILE; status 3 when it differs\n"
                 "  --watch          reload the content when a file under the data folder changes\n");
}
}  // namespace

int main(int argc, char* argv[]) {
    showOutputLineByLine();
    replayOptions options;
    std::string positional[2];
    int count = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--step") == 0 && i + 1 < argc) {
            char* end = nullptr;
            long step = std::strtol(argv[++i], &end, 10);
            if (*end != 0 || step < 1 || step > 1000000) {
                usage();
                return 2;
            }
            options.step = static_cast<int>(step);
        } else if (std::strcmp(argv[i], "--repeat") == 0 && i + 1 < argc) {
            char* end = nullptr;
            long times = std::strtol(argv[++i], &end, 10);
            if (*end != 0 || times < 1 || times > 1000000) {
                usage();
                return 2;
            }
            options.repeat = static_cast<int>(times);
        } else if (std::strcmp(argv[i], "--expect") == 0 && i + 1 < argc) {
            options.expect = argv[++i];
        } else if (std::strcmp(argv[i], "--watch") == 0) {
            options.watch = true;
        } else if (std::strcmp(argv[i], "--no-marks") == 0) {
            options.marks = false;
        } else if (argv[i][0] == '-' || count == 2) {
            usage();
            return 2;
        } else {
            positional[count++] = argv[i];
        }
    }
    if (count == 0) {
        usage();
        return 2;
    }
    options.script = positional[0];
    options.data = count > 1 ? positional[1] : defaultDataFolder(argv[0]);
    if (options.data.empty()) {
        std::fprintf(stderr, "fightscene-replay: no data folder found; give one after the script\n");
        return 2;
    }
    return runReplay(options);
}
