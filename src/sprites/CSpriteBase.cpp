#include "CSpriteBase.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>
#include <utility>

#include "bmpCheck.h"
#include "flipper.h"
#include "platform/platform.h"
#include "data/textFile.h"

bool alphaOp = false;

namespace {
// Lines of the shortest frame block: a frame without particle lines.
const int kMinBlockLines = 14;
const size_t kMaxSoundName = 95;
const size_t kMaxWord = 79;

// The colour key read by a block's first line; it carries over to the next
// block when that one gives none.
struct colourKey {
    int red = 0;
    int green = 0;
    int blue = 0;
};

// Reads up to `count` integers in a row, as sscanf("%d %d ...") does: it
// stops at the first field that is not a number, leaving the rest unchanged.
int scanInts(const std::string& text, int* const values[], int count) {
    std::vector<std::string> words = splitWords(text, count);
    int read = 0;
    for (const std::string& word : words) {
        if (!scanInt(word, *values[read])) break;
        // "12abc" reads 12 and ends the scan, as sscanf would.
        ++read;
        if (read == count) break;
        size_t digits = word.find_first_not_of("+-0123456789");
        if (digits != std::string::npos) break;
    }
    return read;
}

// Anchors, boxes, points and steps are pixels: past this they mean nothing
// on the screen, and the drawing and mirroring arithmetic must not overflow.
const int kMaxPixels = 1 << 16;

// Holds each of `count` values within +-kMaxPixels, with one message.
void holdInRange(const TextFile& file, int* const values[], int count, const char* what) {
    bool held = false;
    for (int i = 0; i < count; ++i) {
        int& value = *values[i];
        if (value > kMaxPixels || value < -kMaxPixels) {
            value = value > 0 ? kMaxPixels : -kMaxPixels;
            held = true;
        }
    }
    if (held) file.report(std::string(what) + " beyond " + std::to_string(kMaxPixels) + " pixels; held at the limit");
}

int scanOne(const std::string& text) {
    int value = 0;
    scanInt(text, value);
    return value;
}

bool isSkippedLine(const std::string& line) {
    return line.empty() || line[0] == '#' || line[0] == '\r';
}

void mirrorRecord(const frameInfo& stored, frameInfo& mirrored, int width) {
    mirrored.offsetX = width - stored.offsetX;
    mirrored.colBox.left = width - stored.colBox.right;
    mirrored.colBox.right = width - stored.colBox.left;
    mirrored.hitBox.left = width - stored.hitBox.right;
    mirrored.hitBox.right = width - stored.hitBox.left;
    mirrored.reservedPoint1.x = width - stored.reservedPoint1.x;
    mirrored.reservedPoint2.x = width - stored.reservedPoint2.x;
}

// The text of one frame block, read line by line with no skipping.
struct frameBlock {
    std::string bitmap;
    bool bitmapFits = true;
};

// Reads lines 2 onward of a frame block into `record`. False when the file
// ends inside the block.
bool readBlockRest(TextFile& file, frameInfo& record) {
    std::string line;
    auto next = [&]() { return file.readLine(line); };

    if (!next()) return false;
    record.anchorLine = file.line();
    int* anchor[] = {&record.offsetX, &record.offsetY};
    scanInts(line, anchor, 2);
    expectNumbers(file, line, 2, "anchor");
    holdInRange(file, anchor, 2, "anchor");
    if (!next()) return false;
    record.colBoxLine = file.line();
    int* col[] = {&record.colBox.left, &record.colBox.top, &record.colBox.right, &record.colBox.bottom};
    scanInts(line, col, 4);
    expectNumbers(file, line, 4, "collision box");
    holdInRange(file, col, 4, "collision box");
    if (!next()) return false;
    record.hitBoxLine = file.line();
    int* hit[] = {&record.hitBox.left, &record.hitBox.top, &record.hitBox.right, &record.hitBox.bottom};
    scanInts(line, hit, 4);
    expectNumbers(file, line, 4, "hit box");
    holdInRange(file, hit, 4, "hit box");
    if (!next()) return false;
    record.hitActive = scanOne(line);
    expectNumbers(file, line, 1, "hit flag");
    if (!next()) return false;
    record.reservedFlag1 = scanOne(line) > 0;
    expectNumbers(file, line, 1, "flag");
    if (!next()) return false;
    record.reservedValue = scanOne(line);
    expectNumbers(file, line, 1, "value");
    if (!next()) return false;
    int* point1[] = {&record.reservedPoint1.x, &record.reservedPoint1.y};
    scanInts(line, point1, 2);
    expectNumbers(file, line, 2, "point");
    holdInRange(file, point1, 2, "point");
    if (!next()) return false;
    int* point2[] = {&record.reservedPoint2.x, &record.reservedPoint2.y};
    scanInts(line, point2, 2);
    expectNumbers(file, line, 2, "point");
    holdInRange(file, point2, 2, "point");

    if (!next()) return false;
    record.soundLine = file.line();
    record.sound = firstWord(line);
    if (!wordFits(file, record.sound, kMaxSoundName, "sound name")) record.sound = "NULL";
    else expectName(file, record.sound, "sound name");

    if (!next()) return false;
    expectNumbers(file, line, 1, "particle line count");
    int particleLines = scanOne(line);
    holdCount(file, particleLines, 1, "", [](int count, long room) {
        return "particle count " + std::to_string(count) + " but only " + std::to_string(room) + " lines follow";
    });
    bool namesGood = true;  // one message for a run of shifted lines is enough
    for (int i = 0; i < particleLines; ++i) {
        if (!next()) return false;
        if (wordFits(file, firstWord(line), kMaxWord, "particle name")) {
            if (namesGood) namesGood = expectName(file, firstWord(line), "particle name");
            record.particles.push_back(line);
            record.particleLines.push_back(file.line());
        }
    }
    record.numParticles = static_cast<int>(record.particles.size());

    if (!next()) return false;
    int* motion[] = {&record.moveX, &record.moveY};
    scanInts(line, motion, 2);
    expectNumbers(file, line, 2, "movement");
    holdInRange(file, motion, 2, "movement");
    if (!next()) return false;
    record.reservedFlag2 = scanOne(line) > 0;
    expectNumbers(file, line, 1, "flag");
    if (!next()) return false;
    record.reservedName = firstWord(line);
    if (!wordFits(file, record.reservedName, kMaxWord, "name")) record.reservedName.clear();
    return true;
}

// Reads the first line of a block: bitmap name, pause and colour key.
void readBlockHead(const TextFile& file, const std::string& line, frameInfo& record, colourKey& key,
                   std::string& bitmap) {
    std::vector<std::string> words = splitWords(line, 5);
    bitmap = words.empty() ? std::string() : words[0];
    int* fields[] = {&record.pause, &key.red, &key.green, &key.blue};
    if (words.size() > 1) {
        std::string rest = line.substr(line.find(bitmap) + bitmap.size());
        scanInts(rest, fields, 4);
    }
    if (bitmap.empty()) return;
    expectName(file, bitmap, "bitmap name");
    if (words.size() < 2 || !isNumberWord(words[1]))
        file.report("frame: expected a pause after the bitmap name, found \"" + line.substr(0, 60) + "\"");
    // The colour key is three numbers, or absent to reuse the one before.
    bool colourGood = words.size() <= 2 || words.size() == 5;
    for (size_t i = 2; colourGood && i < words.size(); ++i) colourGood = isNumberWord(words[i]);
    if (!colourGood) file.report("colour key: expected 3 numbers or none, found \"" + line.substr(0, 60) + "\"");
}

// True when SDL_DisplayFormat would only copy `surface`: a software surface
// in the software display's own pixel format, without per-surface alpha.
bool inDisplayFormat(const SDL_Surface* surface) {
    const SDL_Surface* display = SDL_GetVideoSurface();
    if (!display || !surface->pixels || ((display->flags | surface->flags) & (SDL_HWSURFACE | SDL_SRCALPHA)))
        return false;
    const SDL_PixelFormat* a = surface->format;
    const SDL_PixelFormat* b = display->format;
    return a->BitsPerPixel == 32 && b->BitsPerPixel == 32 && !a->palette && a->Rmask == b->Rmask &&
           a->Gmask == b->Gmask && a->Bmask == b->Bmask && a->Amask == b->Amask;
}

SDL_Surface* toDisplayFormat(SDL_Surface* surface) {
    // Loading converts a frame and its mirror image; a copy of a surface that
    // is already in the display format would cost an allocation and a pass
    // over its pixels and change nothing.
    if (inDisplayFormat(surface)) return surface;
    // No display yet (tools): keep the surface as it is. SDL_DisplayFormat
    // itself would crash when the video subsystem was never started.
    if (!SDL_GetVideoSurface()) return surface;
    SDL_Surface* converted = SDL_DisplayFormat(surface);
    if (!converted) return surface;
    SDL_FreeSurface(surface);
    return converted;
}

void applyColourKey(SDL_Surface* surface, const colourKey& key) {
    if (key.red < 0) return;
    // RLE, as the mirrored frames have it: a keyed frame is drawn run by run
    // instead of pixel by pixel, with the same result.
    SDL_SetColorKey(surface, SDL_SRCCOLORKEY | SDL_RLEACCEL,
                    SDL_MapRGB(surface->format, key.red & 0xff, key.green & 0xff, key.blue & 0xff));
}

// A frame set's bitmap that can't be read ends the process (the game's
// rule). Out of memory, the set's "info" is named on standard output, and
// the set's images go first: ending the process needs a little memory too.
[[noreturn]] void endOnBitmapFailure(CSpriteBase& set, const std::string& folder, bool outOfMemory) {
    if (outOfMemory) std::printf("Out of memory loading the frames of %s/info\n", folder.c_str());
    set.release();
    std::fflush(stdout);
    std::exit(1);
}

bool sdlOutOfMemory() { return std::string(SDL_GetError()).find("Out of memory") != std::string::npos; }

// Shared reading of both loaders. `direct` selects the second loader.
int loadFrames(CSpriteBase& set, const char* folder, bool direct, const loadPolicy& policy) {
    std::string remembered = currentFolder();
    std::string infoPath = std::string(folder) + "/info";
    if (!pathFits(nullptr, infoPath, policy)) return -1;
    TextFile file(policy);
    if (!file.open(infoPath)) {
        reportOpenFailure(infoPath, policy);
        return -1;
    }
    // The game's loader may end the process on a bitmap it can't read.
    bool failureEnds = !direct && policy.bitmapFailureEndsProcess;
    std::string line;
    file.readLine(line);
    std::printf("loading\n");
    int announced = set.numFrames;
    bool headerRead = scanHeader(line, "FILES:", announced);
    if (!headerRead) file.report("header is not \"FILES: <count>\"");
    std::printf("%d\n", announced);
    holdCount(file, announced, kMinBlockLines, "negative frame count", [](int count, long room) {
        return "FILES: " + std::to_string(count) + " but the file holds at most " + std::to_string(room) + " frames";
    });
    set.frames.assign(announced, frameInfo());
    set.mirror.assign(announced, frameInfo());
    set.built = 1;

    colourKey key;
    int loaded = 0;
    try {
        while (loaded < announced && file.readLine(line)) {
            if (isSkippedLine(line)) continue;
            frameInfo& record = set.frames[loaded];
            int blockLine = file.line();
            std::string bitmap;
            readBlockHead(file, line, record, key, bitmap);
            if (!readBlockRest(file, record)) {
                file.reportAt(blockLine, "file ends inside this frame block");
                record = frameInfo();
                break;
            }
            std::printf("%s\n%s\n%s\n", bitmap.c_str(), record.sound.c_str(), record.reservedName.c_str());
            std::string bitmapPath = std::string(folder) + "/" + bitmap;
            if (bitmap.empty() || !pathFits(nullptr, bitmapPath, policy)) {
                file.reportAt(blockLine, bitmap.empty() ? "frame names no bitmap" : "bitmap path too long");
                record = frameInfo();
                continue;
            }

            if (!direct && !failureEnds) {
                // Checking: a bitmap that would end the process is reported and left out.
                std::string reason;
                SDL_Surface* probe = loadCheckedBitmap(bitmapPath.c_str(), reason);
                if (!probe) {
                    file.reportAt(blockLine, "bitmap " + bitmap + ": " + reason);
                    record = frameInfo();
                    continue;
                }
                SDL_FreeSurface(probe);
            }

            SDL_Surface* image = nullptr;
            if (direct) {
                std::string reason;
                image = loadCheckedBitmap(bitmapPath.c_str(), reason);
                if (!image) {
                    record = frameInfo();
                    break;  // the second loader gives up at once
                }
                applyColourKey(image, key);
                image = toDisplayFormat(image);
            } else {
                image = set.loadFromResource(folder, bitmap.c_str());
                applyColourKey(image, key);
                image = toDisplayFormat(image);
            }
            record.image = image;
            record.infoLine = blockLine;
            if (!direct || set.width == 0) {
                set.width = image->w;
                set.height = image->h;
            }
            SDL_Surface* flipped = flip_surface(image);
            if (!flipped) {
                // The one way mirroring fails: no memory for the mirror image.
                if (failureEnds) endOnBitmapFailure(set, folder, true);
                file.reportAt(blockLine, "out of memory for the mirror image of " + bitmap);
                releaseSurface(image);
                record = frameInfo();
                break;
            }
            set.mirror[loaded].image = toDisplayFormat(flipped);
            mirrorRecord(record, set.mirror[loaded], set.width);
            ++loaded;
            if (!direct) std::printf("let me guess\n");
            if (!remembered.empty() && !changeFolder(remembered)) std::perror("chdir");
        }
    } catch (const std::bad_alloc&) {
        // A set larger than memory is bad data too.
        if (failureEnds) endOnBitmapFailure(set, folder, true);
        // Only the frame being read can hold an image of its own.
        releaseSurface(set.frames[loaded].image);
        releaseSurface(set.mirror[loaded].image);
        set.frames[loaded] = frameInfo();
        set.mirror[loaded] = frameInfo();
        file.report("out of memory after " + std::to_string(loaded) + " frames");
    }
    if (loaded < announced) {
        file.report("only " + std::to_string(loaded) + " of " + std::to_string(announced) + " frames loaded");
        set.frames.resize(loaded);
        set.mirror.resize(loaded);
    } else if (headerRead) {
        reportUnreadLines(file, "frame block", true);
    }
    set.numFrames = loaded;
    if (!remembered.empty() && !changeFolder(remembered)) std::perror("chdir");
    return (direct && loaded < announced) ? -1 : 0;
}
}  // namespace

