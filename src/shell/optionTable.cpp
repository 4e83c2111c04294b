#include "shell/optionTable.h"

#include <cstdlib>
#include <cstring>

bool readNumber(const char* text, long least, long most, int& number, std::string& problem) {
    char* end = nullptr;
    long read = std::strtol(text, &end, 10);
    if (*end != 0 || read < least || read > most) {
        problem = "expected a number from " + std::to_string(least) + " to " + std::to_string(most) + ", found '" +
                  text + "'";
        return false;
    }
    number = static_cast<int>(read);
    return true;
}

std::string optionName(const char* word, const char** value) {
    *value = nullptr;
    const char* equals = std::strncmp(word, "--", 2) == 0 ? std::strchr(word, '=') : nullptr;
    if (!equals) return word;
    *value = equals + 1;
    return std::string(word, equals);
}

std::string unknownWordProblem(const std::string& word, const std::string& name) {
    if (word.compare(0, 2, "--") == 0) return "unknown option '" + name + "'";
    return "unexpected argument '" + word + "'";
}

std::string optionSynopsis(const char* name, const char* value) {
    return value ? std::string(name) + " " + value : std::string(name);
}

bool startsWithDigit(const char* word) { return *word >= '0' && *word <= '9'; }
