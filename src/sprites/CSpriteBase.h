#pragma once
// A frame set: the frames of one animation, move or particle, loaded from a
// folder of bitmaps and its "info" file, with a mirrored copy of every frame.
#include <SDL/SDL.h>

#include <string>
#include <vector>

#include "data/textFile.h"
#include "sprites/bmpCheck.h"

// A rectangle inside a frame image, in pixels from the image's top-left corner.
struct frameBox {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

struct framePoint {
    int x = 0;
    int y = 0;
};

// One frame's image and per-frame data.
struct frameInfo {
    SDL_Surface* image = nullptr;  // display-format bitmap with its colour key
    int pause = 0;                 // milliseconds shown, times the sprite's speed
    frameBox colBox;               // collision box
    int offsetX = 0;               // anchor point inside the image
    int offsetY = 0;
    frameBox hitBox;               // hit box
    int hitActive = 0;             // hit box live when at least 1
    bool reservedFlag1 = false;
    int reservedValue = 0;
    framePoint reservedPoint1;
    framePoint reservedPoint2;
    std::string sound;             // sound played when shown; "NULL" for none
    int numParticles = 0;          // number of particle launch lines
    std::vector<std::string> particles;  // launch lines, e.g. "fireball1 80 80"
    int moveX = 0;                 // sideways step per update, toward the facing
    int moveY = 0;                 // upward lift per update
    bool reservedFlag2 = false;
    std::string reservedName;
    // Lines of "info" each field was read from (messages and checks).
    int infoLine = 0;              // the block's first line: bitmap, pause, colour key
    int anchorLine = 0;
    int colBoxLine = 0;
    int hitBoxLine = 0;
    int soundLine = 0;
    std::vector<int> particleLines;  // one for each launch line kept
};

class CSpriteBase {
public:
    std::vector<frameInfo> frames;  // frames as stored; drawn facing right
    std::vector<frameInfo> mirror;  // mirrored frames; drawn facing left
    int built = 0;                  // 1 once loading has allocated the frames
    int numFrames = 0;              // frames announced by "info" and loaded
    int width = 0;                  // size of the last frame image loaded:
    int height = 0;                 // the background rectangle sprites save
    bool alphaOp = false;           // switch of alphaAll; off, and the game never turns it on

    CSpriteBase() = default;
    // The set owns its images and frees them when it goes.
    ~CSpriteBase();
    CSpriteBase(const CSpriteBase&) = delete;
    CSpriteBase& operator=(const CSpriteBase&) = delete;
    // A move hands the images over and leaves the source empty.
    CSpriteBase(CSpriteBase&& other) noexcept;
    CSpriteBase& operator=(CSpriteBase&& other) noexcept;

    // Loads the set from `folder`, each bitmap read once through
    // loadFromResource. 0 when "info" was read, -1 when it can't be opened.
    // A bitmap that can't be read ends the process with the game's message,
    // or is reported and left out, as `policy` says.
    int initR(const char* folder, loadPolicy& policy);
    // The same format, bitmaps read directly; -1 on a bitmap that won't load.
    int init(const char* folder, loadPolicy& policy);
    // Bitmap `file` of `folder`, read once from its full path: the decoded
    // image, or why there is none. Prints nothing and never ends the process.
    static bitmapRead loadFromResource(const std::string& folder, const std::string& file);
    // Gives every image the per-surface alpha `alpha` (while alphaOp is on).
    void alphaAll(int alpha);

    // True when frame `index` has an image that can be drawn.
    bool drawable(int index) const;
    // Frees every image (tools and tests; the game keeps its sets loaded).
    void release();
};

// Frees a surface the engine owns. After SDL_Quit only surfaces in system
// memory are freed: one in video memory went with the video subsystem.
void releaseSurface(SDL_Surface* surface);

