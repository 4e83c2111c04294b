// The key file: good lines move bindings, every kind of bad line is
// reported as "keys.txt:LINE: message" and leaves its binding as it was,
// and a remapped keyboard plays a move in the real loop.
#include <gtest/gtest.h>

#include <memory>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <utility>
#include <vector>

#include "sprites/clock.h"
#include "platform/files.h"
#include "platform/platform.h"
#include "input/keyFile.h"
#include "shell/scene.h"
#include "testSupport.h"

namespace {
// The game's bindings before the key file is read.
keyBindings defaults() {
    keyBindings bindings;
    bindPlayerKeys(bindings);
    return bindings;
}

std::map<std::string, int> bindingsOf(const keyBindings& bindings) {
    return {{"a", bindings.buttonA},        {"b", bindings.buttonB},   {"c", bindings.buttonC},
            {"left", bindings.left},        {"right", bindings.right}, {"up", bindings.up},
            {"down", bindings.down},        {"debug", bindings.debug}, {"record", bindings.record},
            {"playback", bindings.playback}, {"stance", bindings.stance}, {"reset", bindings.reset},
            {"p2.left", bindings.p2Left},   {"p2.right", bindings.p2Right}, {"p2.up", bindings.p2Up},
            {"p2.down", bindings.p2Down},   {"p2.a", bindings.p2A},     {"p2.b", bindings.p2B},
            {"p2.c", bindings.p2C}};
}

struct keyFileCase {
    const char* label;
    std::string content;
    std::string reports;                    // standard output, line by line
    std::map<std::string, int> changed;     // bindings that differ from the defaults
};
}  // namespace

