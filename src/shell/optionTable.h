#pragma once
// A program's command line read by a table: each option with its usage line
// and what it sets. The game and every tool read their options through it,
// so "--name VALUE" and "--name=VALUE" mean the same everywhere.
#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

// One option of a table that fills the choices `Chosen`.
template <class Chosen>
struct optionSpec {
    const char* name;   // "--window"; a short alias such as "-h" is a row of its own
    // Names the value in the usage ("FILE"); null for a flag, which takes
    // none. In brackets ("[LEVEL]") the value may be left out: the next word
    // is taken only when it starts with a digit, and apply gets null without one.
    const char* value;
    const char* help;   // one line for the usage
    // Stores a flag (value null) or checks and stores a value; false with
    // `problem` set when the value or the option is refused.
    bool (*apply)(Chosen& chosen, const char* value, std::string& problem);
};

// The words of a command line that are not options: files and folders.
struct operandList {
    size_t most = 0;                 // how many are allowed; one more is a mistake
    std::vector<std::string> words;  // in the order given
};

// Reads argv[1..] by `table` into `chosen`; other words go to `operands`. A
// valued option is given as "--name VALUE" or "--name=VALUE". Mistakes: a
// word starting with '-' that names no option, an operand past
// `operands.most`, a value missing, given to a flag or refused. False at the
// first mistake, with a one-line message in `problem`.
template <class Chosen, size_t count>
bool readOptions(const optionSpec<Chosen> (&table)[count], int argc, char* const argv[], Chosen& chosen,
                 operandList& operands, std::string& problem);

// One usage line per option of `table`: two spaces, "NAME VALUE", then the
// help `gap` spaces after the widest "NAME VALUE".
template <class Chosen, size_t count>
std::string optionLines(const optionSpec<Chosen> (&table)[count], size_t gap);

// The apply of a flag that sets `member` to `to`.
template <class Chosen, bool Chosen::*member, bool to = true>
bool setFlag(Chosen& chosen, const char*, std::string&) {
    chosen.*member = to;
    return true;
}
// The apply of an option whose value is kept as given in `member`.
template <class Chosen, std::string Chosen::*member>
bool setText(Chosen& chosen, const char* value, std::string&) {
    chosen.*member = value;
    return true;
}

// The same for a file's path, which can't be empty: an empty one would
// quietly stand for the default file.
template <class Chosen, std::string Chosen::*member>
bool setPath(Chosen& chosen, const char* value, std::string& problem) {
    if (!*value) {
        problem = "the path is empty";
        return false;
    }
    chosen.*member = value;
    return true;
}

// `text` read as a whole decimal number from `least` to `most` into
// `number`; false, with `problem` set, for anything else.
bool readNumber(const char* text, long least, long most, int& number, std::string& problem);

// --- What the templates share ---

// The name a word gives: "--step" of "--step=5" (`value` then points at "5"),
// else the whole word (`value` null).
std::string optionName(const char* word, const char** value);
// What is wrong with a word that names no option of the table.
std::string unknownWordProblem(const std::string& word, const std::string& name);
// True when `word` starts with a decimal digit: an optional value.
bool startsWithDigit(const char* word);
// "NAME VALUE" of an option, as the usage shows it.
std::string optionSynopsis(const char* name, const char* value);

template <class Chosen, size_t count>
bool readOptions(const optionSpec<Chosen> (&table)[count], int argc, char* const argv[], Chosen& chosen,
                 operandList& operands, std::string& problem) {
    for (int at = 1; at < argc; ++at) {
        const char* value = nullptr;
        std::string name = optionName(argv[at], &value);
        const optionSpec<Chosen>* spec = nullptr;
        for (const optionSpec<Chosen>& row : table)
            if (!spec && name == row.name) spec = &row;
        if (!spec) {
            // Anything else that starts with '-' is a mistake, not a file.
            if (argv[at][0] == '-' || operands.words.size() >= operands.most) {
                problem = unknownWordProblem(argv[at], name);
                return false;
            }
            operands.words.push_back(argv[at]);
            continue;
        }
        if (!spec->value && value) {
            problem = "option '" + name + "' takes no value";
            return false;
        }
        if (spec->value && !value && !(spec->value[0] == '[' && !startsWithDigit(at + 1 < argc ? argv[at + 1] : ""))) {
            if (at + 1 >= argc) {
                problem = "option '" + name + "' needs a value " + spec->value;
                return false;
            }
            value = argv[++at];
        }
        if (!spec->apply(chosen, value, problem)) {
            problem = "option '" + name + "': " + problem;
            return false;
        }
    }
    return true;
}

template <class Chosen, size_t count>
std::string optionLines(const optionSpec<Chosen> (&table)[count], size_t gap) {
    size_t widest = 0;
    for (const optionSpec<Chosen>& spec : table)
        widest = std::max(widest, optionSynopsis(spec.name, spec.value).size());
    std::string lines;
    for (const optionSpec<Chosen>& spec : table) {
        std::string left = optionSynopsis(spec.name, spec.value);
        lines += "  " + left + std::string(widest - left.size() + gap, ' ') + spec.help + "\n";
    }
    return lines;
}
