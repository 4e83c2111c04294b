#include "changedRects.h"

#include <algorithm>

namespace {
// A rectangle by its edges, in plain integers while merging.
struct edges {
    int left, top, right, bottom;  // right and bottom just outside
    long long area() const { return static_cast<long long>(right - left) * (bottom - top); }
};

edges around(const edges& a, const edges& b) {
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

// One sweep from left to right: each box takes in the boxes that start
// within its width while that is cheaper. True when any merged.
bool mergeOnce(std::vector<edges>& boxes) {
    std::sort(boxes.begin(), boxes.end(), [](const edges& a, const edges& b) { return a.left < b.left; });
    bool merged = false;
    size_t kept = 0;
    // A box taken in is marked by a right edge left of its left one.
    auto gone = [](const edges& box) { return box.right < box.left; };
    for (size_t i = 0; i < boxes.size(); ++i) {
        if (gone(boxes[i])) continue;
        edges box = boxes[i];
        for (size_t j = i + 1; j < boxes.size() && boxes[j].left <= box.right; ++j) {
            if (gone(boxes[j])) continue;
            edges both = around(box, boxes[j]);
            if (both.area() > box.area() + boxes[j].area() + kRectCostPixels) continue;
            box = both;
            boxes[j].right = boxes[j].left - 1;
            merged = true;
        }
        boxes[kept++] = box;
    }
    boxes.resize(kept);
    return merged;
}
}  // namespace

bool showsByFlip(const SDL_Surface* display) {
    return display && (display->flags & (SDL_HWSURFACE | SDL_DOUBLEBUF)) != 0;
}

void changedRects::watch(SDL_Surface* display) {
    screen = display;
    clear();
    addWhole();
}

pixelRect clipRect(pixelRect r, int areaW, int areaH) {
    int left = std::max(r.x, 0);
    int top = std::max(r.y, 0);
    int right = std::min(r.x + std::max(r.w, 0), areaW);
    int bottom = std::min(r.y + std::max(r.h, 0), areaH);
    pixelRect cut;
    cut.x = left;
    cut.y = top;
    cut.w = std::max(right - left, 0);
    cut.h = std::max(bottom - top, 0);
    if (cut.w == 0 || cut.h == 0) cut.w = cut.h = 0;
    return cut;
}

void changedRects::add(int x, int y, int w, int h) {
    if (!screen || whole) return;
    pixelRect cut = clipRect(pixelRect{x, y, w, h}, screen->w, screen->h);
    if (cut.w == 0) return;
    if (rects.size() >= kMaxRects) {
        addWhole();
        return;
    }
    SDL_Rect written;
    written.x = static_cast<Sint16>(cut.x);
    written.y = static_cast<Sint16>(cut.y);
    written.w = static_cast<Uint16>(cut.w);
    written.h = static_cast<Uint16>(cut.h);
    rects.push_back(written);
}

void changedRects::add(const SDL_Rect& area) { add(area.x, area.y, area.w, area.h); }

void changedRects::addImage(const SDL_Rect& corner, const SDL_Surface* image) {
    if (image) add(corner.x, corner.y, image->w, image->h);
}

void changedRects::addWhole() {
    whole = true;
    rects.clear();
}

void changedRects::clear() {
    whole = false;
    rects.clear();
}

const std::vector<SDL_Rect>& changedRects::prepare() {
    shown.clear();
    if (screen && whole) {
        SDL_Rect all = {0, 0, static_cast<Uint16>(screen->w), static_cast<Uint16>(screen->h)};
        shown.push_back(all);
    } else if (!rects.empty()) {
        std::vector<edges> boxes;
        boxes.reserve(rects.size());
        for (const SDL_Rect& r : rects) boxes.push_back({r.x, r.y, r.x + r.w, r.y + r.h});
        // A box grown by a merge may now pay to take in one left of it.
        for (int round = 0; round < 3 && mergeOnce(boxes); ++round) {
        }
        for (const edges& box : boxes) {
            SDL_Rect r;
            r.x = static_cast<Sint16>(box.left);
            r.y = static_cast<Sint16>(box.top);
            r.w = static_cast<Uint16>(box.right - box.left);
            r.h = static_cast<Uint16>(box.bottom - box.top);
            shown.push_back(r);
        }
    }
    clear();
    return shown;
}

void changedRects::show() {
    if (!screen) return;
    SDL_Surface* shownOn = display ? display : screen;
    if (showsByFlip(shownOn)) {
        clear();
        SDL_Flip(shownOn);
        return;
    }
    prepare();
    if (shown.empty()) return;
    if (!display) {
        SDL_UpdateRects(screen, static_cast<int>(shown.size()), shown.data());
        return;
    }
    std::vector<SDL_Rect> placed(shown);
    for (SDL_Rect& r : placed) {
        r.x = static_cast<Sint16>(r.x + left);
        r.y = static_cast<Sint16>(r.y + top);
    }
    SDL_UpdateRects(display, static_cast<int>(placed.size()), placed.data());
}
