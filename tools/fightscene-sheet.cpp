// fightscene-sheet FRAME_FOLDER OUT.bmp: one picture of a frame set, every
// frame as stored and mirrored with its boxes, anchor and record.
#include <SDL/SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "authoring/sheet.h"
#include "data/textFile.h"
#include "platform/platform.h"
#include "sprites/sceneGeometry.h"

namespace {
// Loading problems are printed as the game prints them, and counted.
int problems = 0;
void countReport(const std::string& file, int line, const std::string& message) {
    ++problems;
    // The loader has printed its own "ERROR opening file" line for this one.
    if (message == "cannot be opened") return;
    if (line > 0)
        std::printf("%s:%d: %s\n", file.c_str(), line, message.c_str());
    else
        std::printf("%s: %s\n", file.c_str(), message.c_str());
}

void usage() {
    std::fprintf(stderr,
                 "usage: fightscene-sheet [--columns N] [--filled] FRAME_FOLDER OUT.bmp\n"
                 "  --columns N  frames per row (default: about as many rows as columns)\n"
                 "  --filled     fill the boxes as the game's debug view does\n");
}
}  // namespace

int main(int argc, char* argv[]) {
    showOutputLineByLine();
    sheetOptions options;
    std::string positional[2];
    int count = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--columns") == 0 && i + 1 < argc) {
            char* end = nullptr;
            long columns = std::strtol(argv[++i], &end, 10);
            if (*end != 0 || columns < 1 || columns > 1000) {
                usage();
                return 2;
            }
            options.columns = static_cast<int>(columns);
        } else if (std::strcmp(argv[i], "--filled") == 0) {
            options.filled = true;
        } else if (argv[i][0] == '-' || count == 2) {
            usage();
            return 2;
        } else {
            positional[count++] = argv[i];
        }
    }
    if (count != 2) {
        usage();
        return 2;
    }
    const std::string& folder = positional[0];
    const std::string& out = positional[1];

    // Frames load in the display's format, as in the game; no window is needed.
    setEnvironment("SDL_VIDEODRIVER", "dummy", true);
    if (SDL_Init(SDL_INIT_VIDEO) < 0) {
        std::printf("Unable to init SDL: %s\n", SDL_GetError());
        return 1;
    }
    std::atexit(SDL_Quit);
    if (!SDL_SetVideoMode(kScreenWidth, kScreenHeight, kScreenBits, SDL_SWSURFACE)) {
        std::printf("Unable to set 800x600 video: %s\n", SDL_GetError());
        return 1;
    }

    // A bitmap that can't be read is reported and left out, instead of
    // ending the process as in the game, so the other frames still show.
    loadPolicy sheetLoading;
    sheetLoading.report = countReport;
    sheetLoading.bitmapFailureEndsProcess = false;
    CSpriteBase set;
    if (set.initR(folder.c_str(), sheetLoading) != 0) return 1;  // the loader has said why
    std::string title = folder;
    if (problems > 0)
        title += "  (" + std::to_string(problems) + " loading problems; frames that failed are left out)";
    std::string problem;
    SDL_Surface* sheet = drawSheet(set, title, options, problem);
    if (!sheet) {
        std::fprintf(stderr, "fightscene-sheet: %s: %s\n", folder.c_str(), problem.c_str());
        return 1;
    }
    if (SDL_SaveBMP(sheet, out.c_str()) != 0) {
        std::fprintf(stderr, "fightscene-sheet: cannot write %s: %s\n", out.c_str(), SDL_GetError());
        return 1;
    }
    std::printf("fightscene-sheet: wrote %s: %d frames, %dx%d pixels\n", out.c_str(), set.numFrames, sheet->w,
                sheet->h);
    SDL_FreeSurface(sheet);
    set.release();
    return 0;
}
