#pragma once
// The named sound effects of the scene, loaded from sound folders.
#include <SDL/SDL_mixer.h>

#include <string>

#include "data/textFile.h"

struct soundNode {
    std::string name;
    Mix_Chunk* chunk = nullptr;  // null when the file failed to load
    soundNode* next = nullptr;
};

class soundSet {
public:
    soundNode* head = nullptr;  // entries in loading order
    int count = 0;              // number of entries
    // Entries replaced by a later getList. Their chunks may still be playing
    // on the mixer's thread, so they are kept until the set goes away.
    soundNode* retired = nullptr;

    soundSet();
    // Frees every entry and chunk, live and retired (the mixer stops a chunk
    // that is still playing before it is freed).
    ~soundSet();
    soundSet(const soundSet&) = delete;
    soundSet& operator=(const soundSet&) = delete;

    // Loads "<folder>/sound", replacing the entries; messages as `policy` says.
    void getList(const char* folder, loadPolicy& policy);
    // Adds the sounds of "<folder>/sound" that the set does not hold yet.
    void addToList(const char* folder, loadPolicy& policy);
    // Plays `name` once on mixer channel `channel` (-1: first free).
    void Play(std::string name, int channel);
    // Plays `name` as if it had started `lateMs` ago: from that far into
    // it, or not at all when it would be over by now. "SOUND PLAYING" as Play.
    void PlayFrom(const std::string& name, int lateMs);
    // The chunk of `name`, or null.
    Mix_Chunk* returnSound(std::string name);
    // The entry called `name`, or null.
    soundNode* find(std::string name);
    // True when an entry is called `name`; says nothing.
    bool holds(const std::string& name) const;
    // Prints "Sound - <name>" for each entry.
    void display();

private:
    // The tails PlayFrom plays: chunks that borrow the samples of loaded
    // ones, reused in turn (the mixer reads a chunk's samples at its start).
    static const int kLateParts = 16;
    Mix_Chunk lateParts[kLateParts] = {};
    int nextLatePart = 0;
    bool lateUsed = false;  // a tail was played
};
