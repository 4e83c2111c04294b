// The gamepad: its events read into presses and held directions, and the
// real loop driven by joystick events, alone and beside the keyboard.
#include <gtest/gtest.h>

#include <vector>

#include "sprites/clock.h"
#include "input/keyRecording.h"
#include "input/padState.h"
#include "shell/scene.h"
#include "testSupport.h"

namespace {
SDL_Event hatEvent(Uint8 value, Uint8 which = 0, Uint8 hat = 0) {
    SDL_Event event = {};
    event.type = SDL_JOYHATMOTION;
    event.jhat = {SDL_JOYHATMOTION, which, hat, value};
    return event;
}

SDL_Event axisEvent(Uint8 axis, int value, Uint8 which = 0) {
    SDL_Event event = {};
    event.type = SDL_JOYAXISMOTION;
    event.jaxis = {SDL_JOYAXISMOTION, which, axis, static_cast<Sint16>(value)};
    return event;
}

SDL_Event buttonEvent(Uint8 button, bool down = true, Uint8 which = 0) {
    SDL_Event event = {};
    event.type = down ? SDL_JOYBUTTONDOWN : SDL_JOYBUTTONUP;
    event.jbutton = {event.type, which, button, static_cast<Uint8>(down ? SDL_PRESSED : SDL_RELEASED)};
    return event;
}

// Actions as letters: A B C, U D R L, j for the debug boxes (padAction's order).
char letterOf(padAction action) { return "ABCUDRLj"[static_cast<int>(action)]; }

std::string heldOf(const padState& pad) {
    std::string held;
    for (padAction direction : {padAction::up, padAction::down, padAction::left, padAction::right})
        if (pad.holds(direction)) held += letterOf(direction);
    return held;
}
}  // namespace

TEST(PadState, EventsPressAndHoldDirectionsAndButtons) {
    const struct {
        const char* label;
        std::vector<SDL_Event> events;
        std::string presses;  // of all the events, in order
        std::string held;     // after the last one
        const char* releases = nullptr;  // of all the events, in order; null: not looked at
    } cases[] = {
        {"hat right", {hatEvent(SDL_HAT_RIGHT)}, "R", "R"},
        {"hat quarter circle", {hatEvent(SDL_HAT_DOWN), hatEvent(SDL_HAT_RIGHTDOWN), hatEvent(SDL_HAT_RIGHT)},
         "DR", "R"},
        {"hat diagonal at once", {hatEvent(SDL_HAT_LEFTDOWN)}, "DL", "DL"},
        {"hat released and pressed again", {hatEvent(SDL_HAT_UP), hatEvent(SDL_HAT_CENTERED), hatEvent(SDL_HAT_UP)},
         "UU", "U", "U"},
        {"stick inside the dead zone", {axisEvent(0, kStickDeadZone - 1), axisEvent(1, 1 - kStickDeadZone)}, "", ""},
        {"stick at the dead zone's edge", {axisEvent(0, kStickDeadZone), axisEvent(1, -kStickDeadZone)}, "RU", "UR"},
        {"stick to its ends", {axisEvent(0, -32768), axisEvent(1, 32767)}, "LD", "DL"},
        {"stick leaning further presses once", {axisEvent(0, 9000), axisEvent(0, 20000), axisEvent(0, 32767)}, "R",
         "R"},
        {"stick back into the dead zone and out", {axisEvent(0, 20000), axisEvent(0, 4000), axisEvent(0, 20000)},
         "RR", "R"},
        {"stick hovering about the dead zone's edge presses once",
         {axisEvent(0, kStickDeadZone), axisEvent(0, kStickDeadZone - 900), axisEvent(0, kStickDeadZone + 300),
          axisEvent(0, kStickReleaseZone), axisEvent(0, kStickDeadZone), axisEvent(1, -kStickDeadZone),
          axisEvent(1, -kStickReleaseZone), axisEvent(1, -kStickDeadZone - 1)},
         "RU", "UR"},
        {"stick let go only under the release line", {axisEvent(0, -kStickDeadZone), axisEvent(0, 1 - kStickReleaseZone)},
         "L", ""},
        {"stick back under the release line and out presses again",
         {axisEvent(1, kStickDeadZone), axisEvent(1, kStickReleaseZone - 1), axisEvent(1, kStickDeadZone)}, "DD", "D"},
        {"stick swung from one end to the other", {axisEvent(0, 32767), axisEvent(0, -32768)}, "RL", "L", "R"},
        {"hat and stick together press once", {hatEvent(SDL_HAT_LEFT), axisEvent(0, -20000), hatEvent(0)}, "L",
         "L", ""},
        {"buttons 1 to 4, releases", {buttonEvent(0), buttonEvent(0, false), buttonEvent(1), buttonEvent(2),
                                      buttonEvent(3), buttonEvent(3, false)},
         "ABCj", "", "Aj"},
        {"fifth button, other axes, hats and pads",
         {buttonEvent(4), axisEvent(2, 32767), axisEvent(3, -32768), hatEvent(SDL_HAT_UP, 0, 1),
          hatEvent(SDL_HAT_UP, 1), axisEvent(0, 32767, 1), buttonEvent(0, true, 1)},
         "", ""},
    };
    for (const auto& c : cases) {
        padState pad;
        std::string presses, releases;
        for (const SDL_Event& event : c.events) {
            padPresses got = pad.take(event);
            for (int at = 0; at < got.count; ++at) presses += letterOf(got.list[at]);
            for (int at = 0; at < got.releaseCount; ++at) releases += letterOf(got.releases[at]);
        }
        EXPECT_EQ(c.presses, presses) << c.label;
        if (c.releases) {
            EXPECT_EQ(c.releases, releases) << c.label;
        }
        EXPECT_EQ(c.held, heldOf(pad)) << c.label;
    }
}

