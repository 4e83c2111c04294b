#include "shell/greetingScreen.h"

#include "shell/scene.h"
#include "sprites/font.h"
#include "view/versusHud.h"

greetingScreen::~greetingScreen() { close(); }

void greetingScreen::open(bool windowed) {
    screen = openScreen(windowed, changes);
    if (screen) SDL_WM_SetCaption("fightscene", "fightscene");
}

void greetingScreen::close() {
    // A screen over the middle of a larger display is ours; the display is SDL's.
    if (screen && changes.display) SDL_FreeSurface(screen);
    screen = nullptr;
    changes.display = nullptr;
}

void greetingScreen::show(const std::string& words, const std::string& hint) {
    if (!screen) return;
    SDL_FillRect(screen, nullptr, pixelOfRgb(screen, 0));
    const int middle = screen->w / 2;
    drawText(screen, middle - textWidth(words, 2) / 2, screen->h / 2 - 24, words, pixelOfRgb(screen, kHudWordsRgb), 2);
    drawText(screen, middle - textWidth(hint) / 2, screen->h / 2 + 16, hint, pixelOfRgb(screen, kHudTextRgb));
    SDL_Surface* shown = changes.display ? changes.display : screen;
    SDL_UpdateRect(shown, 0, 0, 0, 0);
}

bool greetingScreen::stopAsked() {
    SDL_Event event;
    bool stop = false;
    while (SDL_PollEvent(&event)) {
        if (event.type == SDL_QUIT) stop = true;
        if (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_ESCAPE) stop = true;
    }
    return stop;
}
