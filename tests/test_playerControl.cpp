// The player control: key letters by facing, the movement step, the quit and
// debug keys, move starts, and the sounds and particles of the fighter's frames.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "commands/inputChecker.h"
#include "data/soundSet.h"
#include "fighter/Fighter.h"
#include "particles/partInfoList.h"
#include "particles/particleList.h"
#include "sprites/clock.h"
#include "input/keyBindings.h"
#include "input/playerControl.h"
#include "shell/scene.h"
#include "sprites/sceneGeometry.h"
#include "testSupport.h"

namespace {
struct Frame {
    std::string sound = "NULL";
    std::vector<std::string> parts = {};
};

// A frame set of 40x60 frames anchored at the feet, with the given sounds
// and particle lines.
void writeSet(const std::string& dir, const std::vector<Frame>& frames) {
    std::string info = "FILES: " + std::to_string(frames.size()) + "\n";
    for (size_t i = 0; i < frames.size(); ++i) {
        std::string file = "f" + std::to_string(i) + ".bmp";
        writeBmp(dir + "/" + file, 40, 60, i == 0 && frames.size() == 1 ? 0xff00ff : 0x30a030);
        info += file + " 10 255 0 255\n20 60\n0 0 40 60\n0 0 0 0\n0\n0\n0\n0 0\n0 0\n" + frames[i].sound + "\n" +
                std::to_string(frames[i].parts.size()) + "\n";
        for (const std::string& line : frames[i].parts) info += line + "\n";
        info += "0 0\n0\nnone\n";
    }
    writeFile(dir + "/info", info);
}

int countOf(const std::string& text, const std::string& needle) {
    int n = 0;
    for (size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1)) ++n;
    return n;
}

void pushKey(int sym) {
    SDL_Event event;
    std::memset(&event, 0, sizeof event);
    event.type = SDL_KEYDOWN;
    event.key.type = SDL_KEYDOWN;
    event.key.state = SDL_PRESSED;
    event.key.keysym.sym = static_cast<SDLKey>(sym);
    SDL_PushEvent(&event);
}

Uint8& held(int sym) { return SDL_GetKeyState(nullptr)[sym]; }
void releaseAllKeys() { std::memset(SDL_GetKeyState(nullptr), 0, SDLK_LAST); }

class ControlTest : public testing::Test {
protected:
    static animationSet anims;
    static moveSet moves;
    Fighter f;
    keyBindings bindings;
    soundSet sounds;
    partInfoList defs;
    particleList particles;
    std::unique_ptr<inputChecker> checker;
    playerControl control;
    SDL_Event event;
    bool debugging = false;  // the scene's flag, flipped by the control's requests

    static void SetUpTestSuite() {
        testScreen();
        std::string dir = makeTempDir("control");
        writeSet(dir + "/walk", {{}, {}});
        writeSet(dir + "/standing", {{"breath"}, {}});
        writeSet(dir + "/duck", {{}, {}});
        writeSet(dir + "/inAir", {{}, {}});
        writeSet(dir + "/blank", {{}});
        writeSet(dir + "/attack", {{"swing", {"fire 1 2"}},
                                   {"swing", {"fire 1 2", "spark 0 0"}},
                                   {"NULL", {}},
                                   {"thud", {"spark 0 0", "fire 1 2"}}});
        writeFile(dir + "/info", "ANIMS: 6\nwalk\nstanding\nduck\ninAir\nblank\nattack\n");
        anims.loadAll(dir.c_str(), gameLoading());
        // Three moves: only "fire" has frames; the others can never start.
        writeSet(dir + "/fire", {{}, {}});
        moves.moves.resize(3);
        moves.count = 3;
        const char* names[] = {"fire", "bash", "chop"};
        const char* commands[] = {"DRA", "B", "C"};
        for (int i = 0; i < 3; ++i) {
            moves.moves[i].name = names[i];
            moves.moves[i].command = commands[i];
            moves.moves[i].condition = "null";
        }
        moves.moves[0].animation.initR((dir + "/fire").c_str(), gameLoading());
    }

    void SetUp() override {
        clockSet(1000);
        while (SDL_PollEvent(&event)) {
        }
        releaseAllKeys();
        debugging = false;
        f.initS(&anims, testScreen());
        f.speed = 3.0f;
        f.x = 300;
        f.y = kGroundLevel;
        f.grounded = true;
        f.airActions = 2;
        f.changeAnim("standing");
        bindPlayerKeys(bindings);
        checker.reset(new inputChecker(&moves, &f));
        sounds.head = new soundNode{"swing", nullptr, new soundNode{"thud", nullptr, new soundNode{"breath"}}};
        sounds.count = 3;
        control.init(testScreen());
        control.setup(&f, &defs, &particles, &sounds, &anims, &moves, &bindings, checker.get(), nullptr);
        control.onRequest = [this](playerRequest request) {
            if (request == playerRequest::toggleBoxes) debugging = !debugging;
        };
    }
    void TearDown() override { releaseAllKeys(); }

