#pragma once
// One live particle, such as a fireball: a sprite that takes its frames and
// behaviour from a definition.
#include <SDL/SDL.h>

#include <string>
#include <vector>

#include "sprites/CSprite.h"

class Fighter;
class particleInfo;
class partInfoList;

class particle {
public:
    int startX = 0;               // spawn point (anchor), absolute after init
    int startY = 0;
    bool dir = true;              // true: stored frames, moving right
    bool dead = false;            // to be removed by the list
    int startTime = 0;            // clock at creation; life counts from here
    CSprite sprite;
    particleInfo* info = nullptr; // definition; null when the name was unknown (then dead)
    SDL_Surface* screen = nullptr;
    partInfoList* partInfo = nullptr;
    Fighter* owner = nullptr;     // the fighter whose frame launched it, or its launcher's; never hit by it
    CSprite* parent = nullptr;
    std::string event = "NULL";   // pending event
    std::vector<std::string> hitEvents;  // hit events it raised, in the order raised; launched like `event`

    void init(std::string spec, Fighter* owner, CSprite* parent, partInfoList* defs,
              SDL_Surface* screen, int time);
    void initD(std::string spec, bool dir, CSprite* parent, partInfoList* defs,
               SDL_Surface* screen, int time);
    void update();
    void gravity();
    int getPartNum(std::string eventName);
    std::string getNewPart(std::string eventName, int i);

    // The current frame's collision box on the screen, as its image is drawn
    // for its facing; empty without frames.
    screenBox collisionBox();
    // True when `eventName` has something to launch: at least one entry,
    // the first not "NULL".
    bool launches(const std::string& eventName);

    // True when the definition has frames to draw; without them the sprite
    // is never bound, drawn or moved.
    bool canDraw() const;

private:
    // The steps init and initD share once the facing and owner are set.
    void place(std::string spec, CSprite* parent, partInfoList* defs, SDL_Surface* screen, int time);
};
