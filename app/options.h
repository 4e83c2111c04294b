#pragma once
// The game's command line: a table of options, each with its help line and
// what it sets, parsed before anything starts.
#include <cstddef>
#include <string>

// What the command line chose. Every member's default is the game as it
// plays with no options.
struct gameOptions {
    bool window = false;  // an 800x600 window instead of the full screen
    bool watch = false;   // reload the content when files under "data" change
    bool help = false;    // print the usage and stop
};

// One option of the table. `value` names the value in the usage ("FILE")
// and is null for a flag; `apply` stores a flag (value null) or checks and
// stores a value, false with `problem` set when the value is bad.
struct optionSpec {
    const char* name;   // "--window"
    const char* value;  // null: a flag, which takes no value
    const char* help;   // one line for the usage
    bool (*apply)(gameOptions& options, const char* value, std::string& problem);
};

enum class parseResult { run, help, mistake };

// Reads argv[1..] into `options` by the game's table. A valued option is
// given as "--name VALUE" or "--name=VALUE". On a mistake `problem` holds a
// one-line message.
parseResult parseOptions(int argc, char* const argv[], gameOptions& options, std::string& problem);
// The same by another table of `count` options.
parseResult parseOptionsBy(const optionSpec* table, size_t count, int argc, char* const argv[],
                           gameOptions& options, std::string& problem);

// The usage text: a synopsis line and one line per option of the table.
std::string usageText();