void releaseSurface(SDL_Surface* surface) {
    if (!surface) return;
    if (SDL_WasInit(SDL_INIT_VIDEO) || !(surface->flags & SDL_HWSURFACE)) SDL_FreeSurface(surface);
}

CSpriteBase::~CSpriteBase() { release(); }

CSpriteBase::CSpriteBase(CSpriteBase&& other) noexcept { *this = std::move(other); }

CSpriteBase& CSpriteBase::operator=(CSpriteBase&& other) noexcept {
    if (this == &other) return *this;
    release();
    frames = std::move(other.frames);
    mirror = std::move(other.mirror);
    built = other.built;
    numFrames = other.numFrames;
    width = other.width;
    height = other.height;
    other.frames.clear();
    other.mirror.clear();
    other.built = 0;
    other.numFrames = 0;
    return *this;
}

int CSpriteBase::initR(const char* folder, const loadPolicy& policy) {
    return loadFrames(*this, folder, false, policy);
}

int CSpriteBase::init(const char* folder, const loadPolicy& policy) { return loadFrames(*this, folder, true, policy); }

SDL_Surface* CSpriteBase::loadFromResource(const char* folder, const char* file) {
    if (!canListFolder(folder)) {
        bool noMemory = errno == ENOMEM;
        std::perror("opendir failure");
        endOnBitmapFailure(*this, folder, noMemory);
    }
    if (!changeFolder(folder)) {
        bool noMemory = errno == ENOMEM;
        std::perror("opendir failure");
        endOnBitmapFailure(*this, folder, noMemory);
    }
    // Only a regular file: a pipe would block the start-up for good. Read
    // whole by its descriptor: a stream would only add its own buffer and
    // calls for one read.
    int fd = openDataFile(file);
    if (fd < 0) {
        bool noMemory = errno == ENOMEM;
        std::perror("Error opening resource file");
        endOnBitmapFailure(*this, folder, noMemory);
    }
    int size = getfilesize(file);
    if (static_cast<size_t>(size) > kMaxBitmapFile) size = static_cast<int>(kMaxBitmapFile);
    void* buffer = std::malloc(size > 0 ? size : 1);
    if (!buffer) {
        std::printf("Unable to LOOOOOAAAAAAAD!\n");
        closeDataFile(fd);
        endOnBitmapFailure(*this, folder, true);
    }
    int got = static_cast<int>(readDataFile(fd, buffer, static_cast<size_t>(size > 0 ? size : 0)));
    closeDataFile(fd);
    std::string reason;
    if (!checkBitmap(static_cast<unsigned char*>(buffer), got, reason)) {
        std::free(buffer);
        std::printf("Unable to load bitmap: %s/%s: %s\n", folder, file, reason.c_str());
        endOnBitmapFailure(*this, folder, false);
    }
    SDL_Surface* decoded = SDL_LoadBMP_RW(SDL_RWFromMem(buffer, got), 1);
    std::free(buffer);
    if (!decoded) {
        std::printf("Unable to load bitmap: %s\n", SDL_GetError());
        endOnBitmapFailure(*this, folder, sdlOutOfMemory());
    }
    return toDisplayFormat(decoded);
}