    // One pass of the main loop's control part, `ms` after the last one.
    void pass(int ms = 20) {
        clockAdvance(ms);
        control.update();
        control.inputChecking(&event);
    }
    // Lets go of every key: in the next pass the fighter stands again.
    void releaseKeysAndStand() {
        releaseAllKeys();
        pass();
        EXPECT_EQ(f.action, "standing");
    }
    std::string buffered() {
        std::string letters;
        for (inputNode* node = checker->head; node; node = node->next) letters += node->key;
        return letters;
    }
};
animationSet ControlTest::anims;
moveSet ControlTest::moves;
}  // namespace

TEST(GamePad, StartsAsDefaultWithNoKeys) {
    keyBindings bindings;
    EXPECT_EQ(bindings.name, "Default");
    for (int code : {bindings.buttonA, bindings.buttonB, bindings.buttonC, bindings.left, bindings.right, bindings.up, bindings.down})
        EXPECT_EQ(code, 0);
}

TEST_F(ControlTest, InitClearsTheNamesAndPointers) {
    control.init(nullptr);
    EXPECT_EQ(control.fighter, nullptr);
    EXPECT_EQ(control.checker, nullptr);
    EXPECT_EQ(control.quit, 0);
    for (const std::string* name : {&control.actionNow, &control.actionPrev, &control.soundNow,
                                    &control.soundPrev, &control.particleNow, &control.particlePrev})
        EXPECT_EQ(*name, "NULL");
}

TEST_F(ControlTest, DirectionLettersFollowTheFacing) {
    f.dir = true;
    pushKey(SDLK_RIGHT);
    pushKey(SDLK_LEFT);
    pushKey(SDLK_DOWN);
    pass();
    f.dir = false;
    pushKey(SDLK_LEFT);
    pushKey(SDLK_RIGHT);
    pass();
    EXPECT_EQ(buffered(), "RLDRL");
    EXPECT_EQ(checker->head->time, 1020);
    EXPECT_EQ(checker->head->action, "standing");
}

TEST_F(ControlTest, UpJumpsBeforeItsLetterIsStamped) {
    pushKey(SDLK_UP);
    pass();
    EXPECT_EQ(f.action, "inAir");
    EXPECT_EQ(f.ySpeed, 15);  // 16, less one step of pull in the same pass
    pushKey(SDLK_UP);
    pushKey(SDLK_UP);  // no air actions left: the letter still goes
    pass();
    EXPECT_EQ(buffered(), "UUU");
    EXPECT_EQ(checker->head->action, "inAir");
    EXPECT_EQ(f.airActions, 0);
}

TEST_F(ControlTest, CommandStartsTheMoveAndBusyFightersStandStill) {
    f.dir = true;
    pushKey(SDLK_DOWN);
    pass();
    pushKey(SDLK_RIGHT);
    pushKey(SDLK_z);
    startCapture();
    pass();
    std::string out = stopCapture();
    EXPECT_NE(out.find("searched DRA|| Against DRA"), std::string::npos);
    EXPECT_NE(out.find("Have Move - fire!"), std::string::npos);
    EXPECT_EQ(f.action, "fire");
    ASSERT_TRUE(f.returnBusy());
    held(SDLK_LEFT) = 1;
    pass();
    pass();
    EXPECT_EQ(f.x, 300);
    EXPECT_TRUE(f.dir);
    EXPECT_EQ(f.action, "fire");
}

TEST_F(ControlTest, ButtonsBAndCSendTheirLettersAndUnloadedMovesNeverStart) {
    startCapture();
    pushKey(SDLK_x);
    pass();
    pushKey(SDLK_c);
    pass();
    std::string out = stopCapture();
    EXPECT_NE(out.find("Ready are we? with B"), std::string::npos);
    EXPECT_NE(out.find("searched C|| Against C"), std::string::npos);
    EXPECT_FALSE(f.returnBusy());
    EXPECT_EQ(f.action, "standing");
}

TEST_F(ControlTest, HeldDownWalksThenDucksAndReleaseStands) {
    held(SDLK_DOWN) = 1;
    pass();
    EXPECT_EQ(f.action, "walk");
    pass();
    EXPECT_EQ(f.action, "duck");
    held(SDLK_RIGHT) = 1;  // ducking: no walking, no turning
    pass();
    EXPECT_EQ(f.x, 300);
    EXPECT_FALSE(f.dir);
    releaseKeysAndStand();
}