namespace {
gameScene* objects = nullptr;

void passes(int count) {
    for (int i = 0; i < count; ++i) {
        clockAdvance(20);
        runPass(*objects);
    }
}

// Each event gets a pass of its own, as a player's hand would.
std::string play(const std::vector<SDL_Event>& events) {
    startCapture();
    for (SDL_Event event : events) {
        SDL_PushEvent(&event);
        passes(1);
    }
    return stopCapture();
}

std::string buffered() {
    std::string letters;
    for (inputNode* node = objects->checker->head; node; node = node->next) letters += node->key;
    return letters;
}

// The bundled scene, started once; between cases the pad is let go and the
// fighter stands on the floor with no move running and no letters typed.
class PadScene : public testing::Test {
protected:
    static void SetUpTestSuite() {
        objects = startSceneIn(sourceDir());
        ASSERT_NE(nullptr, objects);
    }
    void SetUp() override { settle(); }
    static void settle() {
        play({hatEvent(SDL_HAT_CENTERED), axisEvent(0, 0), axisEvent(1, 0)});
        startCapture();
        for (int i = 0; i < 600 && (objects->player().currentMove || !objects->player().grounded || objects->player().action != "standing"); ++i)
            passes(1);
        passes(40);  // letters typed on the way age out
        objects->checker->deleteList();
        stopCapture();
        ASSERT_TRUE(objects->player().grounded);
        ASSERT_EQ(nullptr, objects->player().currentMove);
        objects->debugging = false;
    }
    // Walks the fighter round by holding the hat that way for a few passes.
    static void face(bool right) {
        int before = objects->player().x;
        play({hatEvent(right ? SDL_HAT_RIGHT : SDL_HAT_LEFT)});
        startCapture();
        passes(8);
        stopCapture();
        EXPECT_EQ(right, objects->player().dir);
        EXPECT_EQ(right, objects->player().x > before) << "the held hat walks the fighter";
        settle();
    }
};

moveInfo* moveWithCommand(const std::string& command) {
    for (moveInfo& move : objects->content.moves.moves)
        if (move.command == command) return &move;
    return nullptr;
}
}  // namespace

TEST_F(PadScene, MotionAndButtonPerformTheMoveMirroredWhenFacingLeft) {
    moveInfo* fireball = moveWithCommand("DRA");
    ASSERT_NE(nullptr, fireball) << "the bundled moves have a DRA move";
    for (bool right : {true, false}) {
        for (bool stick : {false, true}) {
            std::string label = std::string(right ? "facing right" : "facing left") + (stick ? ", stick" : ", hat");
            face(right);
            Uint8 forward = right ? SDL_HAT_RIGHT : SDL_HAT_LEFT;
            int lean = right ? 32767 : -32768;
            std::vector<SDL_Event> motion =
                stick ? std::vector<SDL_Event>{axisEvent(1, 32767), axisEvent(0, lean), axisEvent(1, 0),
                                               axisEvent(0, 0), buttonEvent(0), buttonEvent(0, false)}
                      : std::vector<SDL_Event>{hatEvent(SDL_HAT_DOWN), hatEvent(SDL_HAT_DOWN | forward),
                                               hatEvent(forward), hatEvent(SDL_HAT_CENTERED), buttonEvent(0),
                                               buttonEvent(0, false)};
            // Training records the pad's presses and releases as seen from the facing.
            objects->training = true;
            objects->trainer.recording.start(static_cast<int>(clockTicks()));
            std::string out = play(motion);
            objects->training = false;
            std::string recorded;
            for (const recordedKey& key : objects->trainer.recording.keys)
                recorded += std::string(key.pressed ? "+" : "-") + inputName(key.input) + " ";
            objects->trainer.recording.recording = false;
            EXPECT_EQ("+down +forward -down -forward +buttonA -buttonA ", recorded) << label;
            EXPECT_NE(std::string::npos, out.find("Have Move - " + fireball->name + "!")) << label << "\n" << out;
            EXPECT_EQ(fireball, objects->player().currentMove) << label;
            EXPECT_EQ(right, objects->player().dir) << label;
            settle();
        }
    }
}

