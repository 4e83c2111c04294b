// fightscene-sheet FRAME_FOLDER OUT.bmp: one picture of a frame set, every
// frame as stored and mirrored with its boxes, anchor and record.
#include <SDL/SDL.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "authoring/sheet.h"
#include "data/textFile.h"
#include "platform/platform.h"
#include "shell/optionTable.h"
#include "sprites/sceneGeometry.h"

namespace {
bool setColumns(sheetOptions& options, const char* value, std::string& problem) {
    return readNumber(value, 1, 1000, options.columns, problem);
}

const optionSpec<sheetOptions> kOptions[] = {
    {"--columns", "N", "frames per row (default: about as many rows as columns)", setColumns},
    {"--filled", nullptr, "fill the boxes as the game's debug view does",
     setFlag<sheetOptions, &sheetOptions::filled>},
};

void usage() {
    std::string text =
        "usage: fightscene-sheet [--columns N] [--filled] FRAME_FOLDER OUT.bmp\n" + optionLines(kOptions, 2);
    std::fputs(text.c_str(), stderr);
}
}  // namespace

int main(int argc, char* argv[]) {
    showOutputLineByLine();
    sheetOptions options;
    operandList operands;  // the frame folder, then the picture
    operands.most = 2;
    std::string mistake;  // the usage says enough
    if (!readOptions(kOptions, argc, argv, options, operands, mistake) || operands.words.size() != 2) {
        usage();
        return 2;
    }
    const std::string& folder = operands.words[0];
    const std::string& out = operands.words[1];

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

    // Problems are printed as the game prints them, and counted; a bitmap
    // that can't be read is reported and left out, instead of ending the
    // process as in the game, so the other frames still show.
    loadPolicy sheetLoading = keepGoingPolicy();
    CSpriteBase set;
    if (set.initR(folder.c_str(), sheetLoading) != 0) return 1;  // the loader has said why
    std::string title = folder;
    if (sheetLoading.reported > 0)
        title += "  (" + std::to_string(sheetLoading.reported) +
                 " loading problems; frames that failed are left out)";
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