int CSpriteBase::getfilesize(const char* path) {
    long long size = fileSize(path);
    if (size < 0) {
        std::printf("getfilesize:  Couldn't get filesize of '%s'.", path);
        std::exit(1);
    }
    if (size > INT_MAX) return INT_MAX;
    return static_cast<int>(size);
}

void CSpriteBase::alphaAll(int alpha) {
    if (!alphaOp) return;
    std::printf("\nSetting all your alphas\n");
    for (int i = 0; i < numFrames && i < static_cast<int>(frames.size()); ++i) {
        std::printf("alphaing %d\n", i);
        if (frames[i].image) SDL_SetAlpha(frames[i].image, SDL_SRCALPHA, alpha & 0xff);
        if (mirror[i].image) SDL_SetAlpha(mirror[i].image, SDL_SRCALPHA, alpha & 0xff);
    }
}

bool CSpriteBase::drawable(int index) const {
    return built && index >= 0 && index < numFrames && index < static_cast<int>(frames.size()) &&
           index < static_cast<int>(mirror.size()) && frames[index].image && mirror[index].image;
}

void CSpriteBase::release() {
    for (frameInfo& record : frames) releaseSurface(record.image);
    for (frameInfo& record : mirror) releaseSurface(record.image);
    frames.clear();
    mirror.clear();
    numFrames = 0;
    built = 0;
}
