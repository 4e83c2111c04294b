// The sprites room: frame sets loaded from folders of bitmaps, sprite
// instances that save, restore and draw them, mirroring, the blit, the
// clock and the gathering of what a pass changed on the screen. This file:
// loading a frame set, each bitmap read once.
#include "CSpriteBase.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>
#include <utility>

#include "bmpCheck.h"
#include "flipper.h"
#include "platform/files.h"
#include "data/textFile.h"

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

// What the game prints about a frame bitmap `file` of `folder` that it
// can't read, before it ends.
void printGameMessage(const bitmapRead& read, const std::string& folder, const std::string& file) {
    errno = read.error;
    switch (read.fault) {
    case bitmapFault::none: break;
    case bitmapFault::folderUnlisted: std::perror("opendir failure"); break;
    case bitmapFault::notOpened: std::perror("Error opening resource file"); break;
    case bitmapFault::sizeUnknown: std::printf("getfilesize:  Couldn't get filesize of '%s'.", file.c_str()); break;
    case bitmapFault::noMemory: std::printf("Unable to LOOOOOAAAAAAAD!\n"); break;
    case bitmapFault::refused:
        std::printf("Unable to load bitmap: %s/%s: %s\n", folder.c_str(), file.c_str(), read.reason.c_str());
        break;
    case bitmapFault::undecodable: std::printf("Unable to load bitmap: %s\n", read.reason.c_str()); break;
    }
}

// A frame that could not be made: its bitmap's failed read, or memory that
// ran out once the bitmap was read.
struct frameFailure {
    const bitmapRead* read;  // the failed read; null when memory ran out afterwards
    std::string bitmap;      // the bitmap's name in the block
    int line;                // the line of "info" a report names
    std::string report;      // what a policy that goes on reports
};

// What became of one frame block.
enum class frameStep { loaded, leftOut, stop };

// One loading of a frame set, by the game's loader or the second one.
struct frameLoader {
    CSpriteBase& set;
    const std::string folder;   // the set's folder, as given
    const bool direct;          // the second loader (init)
    loadPolicy& policy;   // where messages go; whether a bad bitmap ends the process
    TextFile file;              // the set's "info"
    colourKey key;              // carried over from block to block
    int announced = 0;          // frames the header announces, held to what the file can hold
    bool headerRead = false;    // the header was "FILES: <count>"
    int loaded = 0;             // frames loaded so far

    frameLoader(CSpriteBase& target, const char* from, bool second, loadPolicy& how)
        : set(target), folder(from), direct(second), policy(how), file(how) {}

    bool openInfo();
    void readHeader();
    void readFrames();
    frameStep readFrame(const std::string& firstLine);
    frameStep makeImages(frameInfo& record, const std::string& bitmap, int blockLine);
    SDL_Surface* frameImage(SDL_Surface* decoded) const;
    bool goesOnAfter(const frameFailure& failure);
    void afterOutOfMemory();
    void finish();
};

// Opens "info"; reports and returns false when it can't.
bool frameLoader::openInfo() {
    std::string infoPath = folder + "/info";
    if (!pathFits(nullptr, infoPath, policy)) return false;
    if (file.open(infoPath)) return true;
    reportOpenFailure(infoPath, policy);
    return false;
}

// Reads "FILES: <count>" and makes room for that many frames.
void frameLoader::readHeader() {
    std::string line;
    file.readLine(line);
    std::printf("loading\n");
    announced = set.numFrames;
    headerRead = scanHeader(line, "FILES:", announced);
    if (!headerRead) file.report("header is not \"FILES: <count>\"");
    std::printf("%d\n", announced);
    holdCount(file, announced, kMinBlockLines, "negative frame count", [](int count, long room) {
        return "FILES: " + std::to_string(count) + " but the file holds at most " + std::to_string(room) + " frames";
    });
    set.frames.assign(announced, frameInfo());
    set.mirror.assign(announced, frameInfo());
    set.built = 1;
}

// Reads the frame blocks until the announced frames are loaded, the file
// ends or a failure stops the loading.
void frameLoader::readFrames() {
    std::string line;
    while (loaded < announced && file.readLine(line)) {
        if (isSkippedLine(line)) continue;
        frameStep step = readFrame(line);
        if (step == frameStep::loaded) ++loaded;
        if (step == frameStep::stop) break;
    }
}

// Reads the block that starts with `firstLine` into the next frame, and
// makes its images.
frameStep frameLoader::readFrame(const std::string& firstLine) {
    frameInfo& record = set.frames[loaded];
    int blockLine = file.line();
    std::string bitmap;
    readBlockHead(file, firstLine, record, key, bitmap);
    if (!readBlockRest(file, record)) {
        file.reportAt(blockLine, "file ends inside this frame block");
        record = frameInfo();
        return frameStep::stop;
    }
    std::printf("%s\n%s\n%s\n", bitmap.c_str(), record.sound.c_str(), record.reservedName.c_str());
    if (bitmap.empty() || !pathFits(nullptr, folder + "/" + bitmap, policy)) {
        file.reportAt(blockLine, bitmap.empty() ? "frame names no bitmap" : "bitmap path too long");
        record = frameInfo();
        return frameStep::leftOut;
    }
    frameStep step = makeImages(record, bitmap, blockLine);
    if (step != frameStep::loaded) record = frameInfo();
    return step;
}

