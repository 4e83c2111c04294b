#include "data/keyValueFile.h"

#include "platform/files.h"

namespace {
std::string trimmed(const std::string& text) {
    const char* blanks = " \t\r\n";
    size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos) return "";
    size_t last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}
}  // namespace

bool readKeyValueFile(const std::string& path, loadPolicy& policy,
                      const std::function<std::string(const std::string& key, const std::string& value)>& take) {
    if (fileSize(path.c_str()) < 0) return false;
    if (!pathFits(nullptr, path, policy)) return false;
    TextFile file(policy);
    if (!file.open(path)) {
        reportOpenFailure(path, policy);
        return false;
    }
    std::string line;
    int longLines = 0;  // reported by the reader
    while (file.readUncommentedLine(line, longLines)) {
        std::string text = trimmed(line);
        if (text.empty()) continue;
        size_t equals = text.find('=');
        if (equals == std::string::npos) {
            file.report("expected \"key = value\", found \"" + text + "\"");
            continue;
        }
        std::string problem = take(trimmed(text.substr(0, equals)), trimmed(text.substr(equals + 1)));
        if (!problem.empty()) file.report(problem);
    }
    file.close();
    return true;
}

bool readWholeNumber(const std::string& word, int least, int most, int& value) {
    if (word.empty() || word.size() > 6) return false;
    int read = 0;
    for (char c : word) {
        if (c < '0' || c > '9') return false;
        read = read * 10 + (c - '0');
    }
    if (read < least || read > most) return false;
    value = read;
    return true;
}