TEST(KeyFile, LinesMoveBindingsOrAreReportedAndChangeNothing) {
    testScreen();  // key names come from SDL's video subsystem
    const std::string longLine = "a = " + std::string(300, 'q') + "\n";
    const keyFileCase cases[] = {
        {"good lines, comments, CRLF, any case",
         "# my keys\r\nA = q\r\nleft = Left  # the arrows stay\r\n\r\n  right=RIGHT\r\ndebug = F6\r\n"
         "c = right shift\r\nb = Right_Ctrl",
         "", {{"a", SDLK_q}, {"debug", SDLK_F6}, {"c", SDLK_RSHIFT}, {"b", SDLK_RCTRL}}},
        {"the example in the repository", readFile(sourceDir() + "/docs/keys.txt"), "", {}},
        {"swapped keys", "left = right\nright = left\n", "", {{"left", SDLK_RIGHT}, {"right", SDLK_LEFT}}},
        {"unknown binding", "jump = space\nb = v\n",
         "keys.txt:1: unknown binding \"jump\"; expected left, right, up, down, a, b, c, debug, record, playback, stance, reset, "
         "p2.left, p2.right, p2.up, p2.down, p2.a, p2.b or p2.c\n",
         {{"b", SDLK_v}}},
        {"unknown key", "a = Banana\n", "keys.txt:1: unknown key \"Banana\"; a stays \"z\"\n", {}},
        {"no equals sign", "\n a q \n", "keys.txt:2: expected \"BINDING = KEY\", found \"a q\"\n", {}},
        {"no key", "down =   # nothing\n", "keys.txt:1: expected \"BINDING = KEY\", found \"down =\"\n", {}},
        {"no binding", "= q\n", "keys.txt:1: expected \"BINDING = KEY\", found \"= q\"\n", {}},
        {"two words", "left arrow = q\n", "keys.txt:1: expected \"BINDING = KEY\", found \"left arrow = q\"\n",
         {}},
        {"duplicate binding", "a = q\nc = e\na = w\n",
         "keys.txt:3: a is already set on line 1; this line is ignored\n", {{"a", SDLK_q}, {"c", SDLK_e}}},
        {"escape", "b = escape\n", "keys.txt:1: escape quits the game and can't be bound; b stays \"x\"\n", {}},
        {"the reload and input display keys", "a = F5\nup = i\nc = q\n",
         "keys.txt:1: f5 loads the data again and can't be bound; a stays \"z\"\n"
         "keys.txt:2: i shows the input display and can't be bound; up stays \"up\"\n",
         {{"c", SDLK_q}}},
        {"the training keys' defaults, for other bindings", "a = F1\ndebug = f2\nc = F3\nleft = f4\nb = F6\n",
         "keys.txt:1: f1 is kept for the training keys and can't be bound; a stays \"z\"\n"
         "keys.txt:2: f2 is kept for the training keys and can't be bound; debug stays \"j\"\n"
         "keys.txt:3: f3 is kept for the training keys and can't be bound; c stays \"c\"\n"
         "keys.txt:4: f4 is kept for the training keys and can't be bound; left stays \"left\"\n",
         {{"b", SDLK_F6}}},
        {"training keys moved and swapped", "record = F2\nplayback = f1\nstance = F6\nreset = r\n", "",
         {{"record", SDLK_F2}, {"playback", SDLK_F1}, {"stance", SDLK_F6}, {"reset", SDLK_r}}},
        {"training keys refused as every binding is",
         "record = escape\nplayback = F5\nstance = i\nreset = z\nrecord = F3\n",
         "keys.txt:1: escape quits the game and can't be bound; record stays \"f1\"\n"
         "keys.txt:2: f5 loads the data again and can't be bound; playback stays \"f2\"\n"
         "keys.txt:3: i shows the input display and can't be bound; stance stays \"f3\"\n"
         "keys.txt:5: key \"f3\" is also bound to stance; record stays \"f1\"\n"
         "keys.txt:4: key \"z\" is also bound to a; reset stays \"f4\"\n",
         {}},
        {"SDL's name for keys without one", "b = unknown key\n",
         "keys.txt:1: unknown key \"unknown key\"; b stays \"x\"\n", {}},
        {"a byte-order mark before the first line", "\xEF\xBB\xBF" "a = q\r\nb = \xEF\xBB\xBF" "v\r\n",
         "keys.txt:2: unknown key \"\xEF\xBB\xBF" "v\"; b stays \"x\"\n", {{"a", SDLK_q}}},
        {"control bytes are shown, not echoed", "a\x1b[2J = q\nb = \x07v\x7f\nc\x01\n",
         "keys.txt:1: unknown binding \"a\\x1b[2J\"; expected left, right, up, down, a, b, c, debug, record, playback, stance, reset, "
         "p2.left, p2.right, p2.up, p2.down, p2.a, p2.b or p2.c\n"
         "keys.txt:2: unknown key \"\\x07v\\x7f\"; b stays \"x\"\n"
         "keys.txt:3: expected \"BINDING = KEY\", found \"c\\x01\"\n",
         {}},
        {"a key kept by another binding", "a = x\n",
         "keys.txt:1: key \"x\" is also bound to b; a stays \"z\"\n", {}},
        {"one key for two lines", "a = q\nb = q\n",
         "keys.txt:2: key \"q\" is also bound to a; b stays \"x\"\n", {{"a", SDLK_q}}},
        {"a refused key frees no other", "c = z\na = x\n",
         "keys.txt:2: key \"x\" is also bound to b; a stays \"z\"\n"
         "keys.txt:1: key \"z\" is also bound to a; c stays \"c\"\n",
         {}},
        {"the debug key", "a = j\n", "keys.txt:1: key \"j\" is also bound to debug; a stays \"z\"\n", {}},
        {"player 2's keys moved and refused as player 1's", "p2.left = k\nP2.A = 1\np2.b = F1\np2.c = escape\n",
         "keys.txt:3: f1 is kept for the training keys and can't be bound; p2.b stays \"g\"\n"
         "keys.txt:4: escape quits the game and can't be bound; p2.c stays \"h\"\n",
         {{"p2.left", SDLK_k}, {"p2.a", SDLK_1}}},
        {"a key bound for both players", "p2.a = q\na = q\np2.up = up\nb = y\np2.down = y\n",
         "keys.txt:5: key \"y\" is also bound to b; p2.down stays \"s\"\n"
         "keys.txt:3: key \"up\" is also bound to up; p2.up stays \"w\"\n"
         "keys.txt:2: key \"q\" is also bound to p2.a; a stays \"z\"\n",
         {{"p2.a", SDLK_q}, {"b", SDLK_y}}},
        {"player 1 takes player 2's default keys", "left = a\nc = h\n", "",
         {{"left", SDLK_a}, {"p2.left", 0}, {"c", SDLK_h}, {"p2.c", 0}}},
        {"long line", longLine + "b = v\n", "keys.txt:1: line longer than 254 characters; read in pieces\n",
         {{"b", SDLK_v}}},
    };
    std::string dir = makeTempDir("keys");
    for (const keyFileCase& c : cases) {
        writeFile(dir + "/keys.txt", c.content);
        keyBindings bindings = defaults();
        int reports = -1;
        startCapture();
        inFolder(dir, [&] { reports = loadKeyFile("keys.txt", bindings, gameLoading()); });
        std::string out = stopCapture();
        EXPECT_EQ(c.reports, out) << c.label;
        EXPECT_EQ(std::count(c.reports.begin(), c.reports.end(), '\n'), reports) << c.label;
        std::map<std::string, int> expected = bindingsOf(defaults());
        for (const auto& change : c.changed) expected[change.first] = change.second;
        EXPECT_EQ(expected, bindingsOf(bindings)) << c.label;
    }

    // No file: the defaults, silently. A folder in its place: one line, the defaults.
    for (bool folder : {false, true}) {
        std::remove((dir + "/keys.txt").c_str());
        if (folder) makeFolders(dir + "/keys.txt");
        keyBindings bindings = defaults();
        startCapture();
        inFolder(dir, [&] { loadKeyFile("keys.txt", bindings, gameLoading()); });
        std::string out = stopCapture();
        EXPECT_EQ(folder ? "keys.txt: can't be read (Is a directory); the default keys stay\n" : "", out);
        EXPECT_EQ(bindingsOf(defaults()), bindingsOf(bindings));
    }
}

