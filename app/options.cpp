#include "options.h"

#include <cstring>
#include <vector>

#include "shell/keyFile.h"

namespace {
bool setWindow(gameOptions& options, const char*, std::string&) {
    options.window = true;
    return true;
}

bool setWatch(gameOptions& options, const char*, std::string&) {
    options.watch = true;
    return true;
}

bool setHelp(gameOptions& options, const char*, std::string&) {
    options.help = true;
    return true;
}

// Add an option here: its usage line and its parse come from this table.
const optionSpec kOptions[] = {
    {"--window", nullptr, "play in an 800x600 window instead of the full screen", setWindow},
    {"--watch", nullptr, "load data again whenever a file under it changes (F5 does it by hand)", setWatch},
    {"--help", nullptr, "print this help and exit", setHelp},
};

const optionSpec* findOption(const optionSpec* table, size_t count, const std::string& name) {
    for (size_t at = 0; at < count; ++at)
        if (name == table[at].name) return &table[at];
    return nullptr;
}
}  // namespace

parseResult parseOptions(int argc, char* const argv[], gameOptions& options, std::string& problem) {
    return parseOptionsBy(kOptions, sizeof kOptions / sizeof kOptions[0], argc, argv, options, problem);
}

parseResult parseOptionsBy(const optionSpec* table, size_t count, int argc, char* const argv[],
                           gameOptions& options, std::string& problem) {
    for (int at = 1; at < argc; ++at) {
        std::string word = argv[at];
        if (word.compare(0, 2, "--") != 0) {
            problem = "unexpected argument '" + word + "'";
            return parseResult::mistake;
        }
        size_t equals = word.find('=');
        std::string name = word.substr(0, equals);
        const optionSpec* spec = findOption(table, count, name);
        if (!spec) {
            problem = "unknown option '" + name + "'";
            return parseResult::mistake;
        }
        const char* value = nullptr;
        if (equals != std::string::npos) {
            value = argv[at] + equals + 1;
        } else if (spec->value) {
            if (at + 1 >= argc) {
                problem = "option '" + name + "' needs a value " + spec->value;
                return parseResult::mistake;
            }
            value = argv[++at];
        }
        if (!spec->value && value) {
            problem = "option '" + name + "' takes no value";
            return parseResult::mistake;
        }
        if (!spec->apply(options, value, problem)) {
            problem = "option '" + name + "': " + problem;
            return parseResult::mistake;
        }
    }
    return options.help ? parseResult::help : parseResult::run;
}

std::string usageText() {
    std::string text = "Usage: fightscene [OPTION]...\n"
                       "Plays the fighting scene.\n";
    size_t widest = 0;
    for (const optionSpec& spec : kOptions) {
        size_t width = std::strlen(spec.name) + (spec.value ? std::strlen(spec.value) + 1 : 0);
        if (width > widest) widest = width;
    }
    for (const optionSpec& spec : kOptions) {
        std::string left = std::string(spec.name) + (spec.value ? std::string(" ") + spec.value : "");
        text += "  " + left + std::string(widest - left.size() + 3, ' ') + spec.help + "\n";
    }
    // Where the key file is looked for, as the game will look on this system.
    text += "A key file can change the keys; the first found of these is read:\n";
    std::vector<std::string> places = keyFilePlaces();
    for (size_t at = 0; at + 1 < places.size(); ++at) text += "  " + places[at] + "\n";
    text += "  " + places.back() + " beside the game's data folder\n";
    return text;
}