TEST_F(PadScene, TheStickWalksOnlyBeyondItsDeadZone) {
    face(true);
    const struct {
        int value;
        int walks;            // -1 left, 0 not at all, 1 right
        std::string letters;  // typed by leaning the stick, facing right
    } cases[] = {
        {kStickDeadZone - 1, 0, ""}, {1 - kStickDeadZone, 0, ""},  {kStickDeadZone, 1, "R"},
        {32767, 1, "R"},             {-kStickDeadZone, -1, "L"},   {-32768, -1, "L"},
    };
    for (const auto& c : cases) {
        objects->player().setDir(true);
        int before = objects->player().x;
        play({axisEvent(0, c.value)});
        EXPECT_EQ(c.letters, buffered()) << c.value;
        startCapture();
        passes(5);
        stopCapture();
        int moved = objects->player().x - before;
        EXPECT_EQ(c.walks, (moved > 0) - (moved < 0)) << c.value;
        EXPECT_EQ(c.walks == 0 ? "standing" : "walk", objects->player().action) << c.value;
        settle();
    }
}

TEST_F(PadScene, KeyboardAndPadPlayTogether) {
    moveInfo* fireball = moveWithCommand("DRA");
    ASSERT_NE(nullptr, fireball);
    face(true);
    SDL_Event keyDown = {};
    keyDown.type = keyDown.key.type = SDL_KEYDOWN;
    keyDown.key.state = SDL_PRESSED;
    auto key = [&](SDLKey sym) {
        keyDown.key.keysym.sym = sym;
        return keyDown;
    };
    // The keyboard's down, the pad's forward, the keyboard's A.
    std::string out = play({key(SDLK_DOWN), hatEvent(SDL_HAT_RIGHT), hatEvent(SDL_HAT_CENTERED), key(SDLK_z)});
    EXPECT_NE(std::string::npos, out.find("Have Move - " + fireball->name + "!")) << out;
    settle();
    // The pad's down, the keyboard's forward, the pad's A.
    out = play({hatEvent(SDL_HAT_DOWN), hatEvent(SDL_HAT_CENTERED), key(SDLK_RIGHT), buttonEvent(0)});
    EXPECT_NE(std::string::npos, out.find("Have Move - " + fireball->name + "!")) << out;
    settle();
    // The fourth button shows the boxes, the keyboard's j hides them.
    play({buttonEvent(3)});
    EXPECT_TRUE(objects->debugging);
    play({key(SDLK_j)});
    EXPECT_FALSE(objects->debugging);
    // A held arrow and the stick walk together the same way, no faster than one.
    int before = objects->player().x;
    SDL_GetKeyState(nullptr)[SDLK_RIGHT] = 1;
    play({axisEvent(0, 32767)});
    startCapture();
    passes(9);
    stopCapture();
    SDL_GetKeyState(nullptr)[SDLK_RIGHT] = 0;
    EXPECT_EQ(before + 10 * 3, objects->player().x);
}

TEST(PadState, OpeningSaysSoOnlyWhenAPadIsThere) {
    testScreen();
    startCapture();
    SDL_Joystick* joystick = openFirstPad();
    std::string out = stopCapture();
    if (!joystick) {
        // Nothing changes for a player without a pad: no line, no joystick polling.
        EXPECT_EQ("", out);
        EXPECT_EQ(0u, SDL_WasInit(SDL_INIT_JOYSTICK));
    } else {
        EXPECT_EQ("Gamepad: " + std::string(SDL_JoystickName(0)) + "\n", out);
        EXPECT_EQ(1, SDL_JoystickOpened(0));
    }
}