// The bundled scene started in a folder whose key file moves the arrows and
// the buttons: the new keys walk and type a move, the old ones do nothing.
TEST(KeyFile, RemappedKeysPlayAMoveInTheRealLoop) {
    std::string dir = makeTempDir("keyscene");
    ASSERT_TRUE(placeBundledData(dir));
    writeFile(dir + "/keys.txt", "left = a\nright = d\ndown = s\nup = w\na = k\nb = l\nc = ;\ndebug = F6\n");
    std::string startUp;
    std::unique_ptr<gameScene> objects(startSceneIn(dir, &startUp));
    ASSERT_NE(nullptr, objects.get());
    EXPECT_NE(std::string::npos, startUp.find("Right is also 100\n")) << "d is the right key";
    EXPECT_NE(std::string::npos, startUp.find("Keys from keys.txt\n")) << startUp;
    EXPECT_EQ(std::string::npos, startUp.find("keys.txt:")) << startUp;

    auto passes = [&](int count) {
        for (int i = 0; i < count; ++i) {
            clockAdvance(20);
            runPass(*objects);
        }
    };
    startCapture();
    passes(150);  // onto the floor
    stopCapture();
    ASSERT_TRUE(objects->player().grounded);
    ASSERT_FALSE(objects->player().dir) << "the fighter starts facing left";

    // Held keys walk: "d" turns him right and moves him.
    int startX = objects->player().x;
    SDL_GetKeyState(nullptr)[SDLK_d] = 1;
    startCapture();
    passes(10);
    SDL_GetKeyState(nullptr)[SDLK_d] = 0;
    passes(60);
    stopCapture();
    EXPECT_TRUE(objects->player().dir);
    EXPECT_GT(objects->player().x, startX);

    // The old keys do nothing; then down, forward, A types the fireball.
    auto type = [&](std::initializer_list<int> keys) {
        startCapture();
        for (int key : keys) {
            pushKeyDown(key);
            passes(1);
        }
        return stopCapture();
    };
    std::string oldKeys = type({SDLK_DOWN, SDLK_RIGHT, SDLK_z, SDLK_j});
    EXPECT_EQ(std::string::npos, oldKeys.find("Have Move")) << oldKeys;
    EXPECT_FALSE(objects->debugging);
    std::string typed = type({SDLK_s, SDLK_d, SDLK_k, SDLK_F6});
    EXPECT_NE(std::string::npos, typed.find("Have Move - ")) << typed;
    EXPECT_NE(nullptr, objects->player().currentMove);
    EXPECT_EQ("DRA", objects->player().currentMove ? objects->player().currentMove->command : "");
    EXPECT_TRUE(objects->debugging) << "F6 is the debug key";
}

namespace {
// The variables that name this user's settings folder, as the system reads them.
#ifdef _WIN32
const char* const kSettingsVariables[] = {"APPDATA"};
#else
const char* const kSettingsVariables[] = {"XDG_CONFIG_HOME", "HOME"};
#endif

// One set-up of the variables and files, and the key file the game picks.
struct searchCase {
    const char* label;
    std::vector<std::pair<const char*, std::string>> variables;  // "$T" stands for the scratch folder
    std::vector<std::string> files;                              // key files made, under the scratch folder
    std::string found;                                           // under the scratch folder; "" for none
};

std::string expand(const std::string& text, const std::string& scratch) {
    return text.compare(0, 2, "$T") == 0 ? scratch + text.substr(2) : text;
}
}  // namespace