TEST_F(ControlTest, ArrowsWalkOneStepPerTenMilliseconds) {
    held(SDLK_RIGHT) = 1;
    pass();
    EXPECT_EQ(f.x, 303);
    EXPECT_TRUE(f.dir);
    EXPECT_EQ(f.action, "walk");
    pass(10);  // exactly 10 ms: no step yet
    EXPECT_EQ(f.x, 303);
    pass(1);
    EXPECT_EQ(f.x, 306);
    held(SDLK_LEFT) = 1;  // both: no motion, facing right
    f.dir = false;
    pass();
    EXPECT_EQ(f.x, 306);
    EXPECT_TRUE(f.dir);
    releaseKeysAndStand();
}

// The training keys raise their requests, where the key file put them, and
// every key pressed and let go is heard (training records from there).
TEST_F(ControlTest, TrainingKeysRaiseTheirRequestsAndKeysAreHeard) {
    std::vector<playerRequest> raised;
    control.onRequest = [&](playerRequest request) { raised.push_back(request); };
    std::string heard;
    control.onKey = [&](int key, bool pressed) { heard += (pressed ? "+" : "-") + std::to_string(key) + " "; };
    bindings.stance = SDLK_F6;
    for (int key : {SDLK_F1, SDLK_F2, SDLK_F3, SDLK_F6, SDLK_F4}) pushKey(key);
    SDL_Event up;
    std::memset(&up, 0, sizeof up);
    up.type = SDL_KEYUP;
    up.key.type = SDL_KEYUP;
    up.key.keysym.sym = SDLK_F4;
    SDL_PushEvent(&up);
    pass();
    const std::vector<playerRequest> expected = {playerRequest::record, playerRequest::playback,
                                                 playerRequest::stance, playerRequest::reset};
    EXPECT_TRUE(expected == raised) << raised.size() << " requests";
    std::string wanted;
    for (int key : {SDLK_F1, SDLK_F2, SDLK_F3, SDLK_F6, SDLK_F4}) wanted += "+" + std::to_string(key) + " ";
    EXPECT_EQ(wanted + "-" + std::to_string(SDLK_F4) + " ", heard);
    EXPECT_EQ("", buffered()) << "no letters";
}

TEST_F(ControlTest, EscapeQuitsAndTheRestOfTheQueueIsStillHandled) {
    f.dir = true;
    pushKey(SDLK_ESCAPE);
    pushKey(SDLK_j);
    pushKey(SDLK_RIGHT);
    pass();
    EXPECT_EQ(control.quit, 1);
    EXPECT_TRUE(debugging);
    EXPECT_EQ(buffered(), "R");
    pushKey(SDLK_j);
    pass();
    EXPECT_FALSE(debugging);
    EXPECT_EQ(control.quit, 1);
}

TEST_F(ControlTest, FrameSoundsAndParticlesFireOncePerChange) {
    f.changeAnim("attack");
    // Frame shown in each pass, the sound it should play and its launches.
    struct Step {
        int frame;
        const char* sound;
        int launches;
    };
    const Step script[] = {{0, nullptr, 1},  {1, nullptr, 0}, {2, nullptr, 0},
                           {3, "thud", 2},   {3, nullptr, 0}, {0, "swing", 1}};
    for (const Step& step : script) {
        f.frame = step.frame;
        startCapture();
        clockAdvance(5);
        control.update();
        std::string out = stopCapture();
        SCOPED_TRACE(step.frame);
        EXPECT_EQ(countOf(out, "FOUND SOUND EFFECT"), step.sound ? 1 : 0);
        if (step.sound) {
            EXPECT_EQ(countOf(out, std::string(step.sound) + " VS " + step.sound), 1);
        }
        EXPECT_EQ(countOf(out, "TD: " + std::to_string(control.lastUpdate) + "\n"), step.launches);
        EXPECT_EQ(countOf(out, "dding"), step.launches);  // one addParticle per line
    }
}

TEST_F(ControlTest, NewActionFrameZeroSoundPlaysOnlyAfterAnotherFrame) {
    f.changeAnim("attack");
    f.frame = 2;
    control.update();  // first sight of a new action: counts as frame 0
    EXPECT_EQ(control.frameNow, 0);
    f.changeAnim("standing");
    startCapture();
    control.update();
    EXPECT_EQ(countOf(stopCapture(), "FOUND SOUND EFFECT"), 0);
    f.changeAnim("attack");
    f.frame = 2;
    control.update();
    control.update();  // now seen at frame 2
    f.changeAnim("standing");
    startCapture();
    control.update();
    EXPECT_EQ(countOf(stopCapture(), "breath VS breath"), 1);
}
