#pragma once
// What lies under a panel drawn over the scene (the input display, the
// training panel): saved before it is drawn and put back before the next
// drawing, like a sprite's background, so the screen is never repainted whole.
#include <SDL/SDL.h>

class changedRects;

// A software surface of w x h pixels in the screen's pixel format, or null.
SDL_Surface* makeScreenLikeSurface(const SDL_Surface* screen, int w, int h);
// Copies the screen's `from` into `saved`, making `saved` first when it is
// null. False when it can't be made.
bool saveBackground(SDL_Surface* screen, SDL_Rect from, SDL_Surface*& saved);
// Puts `saved` back at `where` on the screen and notes the rectangle in
// `changes` (when given).
void restoreBackground(SDL_Surface* screen, SDL_Surface* saved, SDL_Rect where, changedRects* changes);