// The key file is looked for in this user's settings folder first, then
// beside the game; the first found is read and named in one line.
TEST(KeyFile, TheUsersOwnFileComesFirstThenTheOneBesideTheGame) {
    testScreen();
#ifdef _WIN32
    const std::vector<searchCase> cases = {
        {"%APPDATA% first", {{"APPDATA", "$T/roaming"}}, {"roaming/fightscene/keys.txt", "game/keys.txt"},
         "roaming\\fightscene\\keys.txt"},
        {"then beside the game", {{"APPDATA", "$T/roaming"}}, {"game/keys.txt"}, "game/keys.txt"},
        {"none", {{"APPDATA", "$T/roaming"}}, {}, ""},
    };
#else
    const std::vector<searchCase> cases = {
        {"$XDG_CONFIG_HOME first", {{"XDG_CONFIG_HOME", "$T/xdg"}, {"HOME", "$T/home"}},
         {"xdg/fightscene/keys.txt", "home/.config/fightscene/keys.txt", "game/keys.txt"},
         "xdg/fightscene/keys.txt"},
        {"$XDG_CONFIG_HOME set: ~/.config is not looked at",
         {{"XDG_CONFIG_HOME", "$T/xdg/"}, {"HOME", "$T/home"}},
         {"home/.config/fightscene/keys.txt", "game/keys.txt"}, "game/keys.txt"},
        {"~/.config when $XDG_CONFIG_HOME is empty", {{"XDG_CONFIG_HOME", ""}, {"HOME", "$T/home"}},
         {"home/.config/fightscene/keys.txt", "game/keys.txt"}, "home/.config/fightscene/keys.txt"},
        {"~/.config when $XDG_CONFIG_HOME is not absolute", {{"XDG_CONFIG_HOME", "xdg"}, {"HOME", "$T/home/"}},
         {"xdg/fightscene/keys.txt", "home/.config/fightscene/keys.txt"}, "home/.config/fightscene/keys.txt"},
        {"beside the game without a user file", {{"XDG_CONFIG_HOME", ""}, {"HOME", "$T/home"}},
         {"game/keys.txt"}, "game/keys.txt"},
        {"no home at all", {{"XDG_CONFIG_HOME", ""}, {"HOME", ""}}, {"game/keys.txt"}, "game/keys.txt"},
        {"none", {{"XDG_CONFIG_HOME", "$T/xdg"}, {"HOME", "$T/home"}}, {}, ""},
    };
#endif
    std::vector<std::string> saved;
    for (const char* name : kSettingsVariables) saved.push_back(std::getenv(name) ? std::getenv(name) : "");
    for (const searchCase& c : cases) {
        std::string scratch = makeTempDir("keysearch");
        makeDirs(scratch + "/game");
        for (const auto& variable : c.variables)
            setEnvironment(variable.first, expand(variable.second, scratch).c_str(), true);
        // Each file moves the A button to a key of its own: the one read shows.
        for (size_t at = 0; at < c.files.size(); ++at)
            writeFile(scratch + "/" + c.files[at], std::string("a = ") + "qwe"[at] + "\n");
        std::string found;
        std::string out;
        keyBindings bindings = defaults();
        inFolder(scratch + "/game", [&] {
            found = findKeyFile();
            startCapture();
            loadPlayerKeyFile(bindings, gameLoading());
            out = stopCapture();
        });
        if (c.found.empty()) {
            EXPECT_EQ("", found) << c.label;
            EXPECT_EQ("", out) << c.label << ": nothing is said without a key file";
            EXPECT_EQ(SDLK_z, bindings.buttonA) << c.label;
            continue;
        }
        std::string expected = c.found == "game/keys.txt" ? "keys.txt" : scratch + "/" + c.found;
        EXPECT_EQ(expected, found) << c.label;
        EXPECT_EQ("Keys from " + expected + "\n", out) << c.label;
        std::string made = c.found;  // as the file was made
        std::replace(made.begin(), made.end(), '\\', '/');
        size_t which = std::find(c.files.begin(), c.files.end(), made) - c.files.begin();
        ASSERT_LT(which, c.files.size()) << c.label;
        EXPECT_EQ("qwe"[which], bindings.buttonA) << c.label;
    }
    for (size_t at = 0; at < saved.size(); ++at) setEnvironment(kSettingsVariables[at], saved[at].c_str(), true);
}
