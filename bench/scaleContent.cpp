#include "scaleContent.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "commands/Condition.h"
#include "platform/files.h"
#include "data/textFile.h"

namespace {
// A startable frame set of one 1 x 1 frame.
void tinyFrameSet(CSpriteBase& set) {
    set.release();
    set.frames.assign(1, frameInfo());
    set.mirror.assign(1, frameInfo());
    set.frames[0].image = SDL_CreateRGBSurface(SDL_SWSURFACE, 1, 1, 32, 0xff0000, 0xff00, 0xff, 0);
    set.mirror[0].image = SDL_CreateRGBSurface(SDL_SWSURFACE, 1, 1, 32, 0xff0000, 0xff00, 0xff, 0);
    set.built = 1;
    set.numFrames = 1;
    set.width = set.height = 1;
}

std::string baseName(const std::string& path) {
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The "info" of `folder` with its blocks `times` times over, or "" when it
// can't be read.
std::string repeatedInfo(const std::string& folder, int times) {
    std::ifstream in(folder + "/info", std::ios::binary);
    std::string header;
    if (!in || !std::getline(in, header)) return "";
    int count = 0;
    if (!scanHeader(header, "FILES:", count)) return "";
    std::stringstream body;
    body << in.rdbuf();
    std::string text = "FILES: " + std::to_string(count * times) + "\n";
    for (int i = 0; i < times; ++i) text += body.str();
    return text;
}
}  // namespace

void makeMoveSet(const moveSet& bundled, int count, moveSet& into) {
    into.moves.clear();
    into.moves.resize(static_cast<size_t>(count));
    into.count = count;
    into.folder = "generated";
    const size_t kinds = bundled.moves.size();
    for (int i = 0; i < count; ++i) {
        moveInfo& move = into.moves[static_cast<size_t>(i)];
        bool last = i == count - 1;
        if (last || kinds == 0) {
            move.name = "jab";
            move.command = "A";
            move.condition = "null";
        } else {
            const moveInfo& model = bundled.moves[static_cast<size_t>(i) % kinds];
            move.name = model.name + std::to_string(i);
            move.command = model.command;
            move.condition = "ground = true";
        }
        tinyFrameSet(move.animation);
    }
}

int movesEndingIn(const moveSet& moves, char button) {
    int n = 0;
    for (const moveInfo& move : moves.moves)
        if (!move.command.empty() && move.command.back() == button) ++n;
    return n;
}

frameSetFiles repeatFrameSets(const frameSetFiles& files, int times, const std::string& root, std::string& why) {
    frameSetFiles made;
    std::vector<std::string> copies;  // the bitmaps of the new folders, in the order of `files.bitmaps`
    for (size_t i = 0; i < files.folders.size(); ++i) {
        const std::string& from = files.folders[i];
        std::string to = root + "/" + std::to_string(i) + "-" + baseName(from);
        std::string info = repeatedInfo(from, times);
        if (info.empty() || isFolder(to) || !makeFolders(to)) {
            why = "cannot repeat the frame set " + from;
            return frameSetFiles();
        }
        std::ofstream(to + "/info", std::ios::binary) << info;
        // Copies, not links: a link would cost the loader a lookup more per
        // bitmap than the decoding it is measured against.
        for (const std::string& bitmap : files.bitmaps) {
            if (bitmap.compare(0, from.size() + 1, from + "/") != 0) continue;
            std::string copy = to + "/" + baseName(bitmap);
            std::ifstream in(bitmap, std::ios::binary);
            std::ofstream out(copy, std::ios::binary);
            if (!(out << in.rdbuf())) {
                why = "cannot copy " + bitmap;
                return frameSetFiles();
            }
            copies.push_back(copy);
        }
        made.folders.push_back(to);
    }
    for (int i = 0; i < times; ++i) made.bitmaps.insert(made.bitmaps.end(), copies.begin(), copies.end());
    return made;
}

void removeTree(const std::string& root) {
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
}

size_t surfaceBytes(const SDL_Surface* surface) {
    return surface ? static_cast<size_t>(surface->pitch) * static_cast<size_t>(surface->h) : 0;
}

size_t frameSetBytes(const CSpriteBase& set) {
    size_t bytes = 0;
    for (const frameInfo& record : set.frames) bytes += surfaceBytes(record.image);
    for (const frameInfo& record : set.mirror) bytes += surfaceBytes(record.image);
    return bytes;
}

size_t frameSetFloor(const CSpriteBase& set) {
    size_t bytes = 0;
    for (const frameInfo& record : set.frames)
        if (record.image) bytes += 2 * static_cast<size_t>(record.image->w) * static_cast<size_t>(record.image->h) * 4;
    return bytes;
}

moveInfo* silentSearch(inputChecker& checker) {
    std::string keys;
    char button = 0;
    for (inputNode* node = checker.head; node; node = node->next) {
        keys += node->key;
        if (node->key == 'A' || node->key == 'B' || node->key == 'C') button = node->key;
    }
    moveNode* list = button == 'A' ? checker.aList : button == 'B' ? checker.bList : checker.cList;
    moveInfo* answer = nullptr;
    for (moveNode* node = button ? list : nullptr; node && !answer; node = node->next) {
        moveInfo* move = node->move;
        if (move->command.empty() || keys.find(move->command) == std::string::npos) continue;
        if (!move->animation.drawable(0)) continue;
        if (move->condition != "null") {
            Condition condition;
            condition.fighter = checker.fighter;
            std::istringstream words(move->condition);
            for (int i = 0; i < 3 && words >> condition.bits[i]; ++i) {
            }
            if (condition.bits[0] != "ground" || !condition.ground()) continue;
        }
        answer = move;
    }
    while (checker.head) {
        inputNode* next = checker.head->next;
        delete checker.head;
        checker.head = next;
    }
    checker.inputCount = 0;
    return answer;
}
