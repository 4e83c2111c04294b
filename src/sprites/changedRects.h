#pragma once
// The places of the display a pass has written, noted by whoever writes
// them (every restore, draw and box of the sprites, the input display, the
// background), and shown at the end of the pass with one SDL_UpdateRects:
// the display then takes only what changed instead of the whole screen.
#include <SDL/SDL.h>

#include <vector>

class changedRects {
public:
    SDL_Surface* screen = nullptr;  // the display whose writes are gathered; not owned
    std::vector<SDL_Rect> rects;    // written since the last show, cut to the screen
    bool whole = false;             // the whole screen was written (the background painted)
    std::vector<SDL_Rect> shown;    // what the last show sent: merged, cut to the screen
    // Where the screen is shown: null for the screen itself, or a larger
    // display whose pixels at `left`, `top` are the screen's.
    SDL_Surface* display = nullptr;
    int left = 0, top = 0;

    // Gathers for `display` from now on, starting with the whole of it.
    void watch(SDL_Surface* display);
    // The pixels of the rectangle (x, y, w, h) were written; any part off
    // the screen is left out.
    void add(int x, int y, int w, int h);
    void add(const SDL_Rect& area);
    // `image` was blitted whole with its top-left corner at `corner`.
    void addImage(const SDL_Rect& corner, const SDL_Surface* image);
    // Every pixel of the screen was written.
    void addWhole();
    // Forgets what was gathered without showing it.
    void clear();
    // Makes `shown` from what was gathered: the whole screen, or the
    // rectangles with those merged whose common bounding box costs the
    // display less than the two apart. Forgets the gathered ones.
    const std::vector<SDL_Rect>& prepare();
    // Shows what was written: SDL_Flip on a display that swaps pages, else
    // one SDL_UpdateRects of what prepare() makes (none when nothing changed),
    // moved to the screen's place on the display.
    void show();
};

// A rectangle in pixels, which may lie partly or wholly off the screen.
struct pixelRect {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
};

// `r` cut to the area (0, 0, areaW, areaH); w and h 0 when nothing is left.
pixelRect clipRect(pixelRect r, int areaW, int areaH);

// True when a flip of `display` swaps hardware pages (SDL_HWSURFACE or
// SDL_DOUBLEBUF): only a flip shows anything there, so rectangles won't do.
bool showsByFlip(const SDL_Surface* display);

// Pixels a rectangle costs the display beyond its own, when sent apart:
// the request, its clipping and its copy set up. Two rectangles become one
// when their bounding box is no larger than both plus this.
const int kRectCostPixels = 2048;
// Past this many rectangles in one pass the whole screen is cheaper to send
// (and the list stops growing when nobody shows it).
const size_t kMaxRects = 4096;
