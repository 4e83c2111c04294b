// The command line read by a table: the game's flags, valued options in both
// forms, a tool's files beside its options, and every kind of mistake with
// its one-line message; the usage lists the table.
#include <gtest/gtest.h>

#include <cctype>
#include <sstream>
#include <string>
#include <vector>

#include "options.h"
#include "input/keyFile.h"
#include "testSupport.h"

namespace {
struct parseCase {
    std::vector<std::string> args;  // after the program name
    parseResult result;
    bool window;
    std::string problem;  // "" when there is none
    bool watch = false;
    std::string recordFile = "";
    std::string versus = "";  // versusText of the choice
};

// What the versus options chose, in one line; "" without versus.
std::string versusText(const versusSetup& match) {
    if (!match.versus) return "";
    return "cpu " + std::to_string(match.cpuLevel) + ", " + match.p1 + " against " + match.p2 + ", " +
           std::to_string(match.roundSeconds) + " s";
}

// A table with a valued option beside the game's flags, as options that
// take a value will be added.
std::string seenLevel;
bool setLevel(gameOptions&, const char* value, std::string& problem) {
    if (std::string(value) != "easy" && std::string(value) != "hard") {
        problem = "expected easy or hard, found '" + std::string(value) + "'";
        return false;
    }
    seenLevel = value;
    return true;
}
bool setWindow(gameOptions& options, const char*, std::string&) { return options.window = true; }
const optionSpec<gameOptions> kTestTable[] = {
    {"--window", nullptr, "a window", setWindow},
    {"--level", "LEVEL", "easy or hard", setLevel},
};

parseResult parse(const std::vector<std::string>& args, bool withTestTable, gameOptions& options,
                  std::string& problem) {
    std::vector<std::string> words = {"fightscene"};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(&word[0]);
    if (!withTestTable) return parseOptions(static_cast<int>(argv.size()), argv.data(), options, problem);
    operandList none;
    if (!readOptions(kTestTable, static_cast<int>(argv.size()), argv.data(), options, none, problem))
        return parseResult::mistake;
    return options.help ? parseResult::help : parseResult::run;
}
}  // namespace

TEST(Options, TheGameTableParsesFlagsAndRefusesMistakes) {
    const parseCase cases[] = {
        {{}, parseResult::run, false, ""},
        {{"--window"}, parseResult::run, true, ""},
        {{"--help"}, parseResult::help, false, ""},
        {{"--watch", "--window"}, parseResult::run, true, "", true},
        {{"--window", "--help"}, parseResult::help, true, ""},
        {{"--fullscreen"}, parseResult::mistake, false, "unknown option '--fullscreen'"},
        {{"--window=yes"}, parseResult::mistake, false, "option '--window' takes no value"},
        {{"-w"}, parseResult::mistake, false, "unexpected argument '-w'"},
        {{"data"}, parseResult::mistake, false, "unexpected argument 'data'"},
        {{"--window", "--nosuch", "--help"}, parseResult::mistake, true, "unknown option '--nosuch'"},
        {{"--record-file", "mine.txt"}, parseResult::run, false, "", false, "mine.txt"},
        {{"--record-file=a b.txt", "--watch"}, parseResult::run, false, "", true, "a b.txt"},
        {{"--record-file"}, parseResult::mistake, false, "option '--record-file' needs a value PATH"},
        {{"--record-file="}, parseResult::mistake, false, "option '--record-file': the path is empty"},
        {{"--versus"}, parseResult::run, false, "", false, "", "cpu 0, Burn against , 99 s"},
        {{"--cpu", "--window"}, parseResult::run, true, "", false, "", "cpu 4, Burn against , 99 s"},
        {{"--cpu", "8", "--p1=Gale", "--p2", "Dummy", "--round-time", "0"}, parseResult::run, false, "", false, "",
         "cpu 8, Gale against Dummy, 0 s"},
        {{"--cpu=0"}, parseResult::mistake, false, "option '--cpu': expected a number from 1 to 8, found '0'"},
        {{"--cpu", "9x"}, parseResult::mistake, false, "option '--cpu': expected a number from 1 to 8, found '9x'"},
        {{"--p2", "../Burn"}, parseResult::mistake, false,
         "option '--p2': expected the name of a character's folder under data, found '../Burn'"},
        {{"--round-time=-5"}, parseResult::mistake, false,
         "option '--round-time': expected a number from 0 to 9999, found '-5'"},
        {{"--training", "--cpu"}, parseResult::mistake, false, "--training can't be played with --versus or --cpu"},
        {{"--host", "--delay", "0"}, parseResult::run, false, "", false, "", "cpu 0, Burn against , 99 s"},
        {{"--host", "0"}, parseResult::mistake, false,
         "option '--host': expected a number from 1 to 65535, found '0'"},
        {{"--join", "h:70000"}, parseResult::mistake, false,
         "option '--join': bad port \"70000\" in \"h:70000\" (1-65535)"},
        {{"--host", "--delay=9"}, parseResult::mistake, false,
         "option '--delay': expected a number from 0 to 8, found '9'"},
        {{"--host", "--cpu"}, parseResult::mistake, false, "--cpu can't be played over the network"},
        {{"--join", "h", "--versus"}, parseResult::mistake, false,
         "the host chooses the match: --join takes no --versus"},
        {{"--host", "--watch"}, parseResult::mistake, false, "--watch can't be played over the network", true},
        {{"--net-sim", "loss=5"}, parseResult::mistake, false, "--net-sim and --net-replay need --host or --join"},
    };
    for (const parseCase& c : cases) {
        gameOptions options;
        std::string problem;
        std::string shown = c.args.empty() ? "(none)" : c.args[0] + (c.args.size() > 1 ? " ..." : "");
        EXPECT_EQ(c.result, parse(c.args, false, options, problem)) << shown;
        EXPECT_EQ(c.window, options.window) << shown;
        EXPECT_EQ(c.watch, options.watch) << shown;
        EXPECT_EQ(c.recordFile, options.recordFile) << shown;
        EXPECT_EQ(c.problem, problem) << shown;
        if (c.result == parseResult::run) {
            EXPECT_EQ(c.versus, versusText(options.match)) << shown;
        }
    }
}