// Reads the frame's bitmap, once, and makes its image and mirror image.
frameStep frameLoader::makeImages(frameInfo& record, const std::string& bitmap, int blockLine) {
    bitmapRead read = direct ? readBitmap(folder + "/" + bitmap) : CSpriteBase::loadFromResource(folder, bitmap);
    if (!read.image) {
        frameFailure failure{&read, bitmap, blockLine, "bitmap " + bitmap + ": " + faultText(read)};
        return goesOnAfter(failure) ? frameStep::leftOut : frameStep::stop;
    }
    record.image = frameImage(read.image);
    record.infoLine = blockLine;
    if (!direct || set.width == 0) {
        set.width = record.image->w;
        set.height = record.image->h;
    }
    SDL_Surface* flipped = flip_surface(record.image);
    if (!flipped) {
        // The one way mirroring fails: no memory for the mirror image.
        releaseSurface(record.image);
        record.image = nullptr;
        goesOnAfter(frameFailure{nullptr, bitmap, blockLine, "out of memory for the mirror image of " + bitmap});
        return frameStep::stop;
    }
    set.mirror[loaded].image = toDisplayFormat(flipped);
    mirrorRecord(record, set.mirror[loaded], set.width);
    if (!direct) std::printf("let me guess\n");
    return frameStep::loaded;
}

// The frame's image from its decoded bitmap, keyed and in the display
// format. The game's loader keys the converted image and the second loader
// the decoded one, as each always has.
SDL_Surface* frameLoader::frameImage(SDL_Surface* decoded) const {
    SDL_Surface* image = direct ? decoded : toDisplayFormat(decoded);
    applyColourKey(image, key);
    return toDisplayFormat(image);
}

// The one place where the policy meets a frame that can't be made. The game
// prints the reason as it always has and ends with status 1. Otherwise the
// reason is reported at its line and a frame whose bitmap can't be read is
// left out (the second loader gives up at once, quietly), while a lack of
// memory stops the loading. True when the loading goes on.
bool frameLoader::goesOnAfter(const frameFailure& failure) {
    if (!direct && policy.bitmapFailureEndsProcess) {
        if (failure.read) printGameMessage(*failure.read, folder, failure.bitmap);
        endOnBitmapFailure(set, folder, !failure.read || failure.read->outOfMemory);
    }
    if (direct && failure.read) return false;
    file.reportAt(failure.line, failure.report);
    return failure.read != nullptr;
}

// A set larger than memory is bad data too. Only the frame being read can
// hold an image of its own; it goes, and the loading stops.
void frameLoader::afterOutOfMemory() {
    if (loaded < static_cast<int>(set.frames.size())) {
        releaseSurface(set.frames[loaded].image);
        releaseSurface(set.mirror[loaded].image);
        set.frames[loaded] = frameInfo();
        set.mirror[loaded] = frameInfo();
    }
    goesOnAfter(frameFailure{nullptr, "", file.line(), "out of memory after " + std::to_string(loaded) + " frames"});
}

// Says how far the loading got, and keeps only the frames loaded.
void frameLoader::finish() {
    if (loaded < announced) {
        file.report("only " + std::to_string(loaded) + " of " + std::to_string(announced) + " frames loaded");
        set.frames.resize(loaded);
        set.mirror.resize(loaded);
    } else if (headerRead) {
        reportUnreadLines(file, "frame block", true);
    }
    set.numFrames = loaded;
}

// Both loaders: the game's (initR) and the second one (init, `direct`).
int loadFrames(CSpriteBase& set, const char* folder, bool direct, loadPolicy& policy) {
    frameLoader load(set, folder, direct, policy);
    if (!load.openInfo()) return -1;
    load.readHeader();
    try {
        load.readFrames();
    } catch (const std::bad_alloc&) {
        load.afterOutOfMemory();
    }
    load.finish();
    return (direct && load.loaded < load.announced) ? -1 : 0;
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
    alphaOp = other.alphaOp;
    other.frames.clear();
    other.mirror.clear();
    other.built = 0;
    other.numFrames = 0;
    return *this;
}

int CSpriteBase::initR(const char* folder, loadPolicy& policy) {
    return loadFrames(*this, folder, false, policy);
}

int CSpriteBase::init(const char* folder, loadPolicy& policy) { return loadFrames(*this, folder, true, policy); }

bitmapRead CSpriteBase::loadFromResource(const std::string& folder, const std::string& file) {
    if (!canListFolder(folder)) {
        bitmapRead read;
        read.fault = bitmapFault::folderUnlisted;
        read.error = errno;
        read.outOfMemory = errno == ENOMEM;
        return read;
    }
    return readBitmap(folder + "/" + file);
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