TEST(Options, ValuedOptionsTakeBothFormsAndTheirValuesAreChecked) {
    const struct {
        std::vector<std::string> args;
        parseResult result;
        std::string level;
        std::string problem;
    } cases[] = {
        {{"--level", "hard"}, parseResult::run, "hard", ""},
        {{"--level=easy", "--window"}, parseResult::run, "easy", ""},
        {{"--level"}, parseResult::mistake, "", "option '--level' needs a value LEVEL"},
        {{"--level=odd"}, parseResult::mistake, "", "option '--level': expected easy or hard, found 'odd'"},
        {{"--level", "--window"}, parseResult::mistake, "",
         "option '--level': expected easy or hard, found '--window'"},
        {{"--level="}, parseResult::mistake, "", "option '--level': expected easy or hard, found ''"},
    };
    for (const auto& c : cases) {
        seenLevel.clear();
        gameOptions options;
        std::string problem;
        EXPECT_EQ(c.result, parse(c.args, true, options, problem)) << c.args[0];
        EXPECT_EQ(c.level, seenLevel) << c.args[0];
        EXPECT_EQ(c.problem, problem) << c.args[0];
    }
}

TEST(Options, UsageHasTheSynopsisAndALinePerOption) {
    std::string usage = usageText();
    EXPECT_EQ(0u, usage.find("Usage: fightscene [OPTION]...\n")) << usage;
    // "  NAME VALUE", spaces to the column of the widest, the help: the help of `option`.
    auto helpOf = [&](const std::string& option) {
        size_t at = usage.find("\n  " + option + " ");
        if (at == std::string::npos) return std::string();
        size_t help = usage.find_first_not_of(' ', at + 3 + option.size());
        return usage.substr(help, usage.find('\n', help) - help);
    };
    EXPECT_EQ("play in an 800x600 window instead of the full screen", helpOf("--window")) << usage;
    EXPECT_EQ(0u, helpOf("--watch").find("load data again whenever a file under it changes")) << usage;
    EXPECT_EQ("in training, read the recording from PATH and save it there", helpOf("--record-file PATH")) << usage;
    EXPECT_EQ(0u, helpOf("--training").find("add a training partner to hit")) << usage;
    EXPECT_EQ("print this help and exit", helpOf("--help")) << usage;
    auto columnOf = [&](const std::string& option) {
        size_t at = usage.find("\n  " + option + " ");
        return usage.find_first_not_of(' ', at + 3 + option.size()) - at;
    };
    EXPECT_EQ(columnOf("--window"), columnOf("--record-file PATH")) << "the helps start in one column";
    EXPECT_EQ(columnOf("--window"), columnOf("--help")) << "the helps start in one column";
    // and the training keys at their defaults
    for (const char* trainingKey : {"\n  F1   start or stop recording", "\n  F2   start or stop the partner",
                                    "\n  F3   the partner's stance", "\n  F4   both fighters back"})
        EXPECT_NE(std::string::npos, usage.find(trainingKey)) << trainingKey << "\n" << usage;
    // and where the key file is looked for, this user's first
    std::vector<std::string> places = keyFilePlaces();
    ASSERT_EQ(2u, places.size()) << "the test's settings folder is set";
    size_t user = usage.find("\n  " + places[0] + "\n");
    size_t beside = usage.find("\n  keys.txt beside the game's data folder\n");
    EXPECT_NE(std::string::npos, user) << usage;
    EXPECT_LT(user, beside) << usage;
}

namespace {
// The options named in the lines of one section of a manual page (from its
// ".SH NAME" line to the next ".SH"), in order: every "\-\-word".
std::vector<std::string> manPageOptions(const std::string& page, const std::string& section) {
    std::vector<std::string> names;
    std::istringstream lines(page);
    bool inside = false;
    for (std::string line; std::getline(lines, line);) {
        if (line.compare(0, 4, ".SH ") == 0) inside = line == ".SH " + section;
        if (!inside || line.compare(0, 3, ".TP") == 0) continue;
        for (size_t at = line.find("\\-\\-"); at != std::string::npos; at = line.find("\\-\\-", at + 4)) {
            // the name's letters, and its dashes written "\-" as roff wants them
            std::string name = "--";
            for (size_t end = at + 4; end < line.size();) {
                if (line.compare(end, 2, "\\-") == 0) {
                    name += '-';
                    end += 2;
                } else if (std::islower(static_cast<unsigned char>(line[end])) || std::isdigit(static_cast<unsigned char>(line[end])) ||
                           line[end] == '-') {
                    name += line[end++];
                } else {
                    break;
                }
            }
            // a term (".B \-\-x") names the option it describes; the text may mention others
            if (section == "SYNOPSIS" || line.compare(0, 3, ".B ") == 0 || line.compare(0, 4, ".BI ") == 0)
                names.push_back(name);
        }
    }
    return names;
}
}  // namespace

// The manual page describes the options that --help lists, no more and no
// fewer, in the same order, and shows them all in its synopsis.
TEST(Options, TheManualPageHasEveryOptionOfTheUsage) {
    std::vector<std::string> usage;
    std::istringstream lines(usageText());
    for (std::string line; std::getline(lines, line);)
        if (line.compare(0, 4, "  --") == 0) usage.push_back(line.substr(2, line.find(' ', 2) - 2));
    ASSERT_FALSE(usage.empty());
    std::string page = readFile(sourceDir() + "/packaging/fightscene.6");
    ASSERT_FALSE(page.empty());
    EXPECT_EQ(usage, manPageOptions(page, "OPTIONS"));
    EXPECT_EQ(usage, manPageOptions(page, "SYNOPSIS"));
}

namespace {
// A tool's table: files beside the options, up to a limit, and a number
// given in either form; a word starting with '-' is never taken for a file.
struct toolChoices {
    int columns = 0;
};
bool setColumns(toolChoices& chosen, const char* value, std::string& problem) {
    return readNumber(value, 1, 1000, chosen.columns, problem);
}
const optionSpec<toolChoices> kToolTable[] = {{"--columns", "N", "frames per row", setColumns}};
}  // namespace

TEST(Options, AToolTableTakesFilesBesideItsOptions) {
    const struct {
        std::vector<std::string> args;
        int columns;
        std::string files;  // the operands, joined by '+'
        std::string problem;
    } cases[] = {
        {{"walk", "--columns=3", "out.bmp"}, 3, "walk+out.bmp", ""},
        {{"--columns", "12", "walk"}, 12, "walk", ""},
        {{"walk", "out.bmp", "more.bmp"}, 0, "walk+out.bmp", "unexpected argument 'more.bmp'"},
        {{"-", "walk"}, 0, "", "unexpected argument '-'"},
        {{"--columns=0", "walk"}, 0, "", "option '--columns': expected a number from 1 to 1000, found '0'"},
        {{"--columns", "4x"}, 0, "", "option '--columns': expected a number from 1 to 1000, found '4x'"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> words = {"fightscene-sheet"};
        words.insert(words.end(), c.args.begin(), c.args.end());
        std::vector<char*> argv;
        for (std::string& word : words) argv.push_back(&word[0]);
        toolChoices chosen;
        operandList files;
        files.most = 2;
        std::string problem;
        EXPECT_EQ(c.problem.empty(),
                  readOptions(kToolTable, static_cast<int>(argv.size()), argv.data(), chosen, files, problem))
            << c.args[0];
        std::string joined;
        for (const std::string& file : files.words) joined += (joined.empty() ? "" : "+") + file;
        EXPECT_EQ(c.columns, chosen.columns) << c.args[0];
        EXPECT_EQ(c.files, joined) << c.args[0];
        EXPECT_EQ(c.problem, problem) << c.args[0];
    }
    EXPECT_EQ("  --columns N  frames per row\n", optionLines(kToolTable, 2));
}
